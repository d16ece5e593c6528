#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <optional>
#include <random>
#include <sstream>

#include "engine/AnalizeDisk.h"
#include "engine/ProgramVersion.h"
#include "engine/ResultFileText.h"
#include "platform/Console.h"
#include "platform/DirListing.h"
#include "platform/DriveForm.h"
#include "platform/DriveTable.h"
#include "tests/engine/RandomTree.h"
#include "tests/engine/ScanToolRun.h"
#include "tests/platform/TempDir.h"
#include "tools/scan/ReportText.h"
#include "tools/scan/ScanCommand.h"
#include "tools/scan/ScanOptions.h"
#include "tools/scan/ScanReport.h"
#include "views/common/NumberText.h"

TEST(ScanOptions, ReadsTheCommandLine) {
    TScanOptions o;
    std::string error;
    ASSERT_TRUE(ParseScanOptions(
        {"--top", "5", "--json", "--out", "/x", "--save", "--pie", "p.png", "/data"}, o, error));
    EXPECT_EQ(o.Top, 5);
    EXPECT_TRUE(o.Save);
    EXPECT_EQ(o.PieFile, "p.png");
    EXPECT_TRUE(o.Json);
    EXPECT_EQ(o.OutDir, "/x");
    EXPECT_EQ(o.Path, "/data");
    TScanOptions d;
    ASSERT_TRUE(ParseScanOptions({"--", "-odd name"}, d, error));
    EXPECT_EQ(d.Path, "-odd name");
    EXPECT_EQ(d.Top, 20);
    EXPECT_FALSE(d.Json);
    EXPECT_FALSE(d.Save);
    EXPECT_EQ(d.PieFile, "");
    EXPECT_FALSE(d.Help);
    EXPECT_FALSE(d.Version);
    // Names are bytes: whatever they hold comes through unchanged.
    const std::string odd = "caf\xE9 \xFF\x1B%25\\";
    TScanOptions b;
    ASSERT_TRUE(ParseScanOptions({"--out", odd, "--pie", odd + ".PNG", odd}, b, error)) << error;
    EXPECT_EQ(b.OutDir, odd);
    EXPECT_EQ(b.PieFile, odd + ".PNG");
    EXPECT_EQ(b.Path, odd);

    // What is refused, and what wins over everything else on the line.
    enum TOutcome { kRefused, kHelp, kVersion, kOk };
    const std::vector<std::pair<std::vector<std::string>, TOutcome>> table = {
        {{}, kRefused},
        {{"--top"}, kRefused},
        {{"--top", "-1", "/"}, kRefused},
        {{"--top", "x", "/"}, kRefused},
        {{"--top", "1234567890", "/"}, kRefused},
        {{"--out"}, kRefused},
        {{"--out", "", "/"}, kRefused},
        {{"--pie", "/"}, kRefused},
        {{"--pie", "", "/"}, kRefused},
        {{"--pie", "pie.jpg", "/"}, kRefused},
        {{"--pie", "png", "/"}, kRefused},
        {{"--pie", ".png", "/"}, kRefused},
        {{"--pie", "pie.png/", "/"}, kRefused},
        {{"--what", "/"}, kRefused},
        {{"-top", "5", "/"}, kRefused},
        {{"/a", "/b"}, kRefused},
        {{"/a", "--", "/b"}, kRefused},
        {{"--", "/a", "/b"}, kRefused},
        {{""}, kRefused},
        {{"--top", "--help", "/"}, kRefused},  // --help is the value of --top
        {{"--import"}, kRefused},
        {{"--import", "s.json", "/"}, kRefused},
        {{"--import", "s.json", "--save"}, kRefused},
        {{"--import", "s.json", "--export", "e.json"}, kRefused},
        {{"--export", "e.json"}, kRefused},
        {{"--export", "e.json", "--out", "/x", "/"}, kRefused},
        {{"--export", "e.json", "--pie", "p.png", "/"}, kRefused},
        {{"--zstd", "/"}, kRefused},
        {{"--import", "s.json", "--zstd"}, kRefused},
        {{"--export", "-", "--zstd", "/"}, kOk},
        {{"--export", "-", "/"}, kOk},
        {{"--help"}, kHelp},
        {{"-h"}, kHelp},
        {{"--top", "5", "--help"}, kHelp},
        {{"--help", "--what"}, kHelp},
        {{"--version", "--help"}, kHelp},
        {{"/a", "/b", "-h"}, kHelp},
        {{"--version"}, kVersion},
        {{"--pie", "x.jpg", "--version"}, kVersion},
        {{"/a", "--version", "/b"}, kVersion},
    };
    for (const auto& [args, outcome] : table) {
        std::string joined;
        for (const std::string& a : args)
            joined += "'" + a + "' ";
        TScanOptions r;
        error.clear();
        const bool ok = ParseScanOptions(args, r, error);
        EXPECT_EQ(ok, outcome != kRefused) << joined;
        EXPECT_EQ(error.empty(), outcome != kRefused) << joined << error;
        EXPECT_EQ(r.Help, outcome == kHelp) << joined;
        EXPECT_EQ(r.Version, outcome == kVersion) << joined;
    }
}

