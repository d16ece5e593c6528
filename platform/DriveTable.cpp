#include "platform/DriveTable.h"

#include <algorithm>
#include <mutex>
#include <set>

#include "platform/DriveLetter.h"
#include "platform/MountTable.h"

namespace {

std::mutex g_tableMutex;
std::shared_ptr<const TDriveTable> g_table;
bool g_fromSystem = false;  // g_table was read from the system, not set by a test

}  // namespace

TDriveTable::TDriveTable(std::vector<TDrive> drives, std::vector<std::string> otherMounts)
    : drives_(std::move(drives)), otherMounts_(std::move(otherMounts)) {
    for (auto& d : drives_)
        d.Letter = UpperDriveLetter(d.Letter);
    std::sort(drives_.begin(), drives_.end(),
              [](const TDrive& a, const TDrive& b) { return a.Letter < b.Letter; });
}

TDriveTable TDriveTable::FromMounts(const TMountTable& mounts) {
    std::vector<TDrive> drives{{'C', "/"}};
    std::set<std::string> used;
    if (const TMount* root = mounts.MountOf("/"))
        used.insert(root->FileSystem);
    char next = 'D';
    for (const TMount& m : mounts.Mounts()) {
        if (!m.Visible || m.Target == "/" || !m.Fixed || next > 'Z' || used.count(m.FileSystem))
            continue;
        drives.push_back({next++, m.Target});
        used.insert(m.FileSystem);
    }
    std::set<int> covered;
    for (const TDrive& d : drives) {
        covered.insert(mounts.MountOf(d.MountPoint) ? mounts.MountOf(d.MountPoint)->Id : 0);
        const std::set<int> entered = mounts.EnteredBelow(d.MountPoint);
        covered.insert(entered.begin(), entered.end());
    }
    std::vector<std::string> others;
    for (const TMount& m : mounts.Mounts())
        if (m.Visible && !covered.count(m.Id) && m.Target != "/")
            others.push_back(m.Target);
    return TDriveTable(std::move(drives), std::move(others));
}

TDriveTable TDriveTable::FromSystem() {
    return FromMounts(TMountTable::FromSystem());
}

const TDrive* TDriveTable::Find(char letter) const {
    letter = UpperDriveLetter(letter);
    for (const TDrive& d : drives_)
        if (d.Letter == letter)
            return &d;
    return nullptr;
}

const TDrive* TDriveTable::DriveOf(const std::string& nativePath) const {
    const TDrive* best = nullptr;
    size_t bestLen = 0;
    for (const TDrive& d : drives_)
        if (PathUnder(nativePath, d.MountPoint) && (!best || d.MountPoint.size() > bestLen)) {
            best = &d;
            bestLen = d.MountPoint.size();
        }
    if (!best)
        return nullptr;
    for (const std::string& m : otherMounts_)
        if (m.size() > bestLen && PathUnder(nativePath, m))
            return nullptr;
    return best;
}

std::string TDriveTable::DisplayName(char letter) const {
    const TDrive* d = Find(letter);
    if (!d)
        return {};
    return d->MountPoint + " (" + d->Letter + ":)";
}

std::shared_ptr<const TDriveTable> TDriveTable::Current() {
    std::lock_guard<std::mutex> lock(g_tableMutex);
    if (!g_table) {
        g_table = std::make_shared<const TDriveTable>(FromSystem());
        g_fromSystem = true;
    }
    return g_table;
}

void TDriveTable::SetCurrent(std::shared_ptr<const TDriveTable> table) {
    std::lock_guard<std::mutex> lock(g_tableMutex);
    g_table = std::move(table);
    g_fromSystem = false;
}

void TDriveTable::Refresh() {
    {
        std::lock_guard<std::mutex> lock(g_tableMutex);
        if (g_table && !g_fromSystem)
            return;
    }
    auto fresh = std::make_shared<const TDriveTable>(FromSystem());
    std::lock_guard<std::mutex> lock(g_tableMutex);
    if (g_table && !g_fromSystem)
        return;
    g_table = std::move(fresh);
    g_fromSystem = true;
}

bool FixedDrive(const std::string& drive) {
    if (drive.size() < 2 || drive[1] != ':' ||
        (drive.size() > 2 && drive != std::string(1, drive[0]) + ":\\"))
        return false;
    return TDriveTable::Current()->Find(drive[0]) != nullptr;
}

TScopedDriveTable::TScopedDriveTable(TDriveTable table) {
    std::lock_guard<std::mutex> lock(g_tableMutex);
    previous_ = g_table;
    previousFromSystem_ = g_fromSystem;
    g_table = std::make_shared<const TDriveTable>(std::move(table));
    g_fromSystem = false;
}

TScopedDriveTable::~TScopedDriveTable() {
    std::lock_guard<std::mutex> lock(g_tableMutex);
    g_table = previous_;
    g_fromSystem = previousFromSystem_;
}
