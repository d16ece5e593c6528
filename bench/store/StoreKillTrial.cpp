// One side of the kill trials of bench/store/kill-trials.sh: "save" stores
// three different sets of a drive's results (each with its extra file of
// allocated bytes) in turn, without end, until it is killed; "save-behind"
// does the same as the window does at a scan's end: the set becomes the
// lists shown and is saved on a thread of its own (TDetachedSave); "check"
// loads what is stored and says whether it is one of the three sets whole,
// extra file included ("whole"), no set at all ("refused"), or anything
// else ("mixed"), and how many temporary files lie in the data folder.
// Usage: bench_store_kill save|save-behind|check DATA_FOLDER FOLDERS
#include <dirent.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "engine/DetachedSave.h"
#include "engine/DiskSizeList.h"
#include "engine/ResultStore.h"

namespace {

struct TSet {
    TStringList Dirs, Sizes, Percents;
    TExtraLists Extras;  // the allocated bytes, as every scan stores them
};

// Set k of a drive of about count folders: its own length and its own
// numbers on every line, so that any mix of two sets shows.
TSet MakeSet(int k, std::size_t count) {
    TSet set;
    const std::size_t n = count + static_cast<std::size_t>(k);
    std::vector<std::string> dirs;
    dirs.reserve(n);
    set.Sizes.push_back(std::to_string(n * 10));
    set.Percents.push_back("0");
    char name[64];
    for (std::size_t i = 1; i < n; ++i) {
        std::snprintf(name, sizeof name, "C:\\folder %03zu\\sub %07zu", i % 997, i);
        dirs.push_back(name);
    }
    std::sort(dirs.begin(), dirs.end());
    set.Dirs.push_back("C:");
    for (const std::string& dir : dirs)
        set.Dirs.push_back(dir);
    for (std::size_t i = 1; i < n; ++i) {
        set.Sizes.push_back(std::to_string(i * 3 + static_cast<std::size_t>(k)));
        set.Percents.push_back(std::to_string(k) + "." + std::to_string(i % 1000));
    }
    TStringList& disk = set.Extras[std::string(kDiskSizesRole)];
    for (std::size_t i = 0; i < n; ++i)
        disk.push_back(std::to_string(i * 4096 + static_cast<std::size_t>(k)));
    return set;
}

// The set saved as a scan's end saves it in the window.
bool SaveBehind(TResultStore& store, const TSet& set) {
    std::unique_ptr<TDetachedSave> job =
        TDetachedSave::BeginDriveScan(store, {set.Dirs, set.Sizes, set.Percents, set.Extras});
    std::thread worker([&job] { job->Run(); });
    worker.join();
    job->Finish();
    return job->Saved();
}

int TemporaryFiles(const std::string& folder) {
    int count = 0;
    if (DIR* listing = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(listing)) {
            const std::string name = entry->d_name;
            // ".CDirs.Ab12Cd": a hidden name whose last part has six characters.
            const std::size_t dot = name.rfind('.');
            if (name.size() > 1 && name[0] == '.' && dot != 0 && dot != std::string::npos &&
                name.size() - dot == 7)
                ++count;
        }
        closedir(listing);
    }
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s save|save-behind|check DATA_FOLDER FOLDERS\n", argv[0]);
        return 2;
    }
    const std::string mode = argv[1];
    const std::string folder = std::string(argv[2]) + "/";
    const auto count = static_cast<std::size_t>(std::atol(argv[3]));
    TResultStore store(folder);
    store.SetFiles("C:");
    if (mode == "save" || mode == "save-behind") {
        const bool behind = mode == "save-behind";
        const std::array<TSet, 3> sets = {MakeSet(0, count), MakeSet(1, count), MakeSet(2, count)};
        for (std::size_t k = 0;; k = (k + 1) % sets.size()) {
            const TSet& set = sets[k];
            if (behind ? !SaveBehind(store, set)
                       : !store.SaveAnalizeData({set.Dirs, set.Sizes, set.Percents, set.Extras})) {
                std::fprintf(stderr, "save failed: %s\n", store.SaveError.c_str());
                return 1;
            }
            // One line per finished save: the script kills only after the first.
            std::printf("saved %zu\n", k);
            std::fflush(stdout);
            if (std::getenv("CQ_SAVE_ONCE") != nullptr)
                return 0;
        }
    }
    const char* verdict = "mixed";
    if (!store.LoadGlobal()) {
        verdict = "refused";
    } else if (store.GlobalDirs().size() >= count && store.GlobalDirs().size() < count + 3) {
        // The set the length points to: any other content is a mix.
        const TSet set = MakeSet(static_cast<int>(store.GlobalDirs().size() - count), count);
        if (store.GlobalDirs() == set.Dirs && store.GlobalDirSizes() == set.Sizes &&
            store.GlobalPercents() == set.Percents && store.GlobalExtras() == set.Extras)
            verdict = store.LoadNotice.empty() ? "whole" : "whole-earlier";
    }
    std::printf("%s %d\n", verdict, TemporaryFiles(folder));
    return 0;
}