// The total in the unit that fits it; the number read back in that unit is
// the size to within the rounding of one decimal.
TEST(ScanReport, TotalTakesTheUnitThatFitsItsSize) {
    constexpr std::int64_t kMB = 1 << 20, kGB = std::int64_t(1) << 30;
    std::vector<std::int64_t> sizes = {
        0, 1, kMB - 1, kMB, kGB - 1, kGB, kGB + 1, std::numeric_limits<std::int64_t>::max()};
    std::mt19937_64 random(13);
    for (int i = 0; i < 500; ++i)
        sizes.push_back(static_cast<std::int64_t>(random() >> (random() % 63 + 1)));
    for (const std::int64_t bytes : sizes) {
        const std::string text = TotalSizeText(bytes);
        const bool gb = bytes >= kGB;
        const std::string unit = gb ? " GB" : " MB";
        ASSERT_GT(text.size(), unit.size()) << bytes;
        EXPECT_EQ(text.substr(text.size() - unit.size()), unit) << bytes;
        const std::string number = text.substr(0, text.size() - unit.size());
        EXPECT_EQ(number.find_first_not_of("0123456789."), std::string::npos) << text;
        ASSERT_EQ(number.find('.'), number.size() - 2) << text;
        const double shown = std::stod(number) * static_cast<double>(gb ? kGB : kMB);
        EXPECT_NEAR(shown, static_cast<double>(bytes), 0.05 * (gb ? kGB : kMB) + 1e-6 * bytes)
            << bytes << " shown as " << text;
        // The report's total line carries it; the subfolder rows stay in MB.
        std::ostringstream report;
        TScanReport r;
        r.TotalBytes = bytes;
        r.Largest.push_back({"sub", bytes, -1, 100});
        r.Folders = static_cast<std::size_t>(bytes % 3);
        PrintScanText(r, report);
        const std::string counts =
            std::to_string(bytes) + (bytes == 1 ? " byte) in " : " bytes) in ") +
            std::to_string(r.Folders) + (r.Folders == 1 ? " folder," : " folders,");
        EXPECT_NE(report.str().find("Total: " + text + " (" + counts), std::string::npos)
            << report.str();
        EXPECT_NE(report.str().find(FormatMB(std::to_string(bytes)) + " MB  100.0%  "),
                  std::string::npos)
            << report.str();
    }
}

TEST(ScanReport, LargestDirectSubfoldersFirst) {
    const TStringList dirs = {"C:\\s", "C:\\s\\a", "C:\\s\\a\\deep", "C:\\s\\b%5Cx", "C:\\s\\c"};
    const TStringList sizes = {"1000", "100", "90", "600", "300"};
    const TScanReport r = MakeScanReport(dirs, sizes, 2);
    EXPECT_EQ(r.TotalBytes, 1000);
    EXPECT_EQ(r.Folders, 5u);
    ASSERT_EQ(r.Largest.size(), 2u);
    EXPECT_EQ(r.Largest[0].Name, "b\\x");
    EXPECT_DOUBLE_EQ(r.Largest[0].Share, 60.0);
    EXPECT_EQ(r.Largest[1].Name, "c");
    std::ostringstream text;
    PrintScanText(r, text);
    EXPECT_NE(text.str().find("Total: 0.0 MB (1000 bytes) in 5 folders"), std::string::npos)
        << text.str();
    EXPECT_NE(text.str().find("  60.0%  ##################............  b\\x"), std::string::npos)
        << text.str();

    // The program's own size texts: GB for the total, MB for the folders.
    const TStringList bigSizes = {"3221225472", "1572864", "0"};
    const TScanReport big = MakeScanReport({"D:", "D:\\a", "D:\\b"}, bigSizes, 5);
    std::ostringstream bigText;
    PrintScanText(big, bigText);
    EXPECT_NE(bigText.str().find("Total: 3.0 GB (3221225472 bytes) in 3 folders"),
              std::string::npos)
        << bigText.str();
    EXPECT_NE(bigText.str().find("      1.5 MB    0.0%"), std::string::npos) << bigText.str();
    EXPECT_EQ(SecondsText(2.5), "2.50");
}

