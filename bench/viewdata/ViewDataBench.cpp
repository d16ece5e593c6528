// Speed of a refresh of the two views of the current folder: the listing,
// the bar rows and the pie lists of a folder with 100 000 files and 1 000
// subfolders on a drive of 1 000 000 analysed folders, next to GNU ls
// listing, measuring and sorting the same folder.
//
// Usage: bench_viewdata [WORK_FOLDER]   (default $TMPDIR/cq-viewdata-bench)
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "engine/ResultStore.h"
#include "platform/DirListing.h"
#include "platform/DriveTable.h"
#include "views/bar/BarData.h"
#include "views/pie/PieData.h"
#include "views/pie/ViewRefresh.h"
#include "views/tree/ListedFolderLookup.h"
#include "views/tree/ShellListModel.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 100000;
constexpr int kFolders = 1000;
constexpr int kStoredFolders = 1000000;
constexpr int kRuns = 7;

// A small deterministic generator, so every run builds the same folder.
struct TLcg {
    std::uint64_t state = 88172645463325252ull;
    std::uint64_t Next() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return state >> 33;
    }
};

const char* const kWords[] = {"Report", "photo",       "DATA",    "notes", "Backup",
                              "img",    "final draft", "Invoice", "music", "src"};
const char* const kExtensions[] = {".txt", ".JPG", ".tar.gz", ".c", "", ".pdf", ".log", ".mp4"};

std::string Name(TLcg& random, int number, bool folder) {
    std::string name = kWords[random.Next() % 10];
    name += (random.Next() % 2) ? " " : "_";
    name += std::to_string(number);
    name += folder ? " folder" : kExtensions[random.Next() % 8];
    return name;
}

struct TBenchFolder {
    std::vector<std::string> folders;  // names of the subfolders
    std::int64_t fileBytes = 0;
};

// The folder is built once and reused by later runs (building it takes far
// longer than the measurement).
TBenchFolder MakeFolder(const fs::path& folder) {
    TBenchFolder made;
    TLcg random;
    const bool exists = fs::exists(folder / ".complete");
    fs::create_directories(folder);
    for (int i = 0; i < kFolders; ++i) {
        made.folders.push_back(Name(random, i, true));
        if (!exists) {
            fs::create_directory(folder / made.folders.back());
        }
    }
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = Name(random, i, false);
        // Mostly small files and a few large ones that become pie slices.
        const std::int64_t size = (i % 20000 == 7)
                                      ? (std::int64_t{1} << 33)
                                      : static_cast<std::int64_t>(random.Next() % 200000);
        made.fileBytes += size;
        if (!exists) {
            std::ofstream(folder / name, std::ios::binary);
            fs::resize_file(folder / name, static_cast<std::uintmax_t>(size));
        }
    }
    if (!exists) {
        std::ofstream(folder / ".complete");
    }
    return made;
}

// A drive of a million analysed folders around the bench folder, in the
// byte order the result files keep.
void FillStore(TResultStore& store, const TBenchFolder& made) {
    struct TRow {
        std::string path, size, percent;
    };
    std::vector<TRow> rows;
    rows.reserve(kStoredFolders);
    const std::int64_t folderBytes = std::int64_t{1} << 30;
    std::int64_t subTotal = 0;
    for (std::size_t i = 0; i < made.folders.size(); ++i) {
        // Ten subfolders of 5 % each become slices; the others are small.
        const std::int64_t size = i < 10 ? folderBytes / 20 : 1000 + static_cast<std::int64_t>(i);
        subTotal += size;
        rows.push_back(
            {"T:\\big\\" + made.folders[i], std::to_string(size), i < 10 ? "5" : "0.0001"});
    }
    const std::int64_t total = subTotal + made.fileBytes;
    rows.push_back({"T:", std::to_string(total * 4), "0"});
    rows.push_back({"T:\\big", std::to_string(total), "25"});
    TLcg random;
    while (static_cast<int>(rows.size()) < kStoredFolders) {
        const int n = static_cast<int>(rows.size());
        rows.push_back({"T:\\archive\\" + Name(random, n / 50, true) + "\\" + Name(random, n, true),
                        std::to_string(random.Next() % 100000000), "0.5"});
    }
    std::sort(rows.begin(), rows.end(),
              [](const TRow& a, const TRow& b) { return a.path < b.path; });
    TStoredSet drive;
    for (TRow& row : rows) {
        drive.Dirs.push_back(std::move(row.path));
        drive.Sizes.push_back(std::move(row.size));
        drive.Percents.push_back(std::move(row.percent));
    }
    store.ReplaceGlobal(std::move(drive));
}

// Wall time and processor time (user + system) of one piece of work; the
// processor time includes child processes, so peers run as commands count
// the same way. On a machine shared with other work the processor time is
// the steadier figure.
struct TTimes {
    double wall = 0;
    double cpu = 0;
};

