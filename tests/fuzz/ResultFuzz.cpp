// libFuzzer target: stored results as hostile input. The result files are
// the one input of the program that anyone can edit, and a set that loads is
// trusted from then on: the views index it, bisect it and add its numbers up.
//
// An input is up to seven parts separated by NUL bytes (a name can never
// hold one): the bytes of CPercents, CDirs, CDirSizes and CSet (an empty
// fourth part: no manifest), then the Dirs, DirSizes and Percents lines of
// a folder rescan. Each input is written to a data folder and loaded; a set that
// loads is saved and loaded again, merged with the rescan, saved and loaded
// again, and shown as bar and pie data of three folders of a real drive.
// Besides the sanitizers' findings, every broken promise aborts:
// - the lines marked as a file's bytes arrive, and those of the whole text,
//   are the lines a plain byte-by-byte reading finds, and the line counter
//   fed in pieces counts as many;
// - a manifest that parses writes out as text that parses to the same;
// - what was saved loads back exactly;
// - the global lists, the bar rows and the pie lists keep one length each.
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/NumberText.h"
#include "engine/ResultFileText.h"
#include "engine/ResultListCheck.h"
#include "engine/ResultSetManifest.h"
#include "engine/ResultStore.h"
#include "platform/DriveTable.h"
#include "tests/store/PlainLines.h"
#include "views/bar/BarData.h"
#include "views/common/ConvertError.h"
#include "views/pie/PieData.h"
#include "views/pie/ViewRefresh.h"
#include "views/tree/ShellListModel.h"

namespace {

[[noreturn]] void Broken(const char* promise) {
    std::fprintf(stderr, "result_fuzz: broken: %s\n", promise);
    std::abort();
}

void Expect(bool holds, const char* promise) {
    if (!holds)
        Broken(promise);
}

// Drive C: on a small real tree, so that the views have listings to match
// the stored folders against, and an empty data folder for each input.
class TFuzzDrive {
  public:
    TFuzzDrive() : table_(TDriveTable()) {
        // In memory where there is a tmpfs: every input saves a set, and a
        // save waits for the disk.
        std::string name = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        name += "/cq-fuzz-XXXXXX";
        if (mkdtemp(name.data()) == nullptr)
            Broken("a temporary folder can be made");
        root_ = name;
        for (const char* folder : {"drive/a/x", "drive/b", "drive/100%", "drive/back\\slash"})
            std::filesystem::create_directories(root_ / folder);
        for (const char* file : {"drive/f", "drive/a/g", "drive/a/x/h"})
            std::ofstream(root_ / file) << std::string(1000, 'x');
        TDriveTable::SetCurrent(
            std::make_shared<TDriveTable>(std::vector<TDrive>{{'C', (root_ / "drive").string()}}));
    }
    ~TFuzzDrive() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    // The data folder, emptied: with its trailing "/".
    std::string FreshDataFolder() const {
        const std::filesystem::path data = root_ / "data";
        std::error_code ignored;
        std::filesystem::remove_all(data, ignored);
        std::filesystem::create_directory(data);
        return data.string() + "/";
    }