TEST(ScanReport, NamesShowControlCharactersAndStrayBytesEscaped) {
    EXPECT_EQ(VisibleName("plain name"), "plain name");
    EXPECT_EQ(VisibleName("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"),
              "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80");  // UTF-8 stays
    EXPECT_EQ(VisibleName("a\nb\rc\td"), "a\\x0Ab\\x0Dc\\x09d");
    EXPECT_EQ(VisibleName("\x1B[2J\x7F"), "\\x1B[2J\\x7F");
    EXPECT_EQ(VisibleName(std::string("nul\0", 4)), "nul\\x00");
    EXPECT_EQ(VisibleName("csi\xC2\x9B"), "csi\\xC2\\x9B");  // C1 control in UTF-8
    // Characters that turn the text's direction, and their neighbours that do not.
    EXPECT_EQ(VisibleName("a\xE2\x80\xAEtxt.exe"), "a\\xE2\\x80\\xAEtxt.exe");  // U+202E
    EXPECT_EQ(VisibleName("\xE2\x80\xAA\xE2\x81\xA9\xE2\x80\x8F\xD8\x9C"),
              "\\xE2\\x80\\xAA\\xE2\\x81\\xA9\\xE2\\x80\\x8F\\xD8\\x9C");
    EXPECT_EQ(VisibleName("\xE2\x80\xA9\xE2\x80\xAF\xE2\x81\xA5\xE2\x81\xAA\xD8\x9B"),
              "\xE2\x80\xA9\xE2\x80\xAF\xE2\x81\xA5\xE2\x81\xAA\xD8\x9B");
    EXPECT_EQ(VisibleName("latin\xE9 \x9B"), "latin\\xE9 \\x9B");  // not UTF-8
    EXPECT_EQ(VisibleName("\xC0\xAF \xED\xA0\x80 \xF4\x90\x80\x80 \xE2\x82"),
              "\\xC0\\xAF \\xED\\xA0\\x80 \\xF4\\x90\\x80\\x80 \\xE2\\x82");

    // Whatever the bytes, the text is UTF-8 without a control character,
    // and names without anything to escape come out unchanged.
    const auto turns = [](QChar c) {
        switch (c.direction()) {
            case QChar::DirLRE:
            case QChar::DirRLE:
            case QChar::DirLRO:
            case QChar::DirRLO:
            case QChar::DirPDF:
            case QChar::DirLRI:
            case QChar::DirRLI:
            case QChar::DirFSI:
            case QChar::DirPDI:
                return true;
            default:  // the marks have the direction they mark
                return c == QChar(0x200E) || c == QChar(0x200F) || c == QChar(0x061C);
        }
    };
    std::mt19937 random(5);
    for (int round = 0; round < 2000; ++round) {
        std::string raw(random() % 12, '\0');
        for (char& c : raw)
            c = static_cast<char>(random() % 256);
        if (round % 4 == 0)  // random bytes alone seldom make a whole character of three
            raw.insert(random() % (raw.size() + 1),
                       "\xE2" + std::string(1, "\x80\x81"[random() % 2]) +
                           std::string(1, static_cast<char>(0x80 + random() % 0x40)));
        const std::string shown = VisibleName(raw);
        const QString decoded = QString::fromUtf8(shown);
        EXPECT_EQ(decoded.toUtf8().toStdString(), shown) << "not UTF-8: " << shown;
        for (const QChar c : decoded)
            EXPECT_FALSE(c.category() == QChar::Other_Control || turns(c)) << shown;
        const QString direct = QString::fromUtf8(raw);
        bool clean = direct.toUtf8().toStdString() == raw;
        for (const QChar c : direct)
            clean = clean && c.category() != QChar::Other_Control && !turns(c);
        if (clean) {
            EXPECT_EQ(shown, raw);
        }
    }
}

