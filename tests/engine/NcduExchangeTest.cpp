// Scans exchanged in ncdu's export format: our export read back, exports of
// the real ncdu and gdu read by us, ours read by them, and input that must
// be refused without a crash or a hang.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>

#include "engine/AnalizeDisk.h"
#include "engine/ExportInput.h"
#include "engine/ImportedScan.h"
#include "engine/NcduExport.h"
#include "engine/NcduImport.h"
#include "platform/DriveTable.h"
#include "tests/engine/RandomTree.h"
#include "tests/engine/StrictJson.h"
#include "tests/platform/TempDir.h"

namespace {

struct TLists {
    TStringList Dirs, Sizes, Percents;
    bool operator==(const TLists& o) const {
        return Dirs == o.Dirs && Sizes == o.Sizes && Percents == o.Percents;
    }
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int Shell(const std::string& command) {
    return std::system(command.c_str());
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

TLists ScanLists() {
    TAnalizeDisk a;
    a.Directory = "T:\\";
    a.Recurse = true;
    a.Execute();
    return {a.Dirs(), a.DirSizes(), a.Percents()};
}

std::string AsDriveT(const std::string&) {
    return "T:";
}

TLists Imported(TByteSource& source, TNcduImport* keep = nullptr) {
    TNcduImport result;
    std::string error;
    EXPECT_TRUE(ImportNcdu(source, AsDriveT, result, error)) << error;
    TLists lists{result.Dirs, result.DirSizes, result.Percents};
    if (keep != nullptr)
        *keep = std::move(result);
    return lists;
}

TLists ImportedFile(const std::string& path) {
    TExportInput input;
    std::string error;
    EXPECT_TRUE(input.Open(path, error)) << error;
    return Imported(input);
}

bool Export(const std::string& root, const std::string& file, std::string& error) {
    TExportOutput out;
    TExportSettings settings;
    settings.NativeRoot = root;
    settings.ProgVer = "test";
    return out.Open(file, error) && ExportNcdu(settings, out, error) && out.Commit(error);
}

// The random tree and the names a line-based or JSON text finds hardest.
void MakeTree(const std::string& root, unsigned seed) {
    MakeRandomTree(root, seed, 120, 240);
    for (const std::string name : {"line\nbreak", "carriage\rreturn", "esc\x1b[31m", "quote\"d",
                                   "back\\slash dir", "tab\there", "%25 literal", "bad \xff\xfe"}) {
        ASSERT_EQ(mkdir((root + "/" + name).c_str(), 0755), 0);
        std::ofstream(root + "/" + name + "/f " + name) << name;
    }
    ASSERT_EQ(mkfifo((root + "/a fifo").c_str(), 0644), 0);
}

std::string GduTotal(const std::string& args) {
    std::FILE* p = popen(("gdu -n -p -a -s --no-prefix " + args + " 2>/dev/null").c_str(), "r");
    char line[512] = {};
    const bool read = p != nullptr && std::fgets(line, sizeof line, p) != nullptr;
    if (p != nullptr)
        pclose(p);
    std::istringstream fields(read ? line : "");
    std::string total;
    fields >> total;
    return total;
}

}  // namespace

// The lists of an export read back, and of ncdu's and gdu's own exports of
// the same tree, are byte for byte those of a scan of it; ncdu and gdu read
// our export with the same totals as their own scans.
TEST(NcduExchange, ExportsOfUsNcduAndGduGiveTheListsOfAScan) {
    for (unsigned seed = 1; seed <= 4; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        TTempDir dir;
        const std::string tree = dir / "tree";
        MakeTree(tree, seed);
        TScopedDriveTable table(TDriveTable({{'C', "/"}, {'T', tree}}));
        const TLists scanned = ScanLists();
        ASSERT_GT(scanned.Dirs.size(), 120u);

        std::string error;
        const std::string ours = dir / "ours.json";
        const std::string packed = dir / "ours.json.zst";
        ASSERT_TRUE(Export(tree, ours, error)) << error;
        ASSERT_TRUE(Export(tree, packed, error)) << error;
        EXPECT_EQ(ReadAll(packed).compare(0, 4, "\x28\xb5\x2f\xfd"), 0);
        EXPECT_TRUE(ImportedFile(ours) == scanned);
        EXPECT_TRUE(ImportedFile(packed) == scanned);
        // Where the reader's pieces end makes no difference.
        const std::string bytes = ReadAll(ours);
        TMemorySource tiny(bytes, seed + 2);
        EXPECT_TRUE(Imported(tiny) == scanned);

        const std::string ncdu = dir / "ncdu.json";
        ASSERT_EQ(Shell("ncdu -x -o " + Quoted(ncdu) + " " + Quoted(tree)), 0);
        EXPECT_TRUE(ImportedFile(ncdu) == scanned);
        const std::string gdu = dir / "gdu.json";
        ASSERT_EQ(Shell("gdu -n -p -o " + Quoted(gdu) + " " + Quoted(tree) + " >/dev/null 2>&1"),
                  0);
        // gdu writes names through a UTF-8 encoder (bytes that are not
        // UTF-8 become U+FFFD) and counts a hard link where it met it
        // first, so only its folder count and total are the scan's.
        const TLists fromGdu = ImportedFile(gdu);
        EXPECT_EQ(fromGdu.Dirs.size(), scanned.Dirs.size());
        EXPECT_EQ(fromGdu.Sizes.at(0), scanned.Sizes.at(0));

        const std::string again = dir / "ncdu-again.json";
        ASSERT_EQ(Shell("ncdu -f " + Quoted(ours) + " -o " + Quoted(again)), 0);
        EXPECT_TRUE(ImportedFile(again) == scanned);
        const std::string gduOwn = GduTotal(Quoted(tree));
        ASSERT_FALSE(gduOwn.empty());
        EXPECT_EQ(GduTotal("-f " + Quoted(ours)), gduOwn);
    }
}

namespace {

// Bytes made on demand: a huge name or deep nesting without holding it.
class TGeneratedSource : public TByteSource {
  public:
    TGeneratedSource(std::string head, char fill, std::uint64_t count, std::string tail)
        : head_(std::move(head)), fill_(fill), count_(count), tail_(std::move(tail)) {}
    bool Next(std::string_view& bytes, std::string&) override {
        ++calls_;
        if (!head_.empty()) {
            piece_.swap(head_);
            head_.clear();
        } else if (count_ > 0) {
            const std::uint64_t n = std::min<std::uint64_t>(count_, 1 << 16);
            piece_.assign(n, fill_);
            count_ -= n;
        } else {
            piece_.swap(tail_);
            tail_.clear();
        }
        bytes = piece_;
        return true;
    }
    std::uint64_t calls_ = 0;