double CpuMilliseconds() {
    double total = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        total += (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                 (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    }
    return total;
}

TTimes Measure(const std::function<void()>& work) {
    const double cpuStart = CpuMilliseconds();
    const auto start = std::chrono::steady_clock::now();
    work();
    TTimes times;
    times.wall =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    times.cpu = CpuMilliseconds() - cpuStart;
    return times;
}

// Median of several runs, wall and processor time each on its own.
TTimes Median(const std::function<void()>& work) {
    std::vector<double> walls;
    std::vector<double> cpus;
    for (int i = 0; i < kRuns; ++i) {
        const TTimes times = Measure(work);
        walls.push_back(times.wall);
        cpus.push_back(times.cpu);
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    return TTimes{walls[walls.size() / 2], cpus[cpus.size() / 2]};
}

// The lookup of the current folder as a walk over the whole list, comparing
// lower-cased texts: the plain way, kept to show what the index saves.
std::int64_t WalkedFolderSize(const TResultStore& store, const std::string& listed) {
    auto lower = [](std::string text) {
        for (char& c : text) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
        }
        return text;
    };
    const std::string wanted = lower(listed);
    for (std::size_t i = 0; i < store.GlobalDirs().size(); ++i) {
        std::string entry = lower(std::string(store.GlobalDirs()[i]));
        if (entry.size() == 2) {
            entry += '\\';
        }
        if (entry == wanted) {
            return std::stoll(std::string(store.GlobalDirSizes()[i]));
        }
    }
    return 0;
}

void Report(const char* what, TTimes times, TTimes peer, const char* peerName) {
    std::printf("%-40s %8.1f ms wall %8.1f ms cpu   %5.2fx / %5.2fx %s\n", what, times.wall,
                times.cpu, times.wall / peer.wall, times.cpu / peer.cpu, peerName);
}

}  // namespace

int main(int argc, char** argv) {
    const char* tmp = std::getenv("TMPDIR");
    const fs::path work =
        argc > 1 ? fs::path(argv[1]) : fs::path(tmp ? tmp : "/tmp") / "cq-viewdata-bench";
    const fs::path mount = work / "drive";
    std::printf("view data: folder of %d files and %d subfolders, %d analysed folders (%s)\n",
                kFiles, kFolders, kStoredFolders, mount.c_str());
    const TBenchFolder made = MakeFolder(mount / "big");
    TScopedDriveTable table(TDriveTable({TDrive{'T', mount.string()}}));

    TResultStore store{std::string()};
    FillStore(store, made);
    TShellListModel listing;
    bool folderChanged = true;
    TBarData bar(store, listing, folderChanged);
    TPieData pie(store, listing, folderChanged);
    TViewRefresh refresh(store, bar, pie);

    const std::string folder = (mount / "big").string();
    const std::string quiet = " >/dev/null 2>&1";
    auto run = [&](const std::string& command) {
        return Median([&] {
            if (std::system(command.c_str()) != 0) {
                std::fprintf(stderr, "failed: %s\n", command.c_str());
            }
        });
    };
    run("ls -l '" + folder + "'" + quiet);  // warm the cache
    const TTimes lsLong = run("LC_ALL=C.UTF-8 ls -l --color=never '" + folder + "'" + quiet);
    const TTimes lsVersion = run("LC_ALL=C.UTF-8 ls -lv --color=never '" + folder + "'" + quiet);
    const TTimes lsUnsorted = run("ls -f '" + folder + "'" + quiet);

    const TTimes whole = Median([&] {
        listing.SetRoot("T:\\big");
        refresh.UpdateBarPie();
    });
    const TTimes listingOnly = Median([&] { listing.SetRoot("T:\\big"); });
    const TTimes barOnly = Median([&] {
        folderChanged = true;
        bar.CreateFolderBarData();
    });
    const TTimes pieOnly = Median([&] {
        folderChanged = true;
        pie.CreatePieData();
    });
    const TTimes bareListing = Median([&] {
        std::vector<TDirEntry> entries;
        ListFolderNative(folder, entries);
    });
    std::int64_t sizeIndexed = 0;
    std::int64_t sizeWalked = 0;
    const TTimes indexed = Median([&] { sizeIndexed = bar.RootFolderSize(); });
    const TTimes walked = Median([&] { sizeWalked = WalkedFolderSize(store, "T:\\big"); });

    std::printf("rows %zu, slices %zu, listed items %d\n", bar.BarSizes.size(),
                pie.PieNames.size() - 1, listing.Count());
    std::printf("peers (wall/cpu ms): ls -l %.1f/%.1f, ls -lv %.1f/%.1f, ls -f %.1f/%.1f\n",
                lsLong.wall, lsLong.cpu, lsVersion.wall, lsVersion.cpu, lsUnsorted.wall,
                lsUnsorted.cpu);
    Report("UpdateBarPie with listing (goal < 1000 ms)", whole, lsLong, "of ls -l");
    Report("  the same", whole, lsVersion, "of ls -lv (natural order)");
    Report("  listing (entries, sort, paths)", listingOnly, lsLong, "of ls -l");
    Report("  bare directory listing (floor)", bareListing, lsUnsorted, "of ls -f");
    Report("  bar rows", barOnly, whole, "of the refresh");
    Report("  pie lists", pieOnly, whole, "of the refresh");
    std::printf("current folder lookup: indexed %.4f ms, walked %.1f ms, same size: %s\n",
                indexed.wall, walked.wall, sizeIndexed == sizeWalked ? "yes" : "NO");
    return sizeIndexed == sizeWalked ? 0 : 1;
}