TEST(ScanTool, TheTextReportNeverPrintsControlCharactersOfNames) {
    TTempDir dir;
    dir.MakeDir("tree");
    for (const char* name : {"tree/red\x1B[31m", "tree/two\nlines", "tree/back\rover", "tree/ok"}) {
        dir.MakeDir(name);
        dir.MakeFile(std::string(name) + "/f", 1000);
    }
    const RunResult r = RunScan("'" + dir.Path() + "/tree'", dir);
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out.find('\x1B'), std::string::npos) << r.Out;
    EXPECT_EQ(r.Out.find('\r'), std::string::npos) << r.Out;
    // The path, the total, the heading and one line per subfolder.
    EXPECT_EQ(std::count(r.Out.begin(), r.Out.end(), '\n'), 3 + 4) << r.Out;
    EXPECT_NE(r.Out.find("  red\\x1B[31m\n"), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("  two\\x0Alines\n"), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("  back\\x0Dover\n"), std::string::npos) << r.Out;
}

// A scan written with --export and read back with --import reports what the
// scan itself reports, and writes the same lists (under the letter of the
// import); the same holds for ncdu's export of the tree.
TEST(ScanTool, AnExportReadBackReportsAsTheScan) {
    TTempDir dir;
    MakeRandomTree(dir / "tree", 11, 60, 120);
    dir.MakeDir("scan");
    const RunResult scanned =
        RunScan("--json --top 9 --out '" + dir / "scan" + "' '" + dir / "tree" + "'", dir);
    ASSERT_EQ(scanned.Status, 0) << scanned.Err;
    const RunResult written =
        RunScan("--export '" + dir / "t.json.zst" + "' '" + dir / "tree" + "'", dir);
    ASSERT_EQ(written.Status, 0) << written.Err;
    ASSERT_EQ(std::system(("ncdu -x -o '" + dir / "n.json" + "' '" + dir / "tree" + "'").c_str()),
              0);
    // "-" is standard output, plain or with --zstd compressed (its magic
    // first), and no file of that name appears where the scanner runs.
    for (const auto& [options, file] :
         {std::pair<std::string, std::string>{"", "o.json"}, {"--zstd", "oz.bin"}}) {
        const RunResult piped = RunScan("--export - " + options + " -- '" + dir / "tree" + "'", dir,
                                        "cd '" + dir.Path() + "' && ");
        ASSERT_EQ(piped.Status, 0) << piped.Err;
        EXPECT_EQ(piped.Out.rfind(options.empty() ? "[1," : "\x28\xB5\x2F\xFD", 0), 0u)
            << piped.Out.substr(0, 8);
        std::ofstream(dir / file, std::ios::binary) << piped.Out;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "-"));

    auto withoutTimes = [](const std::string& json) {
        QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(json)).object();
        o.remove("seconds");
        o.remove("drive_form");
        return o;
    };
    for (const std::string file : {"t.json.zst", "n.json", "o.json", "oz.bin"}) {
        SCOPED_TRACE(file);
        const RunResult read = RunScan(
            "--json --top 9 --out '" + dir / ("in-" + file) + "' --import '" + dir / file + "'",
            dir);
        ASSERT_EQ(read.Status, 0) << read.Err;
        EXPECT_EQ(withoutTimes(read.Out), withoutTimes(scanned.Out));
        // The lists differ only in the root's text: the import is drive Z:.
        TStringList scanDirs, importDirs;
        for (const auto& entry : std::filesystem::directory_iterator(dir / "scan"))
            if (entry.path().filename().string().size() == 5)  // "XDirs"
                SplitResultLines(ReadAll(entry.path()), scanDirs);
        SplitResultLines(ReadAll(dir / ("in-" + file) + "/ZDirs"), importDirs);
        ASSERT_EQ(scanDirs.size(), importDirs.size());
        const std::string root(scanDirs[0]);
        for (std::size_t i = 0; i < scanDirs.size(); ++i)
            EXPECT_EQ("Z:" + std::string(scanDirs[i]).substr(root.size()), importDirs[i]);
        EXPECT_EQ(ReadAll(dir / ("in-" + file) + "/ZDirSizes"),
                  ReadAll(dir / "scan" + "/" + std::string(1, root[0]) + "DirSizes"));
    }
    const RunResult broken = RunScan("--import '" + dir / "tree" + "/../scan/nothing'", dir);
    EXPECT_EQ(broken.Status, 2);
    EXPECT_NE(broken.Err.find("nothing"), std::string::npos) << broken.Err;
}

