#include "engine/ResultStore.h"

#include <array>
#include <memory>
#include <utility>

#include "engine/RescanMerge.h"
#include "engine/ResultFileText.h"
#include "engine/ResultStoreIndex.h"
#include "platform/AtomicFile.h"
#include "platform/DataFolder.h"

namespace {

bool LoadList(const std::string& path, TStringList& list) {
    TResultLineCollector collector(list);
    collector.ExpectBytes(DataFileSize(path));
    bool ok = ReadDataFileChunks(path, [&](std::string_view piece) { collector.Feed(piece); });
    collector.Finish();
    if (!ok) {
        list.clear();
    }
    return ok;
}

}  // namespace

TResultStore::TResultStore() : DataFolder(::DataFolder()) {}

TResultStore::TResultStore(std::string dataFolder) : DataFolder(std::move(dataFolder)) {}

void TResultStore::SetFiles(std::string_view path) {
    if (path.empty()) {
        DirsFile.clear();
        DirSizesFile.clear();
        PercentsFile.clear();
        return;
    }
    std::string prefix = DataFolder + path[0];
    DirsFile = prefix + "Dirs";
    DirSizesFile = prefix + "DirSizes";
    PercentsFile = prefix + "Percents";
}

bool TResultStore::AnalizeFiExists() const {
    return !PercentsFile.empty() && DataFileExists(PercentsFile) && DataFileExists(DirsFile) &&
           DataFileExists(DirSizesFile);
}

bool TResultStore::SaveLists(const TStringList& percents, const TStringList& dirs,
                             const TStringList& dirSizes) const {
    if (PercentsFile.empty()) {
        return false;
    }
    // All three files are written out and flushed before the first rename, so
    // a failure (a full disk, a folder that cannot be written) replaces none
    // of them and the stored set stays consistent.
    const std::array<std::pair<const std::string*, const TStringList*>, 3> files = {{
        {&PercentsFile, &percents},
        {&DirsFile, &dirs},
        {&DirSizesFile, &dirSizes},
    }};
    std::array<std::unique_ptr<TAtomicFile>, 3> written;
    for (std::size_t i = 0; i < files.size(); ++i) {
        written[i] = std::make_unique<TAtomicFile>(*files[i].first);
        if (!written[i]->Open()) {
            return false;
        }
        for (const auto& line : *files[i].second) {
            if (!written[i]->Write(line) || !written[i]->Write("\r\n")) {
                return false;
            }
        }
        if (!written[i]->Finish()) {
            return false;
        }
    }
    for (auto& file : written) {
        if (!file->Commit()) {
            return false;
        }
    }
    return true;
}

bool TResultStore::SaveAnalizeData(const TStringList& dirs, const TStringList& dirSizes,
                                   const TStringList& percents) {
    return SaveLists(percents, dirs, dirSizes);
}

bool TResultStore::SaveGlobalSLS() {
    return SaveLists(GlobalPercents, GlobalDirs, GlobalDirSizes);
}

void TResultStore::AppendAnalizeInfo(const TStringList& dirs, const TStringList& dirSizes,
                                     const TStringList& percents) {
    if (GlobalSLSEmpty()) {
        return;
    }
    if (MergeRescan(GlobalDirs, GlobalDirSizes, GlobalPercents, dirs, dirSizes, percents)) {
        return;
    }
    TResultStoreIndex index(GlobalDirs);
    for (std::size_t k = 0; k < dirs.size(); ++k) {
        std::size_t m = index.Find(dirs[k]);
        if (m != TResultStoreIndex::npos) {
            // The lists may be of different lengths: write only entries that exist.
            if (k < dirSizes.size() && m < GlobalDirSizes.size()) {
                GlobalDirSizes[m] = dirSizes[k];
            }
            if (k > 0 && k < percents.size() && m < GlobalPercents.size()) {
                GlobalPercents[m] = percents[k];
            }
        }
    }
}

bool TResultStore::LoadGlobal() {
    bool percentsOk = LoadList(PercentsFile, GlobalPercents);
    bool dirsOk = LoadList(DirsFile, GlobalDirs);
    bool sizesOk = LoadList(DirSizesFile, GlobalDirSizes);
    return percentsOk && dirsOk && sizesOk;
}

void TResultStore::LoadTree(TTreeLists& tree) const {
    tree.Percents = GlobalPercents;
    tree.Dirs = GlobalDirs;
    tree.ShowBarCharts = true;
}

bool TResultStore::LoadData(TTreeLists& tree) {
    bool ok = LoadGlobal();
    LoadTree(tree);
    return ok;
}

void TResultStore::CreateSLs() {
    GlobalDirs = {" "};
    GlobalDirSizes = {"0"};
    GlobalPercents = {"0"};
}

void TResultStore::FreeSLs() {
    GlobalDirs.clear();
    GlobalDirSizes.clear();
    GlobalPercents.clear();
}

bool TResultStore::GlobalSLSEmpty() const {
    return GlobalDirs.empty() && GlobalDirSizes.empty() && GlobalPercents.empty();
}
