#include "app/shell/StoredSetUpdate.h"

#include "engine/ResultStore.h"

bool UpdateStoredSet(TResultStore& store, const TStoredSetChange& change) {
    // STAND-IN until TResultStore::UpdateStoredSet: see the header.
    TStringList dirs = store.GlobalDirs, sizes = store.GlobalDirSizes,
                percents = store.GlobalPercents;
    change(store.GlobalDirs, store.GlobalDirSizes, store.GlobalPercents);
    if (store.SaveGlobalSLS())
        return store.LoadGlobal();
    store.GlobalDirs.swap(dirs);
    store.GlobalDirSizes.swap(sizes);
    store.GlobalPercents.swap(percents);
    return false;
}