  private:
    TScopedDriveTable table_;
    std::filesystem::path root_;
};

std::vector<std::string_view> SplitParts(std::string_view input) {
    std::vector<std::string_view> parts;
    while (parts.size() < 6) {
        const std::size_t nul = input.find('\0');
        if (nul == std::string_view::npos)
            break;
        parts.push_back(input.substr(0, nul));
        input.remove_prefix(nul + 1);
    }
    parts.push_back(input);
    return parts;
}

void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// Splits the whole text, marks its lines as they would arrive from a read in
// pieces of 1 to 97 bytes, and feeds the line counter pieces of 1 to 7
// bytes, so that CR LF pairs and lines are cut at every place.
void CheckPieces(std::string_view bytes) {
    TStringList whole;
    SplitResultLines(bytes, whole);
    Expect(whole == PlainLines(bytes), "the splitter finds the lines a plain reading finds");
    // Bytes not read yet are line breaks: a marker that looked at them would
    // find other lines.
    TStringList read;
    char* buffer = read.RawBuffer(bytes.size());
    std::fill(buffer, buffer + bytes.size(), '\n');
    TResultLineMarker marker(read);
    for (std::size_t at = 0, piece = 1; at < bytes.size(); at += piece, piece = piece % 97 + 1) {
        const std::size_t to = std::min(bytes.size(), at + piece);
        std::copy(bytes.begin() + at, bytes.begin() + to, buffer + at);
        marker.Feed(to);
    }
    marker.Finish();
    Expect(read == whole, "lines marked as the bytes arrive are the lines of the whole text");
    TResultLineCount count;
    for (std::size_t at = 0, piece = 1; at < bytes.size(); at += piece, piece = piece % 7 + 1)
        count.Feed(bytes.substr(at, piece));
    Expect(count.Lines() == whole.size(), "the line count is the number of lines");
}

void CheckManifest(std::string_view text) {
    TResultSetManifest manifest, again;
    if (!TResultSetManifest::Parse(text, manifest))
        return;
    Expect(TResultSetManifest::Parse(manifest.Text(), again), "a written manifest parses");
    Expect(again.Text() == manifest.Text(), "a manifest reads back as written");
}

void ExpectOneLength(const TResultStore& store) {
    Expect(store.GlobalDirs().size() == store.GlobalDirSizes().size() &&
               store.GlobalDirs().size() == store.GlobalPercents().size(),
           "the global lists have one length");
}

// A folder in drive form as the analyzer names it: "C:" or "C:\a\b", no
// empty name, no trailing backslash.
bool IsDriveForm(std::string_view path) {
    if (path.size() < 2 || !std::isalpha(static_cast<unsigned char>(path[0])) || path[1] != ':')
        return false;
    const std::string_view rest = path.substr(2);
    return rest.empty() ||
           (rest[0] == '\\' && rest.back() != '\\' && rest.find("\\\\") == std::string_view::npos);
}

// The lines of a rescan as the analyzer leaves them: three lists of one
// length, at least one entry, folders in drive form, whole sizes and
// readable shares. Anything else is no rescan and is not merged.
bool ReadRescan(std::string_view dirsText, std::string_view sizesText,
                std::string_view percentsText, TStringList& dirs, TStringList& sizes,
                TStringList& percents) {
    SplitResultLines(dirsText, dirs);
    SplitResultLines(sizesText, sizes);
    SplitResultLines(percentsText, percents);
    const std::size_t n = std::min({dirs.size(), sizes.size(), percents.size()});
    dirs.resize(n);
    sizes.resize(n);
    percents.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        std::int64_t size = 0;
        if (!IsDriveForm(dirs[i]) || !TryTextToInt64(sizes[i], size) || size < 0 ||
            !IsPercentText(percents[i]))
            return false;
    }
    return n > 0;
}

// Saves the store's global lists and loads them into a second store.
void CheckSaveLoad(TResultStore& store, const std::string& data) {
    if (!store.SaveGlobalSLS())
        Broken("lists that loaded can be saved");
    TResultStore again(data);
    again.SetFiles("C:");
    if (!again.LoadGlobal()) {
        std::fprintf(stderr, "result_fuzz: %s\n", again.LoadNotice.c_str());
        Broken("saved lists load");
    }
    Expect(again.GlobalDirs() == store.GlobalDirs() &&
               again.GlobalDirSizes() == store.GlobalDirSizes() &&
               again.GlobalPercents() == store.GlobalPercents(),
           "saved lists load as they were");
}

// The views of folder: conversion errors are the promised answer to a number
// that does not read; anything else must leave lists of one length.
void ShowFolder(const TResultStore& store, const char* folder) {
    TShellListModel listing;
    if (!listing.SetRoot(folder))
        Broken("the fuzz drive's folders can be listed");
    bool folderChanged = true;
    TBarData bar(store, listing, folderChanged);
    TPieData pie(store, listing, folderChanged);
    try {
        TViewRefresh(store, bar, pie).UpdateBarPie();
    } catch (const EConvertError&) {
    }
    Expect(bar.BarSizes.size() == bar.BarPercents.size() &&
               bar.BarSizes.size() == bar.BarColors.size(),
           "the bar rows have one length");
    const std::size_t n = pie.PieSizes.size();
    Expect(pie.PieNames.size() == n && pie.PieColors.size() == n && pie.PiePaths.size() == n &&
               pie.PiePercents.size() == n,
           "the pie lists have one length");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    static const TFuzzDrive drive;
    const std::vector<std::string_view> parts =
        SplitParts(std::string_view(reinterpret_cast<const char*>(bytes), size));
    auto part = [&](std::size_t i) { return i < parts.size() ? parts[i] : std::string_view(); };

    for (std::size_t i = 0; i < 3; ++i)
        CheckPieces(part(i));
    CheckManifest(part(3));

    const std::string data = drive.FreshDataFolder();
    WriteFile(data + "CPercents", part(0));
    WriteFile(data + "CDirs", part(1));
    WriteFile(data + "CDirSizes", part(2));
    if (!part(3).empty())
        WriteFile(data + "CSet", part(3));

    TResultStore store(data);
    store.SetFiles("C:");
    const bool loaded = store.LoadGlobal();
    ExpectOneLength(store);
    if (loaded) {
        CheckSaveLoad(store, data);
        TStringList dirs, sizes, percents;
        if (ReadRescan(part(4), part(5), part(6), dirs, sizes, percents)) {
            store.AppendAnalizeInfo({dirs, sizes, percents});
            ExpectOneLength(store);
            CheckSaveLoad(store, data);
        }
    }
    for (const char* folder : {"C:\\", "C:\\a", "C:\\a\\x"})
        ShowFolder(store, folder);
    return 0;
}