  private:
    std::string head_, piece_;
    char fill_;
    std::uint64_t count_;
    std::string tail_;
};

bool Refuses(TByteSource& source, std::string& error) {
    TNcduImport result;
    return !ImportNcdu(source, AsDriveT, result, error) && !error.empty();
}

bool Refuses(const std::string& text, const std::string& why) {
    TMemorySource source(text);
    std::string error;
    const bool refused = Refuses(source, error);
    EXPECT_NE(error.find(why), std::string::npos) << text.substr(0, 80) << " -> " << error;
    return refused;
}

}  // namespace

TEST(NcduExchange, BadInputIsRefusedWithAReason) {
    const std::string head = R"([1,2,{"progname":"x"},[{"name":"/r"},)";
    EXPECT_TRUE(Refuses(R"([2,0,{},[{"name":"/r"}]])", "version 2"));
    EXPECT_TRUE(Refuses(R"({"name":"/r"})", "'['"));
    EXPECT_TRUE(Refuses(head + R"({"name":"f","asize":-1}]])", "negative size"));
    EXPECT_TRUE(Refuses(head + R"({"name":"f","asize":99999999999999999999}]])", "out of range"));
    EXPECT_TRUE(Refuses(head + R"({"name":"f","asize":1.5}]])", "whole number"));
    EXPECT_TRUE(Refuses(head + R"({"asize":1}]])", "without a name"));
    EXPECT_TRUE(Refuses(head + R"([{"name":".."}]]])", "no folder can be called"));
    EXPECT_TRUE(Refuses(head + R"([{"name":"a/b"}]]])", "no folder can be called"));
    // A file's name would name another place just the same.
    for (const char* name : {"..", ".", "", "a/b", "/"})
        EXPECT_TRUE(
            Refuses(head + R"({"name":")" + name + R"("}]])", "no file can be called at byte"))
            << name;
    EXPECT_FALSE(Refuses(head + R"({"name":"..."},{"name":"a\\b"},{"name":".a"}]])", ""));
    // Messages name folders as the export does, not by the letter the
    // import is shown under.
    EXPECT_TRUE(Refuses(head + R"([{"name":"s"},[{"name":"d"}],[{"name":"d"}]]]])",
                        "two folders named \"d\" in /r/s"));
    EXPECT_TRUE(Refuses(head + R"({"name":"f"}]] x)", "text after the end of the export at byte"));
    EXPECT_TRUE(Refuses(head + R"({"name":"f","asize":007}]])", "leading zero at byte"));
    // Sizes may add up to 2^63 - 1 bytes, not to 2^63.
    const std::string half = R"({"name":"f","asize":4611686018427387904},)";
    EXPECT_FALSE(Refuses(head + half + R"({"name":"g","asize":4611686018427387903}]])", ""));
    EXPECT_TRUE(Refuses(head + half + R"({"name":"g","asize":4611686018427387904}]])",
                        "add up to 2^63 bytes or more at byte"));
    EXPECT_TRUE(Refuses(head + R"({"name":"f\q"}]])", "escape"));
    EXPECT_TRUE(Refuses(head + R"({"name":"f"} {"name":"g"}]])", "expected ','"));

    // Every cut of a valid export is refused (most as too short).
    const std::string whole = head + R"({"name":"f","asize":5,"ino":7,"hlnkc":true},)" +
                              R"([{"name":"d","x":[{"y":[1,{}]},null]},{"name":"g"}]]])";
    TMemorySource complete(whole);
    std::string error;
    ASSERT_FALSE(Refuses(complete, error)) << error;
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        TMemorySource source(std::string_view(whole).substr(0, cut), 3);
        EXPECT_TRUE(Refuses(source, error)) << cut;
    }