TEST(ScanTool, ReportsAndWritesTheListsOfItsDrive) {
    TTempDir dir;
    dir.MakeDir("tree");
    dir.MakeDir("tree/big");
    dir.MakeFile("tree/big/f", 3000);
    dir.MakeDir("tree/small");
    dir.MakeFile("tree/small/f", 1000);
    dir.MakeDir("out");
    const RunResult r =
        RunScan("--json --top 1 --out '" + dir.Path() + "/out' '" + dir.Path() + "/tree'", dir);
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Err, "");  // no progress lines when standard error is a file
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(r.Out)).object();
    EXPECT_EQ(o["total_bytes"].toInteger(), 4000);
    EXPECT_EQ(o["folders"].toInteger(), 3);
    ASSERT_EQ(o["largest"].toArray().size(), 1);
    EXPECT_EQ(o["largest"].toArray()[0].toObject()["name"].toString(), "big");
    EXPECT_EQ(o["path"].toString().toStdString(), dir / "tree");

    // The files hold the analyzer's lists, line for line, CR LF each.
    TAnalizeDisk a;
    a.Directory = *NativeToDriveForm(dir / "tree");
    a.Recurse = true;
    a.Execute();
    const char letter = DriveLetterOf(a.Dirs()[0]);
    const std::string base = dir / "out/" + std::string(1, letter);
    EXPECT_EQ(ReadAll(base + "Dirs"), JoinResultLines(a.Dirs()));
    EXPECT_EQ(ReadAll(base + "DirSizes"), JoinResultLines(a.DirSizes()));
    EXPECT_EQ(ReadAll(base + "Percents"), JoinResultLines(a.Percents()));
    EXPECT_EQ(ReadAll(base + "DirSizes").substr(0, 6), "4000\r\n");
    struct stat st;
    ASSERT_EQ(stat((base + "Dirs").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // A list that cannot replace what stands in its place fails the run,
    // told after the whole report: the lists are written while it is made.
    const std::string blocked = base + "Percents";
    ASSERT_EQ(unlink(blocked.c_str()), 0);
    dir.MakeDir(blocked.substr(dir.Path().size() + 1));
    dir.MakeFile(blocked.substr(dir.Path().size() + 1) + "/kept", 1);
    const RunResult failed =
        RunScan("--json --out '" + dir.Path() + "/out' '" + dir.Path() + "/tree'", dir);
    EXPECT_EQ(failed.Status, TScanCommand::kFailed);
    EXPECT_EQ(failed.Err,
              "cobaltquarry-scan: " + dir / "out" + ": cannot write the result lists\n");
    EXPECT_EQ(QJsonDocument::fromJson(QByteArray::fromStdString(failed.Out))
                  .object()["total_bytes"]
                  .toInteger(),
              4000);
    EXPECT_EQ(ReadAll(blocked + "/kept").size(), 1u);
}

TEST(ScanTool, BadPathsGiveStatusTwoAndAClearMessage) {
    TTempDir dir;
    dir.MakeFile("file", 1);
    RunResult r = RunScan("'" + dir.Path() + "/missing'", dir);
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("no such file or folder"), std::string::npos) << r.Err;
    r = RunScan("'" + dir.Path() + "/file'", dir);
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("not a folder"), std::string::npos) << r.Err;
    r = RunScan("/proc", dir);
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("kernel's state"), std::string::npos) << r.Err;
    // A usage error is told in one line, with where to read more.
    r = RunScan("--top", dir);
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Err,
              "cobaltquarry-scan: Missing value after '--top'.\n"
              "Try 'cobaltquarry-scan --help' for more information.\n");
}

