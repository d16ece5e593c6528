// A server that streams entries without end is refused at the bound, not
// read until memory runs out, and nothing of it is kept.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "engine/RemoteScan.h"
#include "tests/platform/TempDir.h"

TEST(RemoteBound, AnEndlessStreamIsRefusedAtTheBoundAndItsCopyRemoved) {
    TTempDir dir;
    // Stands in for ssh: ignores its arguments and sends an export whose
    // root folder never ends.
    const std::string ssh = dir / "endless-ssh";
    {
        std::ofstream script(ssh);
        script << "#!/usr/bin/python3\n"
                  "import sys\n"
                  "out = sys.stdout\n"
                  "out.write('[1,0,{\"progname\":\"x\",\"progver\":\"1\",\"timestamp\":1},"
                  "[{\"name\":\"/r\"}')\n"
                  "n = 0\n"
                  "while True:\n"
                  "    out.write(''.join(',{\"name\":\"f%d\",\"asize\":1}' % (n + i)"
                  " for i in range(1000)))\n"
                  "    n += 1000\n";
    }
    ASSERT_EQ(chmod(ssh.c_str(), 0700), 0);
    for (const std::uint64_t bound : {std::uint64_t{1000}, std::uint64_t{200000}}) {
        SCOPED_TRACE(bound);
        TRemoteSettings settings;
        settings.SshCommand = ssh;
        settings.MaxEntries = bound;
        settings.KeepFile = dir / "received";
        TRemoteProgress progress;
        TImportedScan scan;
        std::string error;
        EXPECT_FALSE(ReadRemoteScan(TRemoteRequest{"srv", 0, "/r", TRemoteTool::Ours}, settings,
                                    'R', scan, error, nullptr, &progress));
        EXPECT_NE(error.find("more than " + std::to_string(bound) + " entries"), std::string::npos)
            << error;
        EXPECT_NE(error.find(kRemoteMaxEntriesVariable), std::string::npos) << error;
        // Stopped within a piece of the stream past the bound.
        EXPECT_GT(progress.Import.Items.load(), bound);
        EXPECT_LT(progress.Import.Items.load(), bound + 100000);
        EXPECT_FALSE(std::filesystem::exists(settings.KeepFile));
    }
}