    // A name of 100 MB and nesting 100 000 deep end early with a message,
    // without reading the rest.
    TGeneratedSource longName(head + R"({"name":")", 'n', 100u << 20, R"("}]])");
    EXPECT_TRUE(Refuses(longName, error));
    EXPECT_NE(error.find("longer than"), std::string::npos) << error;
    EXPECT_LT(longName.calls_, 40u);
    TGeneratedSource deep(R"([1,2,{},)", '[', 100000, "");
    EXPECT_TRUE(Refuses(deep, error));
    EXPECT_NE(error.find("'{'"), std::string::npos) << error;
    std::string nested = R"([1,2,{},[{"name":"/r"})";
    for (int i = 0; i < 100000; ++i)
        nested += R"(,[{"name":"d"})";
    TMemorySource deepFolders(nested);
    EXPECT_TRUE(Refuses(deepFolders, error));
    EXPECT_NE(error.find("nested more than"), std::string::npos) << error;
    // The bound on both sides: the root and kNcduMaxDepth - 1 folders inside
    // each other load, one more is refused.
    for (const std::size_t depth : {kNcduMaxDepth, kNcduMaxDepth + 1}) {
        std::string export_ = R"([1,2,{},[{"name":"/r"})";
        for (std::size_t i = 1; i < depth; ++i)
            export_ += R"(,[{"name":"d"})";
        export_ += std::string(depth, ']') + "]";
        TMemorySource source(export_);
        EXPECT_EQ(Refuses(source, error), depth > kNcduMaxDepth) << depth << ": " << error;
    }
}

// Random damage to a valid export against a plain reference of strict JSON:
// damage to a value the reader skips, to a size it reads or after the end
// is refused exactly when the reference refuses it, naming a byte at or
// after where the damaged part begins.
TEST(NcduExchange, MalformedJsonIsRefusedAsAStrictReaderWould) {
    const std::string head = R"([1,2,{"progname":"x"},[{"name":"/r"},{"name":"f","asize":)";
    const std::string value = R"([{"y":[1,-0.5e+3,{}]},null,true,"s\u00e9\n\ud83d\ude00",0,-12])";
    const std::string alphabet = "[]{}\",:0123456789-+.eE \t\nabtrufnlsx\\u\x01\xe9";
    std::mt19937_64 random(41);
    auto mutate = [&](std::string text) {
        for (int n = 1 + random() % 3; n > 0; --n) {
            const std::size_t at = random() % (text.size() + 1);
            const char c = alphabet[random() % alphabet.size()];
            switch (random() % 3) {
                case 0:
                    text.insert(at, 1, c);
                    break;
                case 1:
                    text.erase(at, 1);
                    break;
                default:
                    text.replace(at, 1, 1, c);
            }
        }
        return text;
    };
    auto spaceOnly = [](const std::string& t) {
        return t.find_first_not_of(" \t\r\n") == std::string::npos;
    };
    int accepted = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        // A size (a whole number from 0 to 2^63 - 1), a skipped value, and
        // what follows the export.
        const std::string size = trial % 3 == 0 ? mutate("1234") : "5";
        const std::string skipped = trial % 3 == 1 ? mutate(value) : value;
        const std::string after = trial % 3 == 2 ? mutate("\n") : "";
        const std::string text = head + size + R"(,"x":)" + skipped + "}]]" + after;
        // A whole number, not below 0 (-0 is 0); the mutations keep it short.
        const std::size_t from = size.find_first_not_of(" \t\n");
        const std::string bare = from == std::string::npos ? "" : size.substr(from);
        const bool sizeFits = TStrictJson::IsValue(size) &&
                              bare.find_first_of(".eE") == std::string::npos &&
                              (bare[0] != '-' || bare.rfind("-0", 0) == 0);
        const bool valid = sizeFits && TStrictJson::IsValue(skipped) && spaceOnly(after);
        TMemorySource source(text, 1 + trial % 7);
        std::string error;
        const bool refused = Refuses(source, error);
        ASSERT_EQ(refused, !valid) << text << " -> " << error;
        if (refused) {
            const std::size_t at = error.rfind(" at byte ");
            ASSERT_NE(at, std::string::npos) << error;
            EXPECT_GE(std::stoull(error.substr(at + 9)), head.size()) << text << " -> " << error;
        }
        accepted += !refused;
    }
    // Both outcomes are common enough to matter.
    EXPECT_GT(accepted, 600);
    EXPECT_LT(accepted, 2400);
}