// Every message names what it names with its control characters escaped,
// on one line, and the run ends with the status of what went wrong: 2 for
// the command line or its input (PATH, the import, the stored and kept
// results), 1 for an output that could not be made.
TEST(ScanTool, MessagesAreEscapedOneLineEachWithTheirStatus) {
    TTempDir dir;
    const std::string evil = "evil\x1B]0;PWNED\x07\x1B[2J\xC2\x9B\nline";
    const std::string shown = "evil\\x1B]0;PWNED\\x07\\x1B[2J\\xC2\\x9B\\x0Aline";
    dir.MakeDir("drive");
    dir.MakeDir("drive/" + evil);
    dir.MakeFile("drive/" + evil + "/f", 100);
    TScopedDriveTable table(TDriveTable({{'C', dir / "drive"}}));
    const char* before = std::getenv("XDG_DATA_HOME");
    const std::optional<std::string> xdg =
        before ? std::optional<std::string>(before) : std::nullopt;
    setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    std::ofstream(dir / ("bad" + evil + ".json")) << R"([1,2,{},[{"name":"/r"}]] x)";
    struct TCase {
        std::vector<std::string> Args;
        int Status;
        std::string Message;  // part of the message on standard error
    };
    const std::vector<TCase> cases = {
        {{"--what" + evil}, 2, "Unknown option 'what" + shown + "'"},
        {{dir / ("missing" + evil)}, 2, "missing" + shown + ": no such file or folder"},
        {{"--import", dir / ("missing" + evil)}, 2, "missing" + shown},
        {{"--import", dir / ("bad" + evil + ".json")},
         2,
         "text after the end of the export at byte 25"},
        {{"D:"}, 2, "there is no drive D:\n"},
        {{"--changes", "D:\\x"}, 2, "there is no drive D: (for D:\\x)"},
        {{"--changes", dir / ("drive/" + evil)}, 2, "drive C: has no stored results"},
        {{"--save", dir / ("drive/" + evil)}, 1, "the scan of C:\\evil\\x1B]0;PWNED\\x07\\x1B[2J"},
        // Two saves of the drive keep one set; then a folder not stored.
        {{"--save", "C:"}, 0, ""},
        {{"--save", "C:\\"}, 0, ""},
        {{"--changes", "--since", "2", "C:"}, 2, "there is only 1 kept result\n"},
        {{"--changes", "C:\\gone" + evil},
         2,
         "C:\\gone" + shown + " is not in the stored results of drive C:\n"},
    };
    for (const TCase& c : cases) {
        TScanCommand command;
        std::ostringstream out, err;
        EXPECT_EQ(command.Run(c.Args, out, err), c.Status) << c.Args[0];
        const std::string text = err.str();
        EXPECT_NE(text.find(c.Message), std::string::npos) << text;
        // Only the line ends are control characters; one message line, and
        // a usage error's pointer to the help.
        for (const std::string_view bad : {"\x1B", "\x07", "\r", "\xC2\x9B", ":: "})
            EXPECT_EQ(text.find(bad), std::string::npos) << text;
        const auto lines = std::count(text.begin(), text.end(), '\n');
        EXPECT_EQ(lines, c.Status == 0 ? 0 : c.Args[0].rfind("--what", 0) == 0 ? 2 : 1) << text;
        EXPECT_EQ(text.find("usage:"), std::string::npos) << text;
    }
    if (xdg)
        setenv("XDG_DATA_HOME", xdg->c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

TEST(ScanTool, HelpAndVersionPrintAndSucceed) {
    TTempDir dir;
    const std::string version = "cobaltquarry-scan " + std::string(kProgramVersion) + "\n";
    // Help wins over anything else on the line, even a missing PATH; the
    // version over anything but help.
    for (const auto& [args, expected] : std::vector<std::pair<std::string, std::string>>{
             {"--help", ScanUsage()},
             {"-h", ScanUsage()},
             {"--top 5 --help", ScanUsage()},
             {"--help --what", ScanUsage()},
             {"--version -h", ScanUsage()},
             {"--version", version},
             {"--pie x.jpg --version /nowhere", version}}) {
        const RunResult r = RunScan(args, dir);
        EXPECT_EQ(r.Status, 0) << args;
        EXPECT_EQ(r.Err, "") << args;
        EXPECT_EQ(r.Out, expected) << args;
    }
    // Every option is in the help, each on a line of its own with a
    // description beside it.
    const std::string help = ScanUsage();
    for (const char* option :
         {"--top N", "--json", "--out DIR", "--save", "--pie FILE", "-h, --help", "--version"}) {
        const std::size_t at = help.find("\n  " + std::string(option) + " ");
        ASSERT_NE(at, std::string::npos) << option;
        const std::string line = help.substr(at + 1, help.find('\n', at + 1) - at - 1);
        EXPECT_GT(line.size(), std::string(option).size() + 15) << line;
    }
    // What the allocated bytes leave out, where du counts it: a reader who
    // compares with du must not be told they are the same.
    const std::size_t diskUsage = help.find("\n  --disk-usage ");
    ASSERT_NE(diskUsage, std::string::npos);
    std::string entry;  // its lines joined
    for (const char c : help.substr(diskUsage, help.find("\n  --", diskUsage + 1) - diskUsage))
        if (!std::isspace(static_cast<unsigned char>(c)) || (!entry.empty() && entry.back() != ' '))
            entry += std::isspace(static_cast<unsigned char>(c)) ? ' ' : c;
    EXPECT_NE(entry.find("folders' own blocks are not counted"), std::string::npos) << entry;
}

// --out and --pie are checked before the scan: with the scan cancelled from
// the start, a fault of either is still what the run reports.
TEST(ScanTool, OutFolderAndPieNameAreCheckedBeforeTheScan) {
    TTempDir dir;
    dir.MakeDir("tree");
    dir.MakeDir("tree/sub");
    dir.MakeFile("tree/sub/f", 5000);
    dir.MakeFile("file", 1);
    TScopedDriveTable table(TDriveTable({{'C', dir / "tree"}}));
    struct TCase {
        std::vector<std::string> Args;
        int Status;
        std::string Message;  // part of the message on standard error
    };
    const std::vector<TCase> cases = {
        {{"--out", dir / "file"}, TScanCommand::kFailed, "not a folder"},
        {{"--out", dir / "file/below"}, TScanCommand::kFailed, "not a folder"},
        {{"--pie", dir / "pie.jpg"}, TScanCommand::kBadUsage, ".png"},
        {{"--pie", dir / "pie"}, TScanCommand::kBadUsage, ".png"},
        {{"--out", dir / "new/deeper"}, TScanCommand::kCancelled, "cancelled"},
    };
    for (const TCase& c : cases) {
        TScanCommand command;
        command.Cancel() = true;
        std::vector<std::string> args = c.Args;
        args.push_back(dir / "tree");
        std::ostringstream out, err;
        EXPECT_EQ(command.Run(args, out, err), c.Status) << c.Args[1];
        EXPECT_NE(err.str().find(c.Message), std::string::npos) << err.str();
        EXPECT_EQ(out.str().find("Total"), std::string::npos) << out.str();
    }
    // The missing folder was made before the (cancelled) scan; a scan that
    // runs writes its lists into a folder made the same way.
    EXPECT_TRUE(IsNativeFolder(dir / "new/deeper"));
    TScanCommand command;
    std::ostringstream out, err;
    ASSERT_EQ(command.Run({"--out", dir / "made/here", dir / "tree"}, out, err), 0) << err.str();
    EXPECT_EQ(ReadAll(dir / "made/here/CDirSizes"), "5000\r\n5000\r\n");
}

// Ctrl+C and SIGTERM set the scan's cancel flag instead of ending the
// process; the handler is gone after the first Ctrl+C.
TEST(ScanTool, InterruptSetsTheCancelFlag) {
    static std::atomic<bool> flag{false};
    CancelOnInterrupt(&flag);
    ASSERT_EQ(raise(SIGINT), 0);
    EXPECT_TRUE(flag.load());
    struct sigaction now = {};
    sigaction(SIGINT, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
    flag = false;
    ASSERT_EQ(raise(SIGTERM), 0);
    EXPECT_TRUE(flag.load());
    signal(SIGTERM, SIG_DFL);
    flag = false;  // taken: the runs after this one were not interrupted
}

// A cancelled scan ends with status 130 and writes none of its outputs.
TEST(ScanTool, ACancelledScanWritesNothing) {
    TTempDir dir;
    MakeRandomTree(dir / "tree", 7, 50, 50);
    dir.MakeDir("out");
    TScopedDriveTable table(TDriveTable({{'C', dir / "tree"}}));
    TScanCommand command;
    command.Cancel() = true;
    std::ostringstream out, err;
    EXPECT_EQ(command.Run({"--json", "--out", dir / "out", dir / "tree"}, out, err),
              TScanCommand::kCancelled);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "cobaltquarry-scan: cancelled\n");
    std::vector<TDirEntry> written;
    ListFolderNative(dir / "out", written);
    EXPECT_TRUE(written.empty());
}
