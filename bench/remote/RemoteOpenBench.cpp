// remote_open_bench file FILE
// remote_open_bench ssh HOST PORT FOLDER   (COBALTQUARRY_SSH gives ssh's options)
// Reads a scan as "Open scan file..." and "Open remote scan..." do, every
// item kept, and prints the number of folders read.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/RemoteScan.h"

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    TImportedScan scan;
    std::string error;
    bool ok = false;
    if (mode == "file" && argc == 3) {
        ok = ReadImportedScan(argv[2], 'R', scan, error);
    } else if (mode == "ssh" && argc == 5) {
        TRemoteSettings settings;
        if (const char* ssh = std::getenv("COBALTQUARRY_SSH"))
            settings.SshCommand = ssh;
        const TRemoteRequest request{argv[2], std::atoi(argv[3]), argv[4], TRemoteTool::Ours};
        ok = ReadRemoteScan(request, settings, 'R', scan, error, nullptr);
    } else {
        std::fprintf(stderr, "usage: remote_open_bench file FILE | ssh HOST PORT FOLDER\n");
        return 2;
    }
    if (!ok) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::printf("%zu folders\n", scan.Result.Dirs.size());
    return 0;
}