// Times of any value an export can hold reach the imported drive's entries
// as they are, and past the 64-bit range as its ends.
TEST(NcduExchange, ImportedTimesOfAnyValue) {
    TTempDir dir;
    const std::string path = dir / "e.json";
    std::ofstream(path) << R"([1,2,{},[{"name":"/r","mtime":-99999999999999},)"
                        << R"({"name":"a","mtime":13569465600},)"
                        << R"({"name":"b","mtime":-9223372036854775808},)"
                        << R"({"name":"c","mtime":99999999999999999999999},)"
                        << R"({"name":"d","mtime":-99999999999999999999999}]])";
    TImportedScan scan;
    std::string error;
    ASSERT_TRUE(ReadImportedScan(path, 'Y', scan, error)) << error;
    std::vector<TDirEntry> entries;
    ASSERT_TRUE(scan.Drive->List("Y:\\", entries));
    std::map<std::string, std::int64_t> times;
    for (const TDirEntry& e : entries)
        times[e.Name] = e.LastWriteSeconds;
    const std::int64_t most = std::numeric_limits<std::int64_t>::max();
    EXPECT_EQ(times, (std::map<std::string, std::int64_t>{
                         {"a", 13569465600}, {"b", -most - 1}, {"c", most}, {"d", -most - 1}}));
    TDirEntry root;
    ASSERT_TRUE(scan.Drive->Lookup("Y:\\", root));
    EXPECT_EQ(root.LastWriteSeconds, -99999999999999);
}

