#include "engine/WalkThreads.h"

#include <QThread>
#include <QtGlobal>
#include <algorithm>
#include <charconv>

namespace {

// Threads per core on a disk that takes many requests at once, and the
// least and most such a walk uses: a bare walk on a cold cache gains about a
// third from 2 to 8 threads and little beyond 32, so 16 on two cores reaches
// most of what the disk gives.
constexpr int kPerCore = 8;
constexpr int kFewest = 16;
constexpr int kMost = 64;
// Threads per core while the walk finds everything in memory.
constexpr int kWarmPerCore = 2;

bool ReadCount(const std::string& text, int& count) {
    const size_t a = text.find_first_not_of(" \t");
    if (a == std::string::npos)
        return false;
    const size_t b = text.find_last_not_of(" \t") + 1;
    const char* first = text.data() + a;
    const char* last = text.data() + b;
    const auto [end, ec] = std::from_chars(first, last, count);
    return ec == std::errc() && end == last && count >= 1 && count <= kMaxWalkThreads;
}

}  // namespace

int ChooseWalkThreads(int cores, TDiskKind kind, const std::string& override) {
    int told = 0;
    if (ReadCount(override, told))
        return told;
    cores = std::max(cores, 1);
    if (kind == TDiskKind::Rotational)
        return std::min(cores, 2);
    return std::clamp(cores * kPerCore, kFewest, kMost);
}

namespace {

// The count the variable gives, or 0.
int ToldWalkThreads() {
    int told = 0;
    return ReadCount(qEnvironmentVariable(kWalkThreadsVariable).toStdString(), told) ? told : 0;
}

}  // namespace

int WalkThreadsFor(const std::string& nativeFolder) {
    // The disk is not looked at when the count is given.
    if (const int told = ToldWalkThreads())
        return told;
    return ChooseWalkThreads(QThread::idealThreadCount(), DiskKindOf(nativeFolder), {});
}

int WarmWalkThreads(int threads) {
    if (ToldWalkThreads() > 0)
        return threads;
    return std::min(threads, kWarmPerCore * std::max(QThread::idealThreadCount(), 1));
}
