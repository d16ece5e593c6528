// The process a kill trial of tests/store kills: stores one folder rescan
// of drive C: (ExtraTrialSets.h) in the data folder given, as a scan's
// rescan stores it, and exits 0 when it was stored.
// Usage: store_kill_child DATA_FOLDER MARK GROW
#include <cstdlib>

#include "engine/ResultStore.h"
#include "tests/store/ExtraTrialSets.h"

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    const int mark = std::atoi(argv[2]);
    const std::int64_t grow = std::atoll(argv[3]);
    TResultStore store(argv[1]);
    store.SetFiles("C:\\");
    return store.UpdateStoredSet([&](TStoredSet& set) { trial::Rescan(set, mark, grow); }) ? 0 : 1;
}