// What the other tools put in an export beyond the folders and files.
TEST(NcduExchange, ImportKeepsToTheMeasuredBytes) {
    // gdu's newer exports put totals on folders with an item count; excluded
    // items and extra top-level elements count nothing; gdu gives a hard
    // link's inode only to the names after the one it counted.
    const std::string text =
        R"([1,2,{"progname":"gdu","progver":"5.29","timestamp":1700000000,"extra":{"k":[1]}},)"
        R"([{"name":"/srv/data","asize":999,"items":9,"dev":5},)"
        R"([{"name":"b","asize":777,"items":3},{"name":"l","asize":10}],)"
        R"([{"name":"a"},{"name":"l2","asize":10,"ino":4,"hlnkc":true},)"
        R"({"name":"other","asize":50,"excluded":"otherfs"}],)"
        R"([{"name":"skip","excluded":"pattern"},{"name":"in","asize":40}],)"
        R"({"name":"top","asize":1,"unknown":{"deep":[[[]]]}}],"later",{"x":1}])";
    TMemorySource source(text, 5);
    TNcduImport result;
    const TLists lists = Imported(source, &result);
    EXPECT_EQ(result.RootName, "/srv/data");
    EXPECT_EQ(result.Meta.ProgName, "gdu");
    EXPECT_EQ(result.Meta.Timestamp, 1700000000);
    EXPECT_EQ(lists.Dirs, (TStringList{"T:", "T:\\a", "T:\\b"}));
    EXPECT_EQ(lists.Sizes, (TStringList{"11", "0", "10"}));
}

// Excluded entries stay entries of their folder in an opened scan, with the
// reason the export gives, whatever it is; they count nothing and nothing
// inside an excluded folder is listed.
TEST(NcduExchange, ImportedExcludedEntriesKeepTheirReason) {
    TTempDir dir;
    const std::string path = dir / "e.json";
    std::ofstream(path) << R"([1,2,{},[{"name":"/r"},)"
                        << R"({"name":"p","excluded":"pattern"},)"
                        << R"({"name":"o","excluded":"othfs"},)"
                        << R"({"name":"old","excluded":"otherfs"},)"
                        << R"({"name":"k","excluded":"kernfs"},)"
                        << R"({"name":"m","excluded":"frmlnk"},)"
                        << R"({"name":"t","asize":7,"excluded":true},)"
                        << R"({"name":"z","asize":7,"excluded":"zzz"},)"
                        << R"({"name":"f","asize":7,"excluded":false},)"
                        << R"([{"name":"c","excluded":"pattern"},{"name":"in","asize":9}],)"
                        << R"({"name":"a/b","excluded":"pattern"}]])";
    TImportedScan scan;
    std::string error;
    ASSERT_TRUE(ReadImportedScan(path, 'Y', scan, error)) << error;
    std::vector<TDirEntry> entries;
    ASSERT_TRUE(scan.Drive->List("Y:\\", entries));
    std::map<std::string, TExcludedReason> why;
    for (const TDirEntry& e : entries) {
        why[e.Name] = static_cast<TExcludedReason>(e.Excluded);
        if (e.Excluded != 0) {
            EXPECT_EQ(e.Size, 0) << e.Name;  // an excluded entry was not measured
            EXPECT_EQ(e.Attr & faDirectory, 0u) << e.Name;
        }
    }
    using R = TExcludedReason;
    EXPECT_EQ(why, (std::map<std::string, R>{{"p", R::Pattern},
                                             {"o", R::OtherFs},
                                             {"old", R::OtherFs},
                                             {"k", R::KernelFs},
                                             {"m", R::FirmLink},
                                             {"t", R::Unnamed},
                                             {"z", R::Unnamed},
                                             {"f", R::None},
                                             {"c", R::Pattern}}));
    EXPECT_FALSE(scan.Drive->List("Y:\\c", entries));  // never entered
    EXPECT_EQ(scan.Result.DirSizes, (TStringList{"7"}));
    // Each reason reads as words of its own after "Excluded by".
    std::set<std::string> texts;
    for (const R r : {R::Pattern, R::OtherFs, R::KernelFs, R::FirmLink, R::Unnamed})
        texts.insert(ExcludedReasonText(r));
    EXPECT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts.count(""), 0u);
    EXPECT_EQ(ExcludedReasonText(R::None), "");
}
