#include "platform/DriveTable.h"

#include <algorithm>
#include <fstream>
#include <mutex>
#include <set>
#include <sstream>

namespace {

std::mutex g_tableMutex;
std::shared_ptr<const TDriveTable> g_table;

// Mount points in mountinfo escape blanks, tabs, newlines and backslashes
// as three octal digits.
std::string UnescapeMountField(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '3') {
            out +=
                static_cast<char>((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

// File systems that are never fixed drives even on a block device:
// optical media, RAM and network file systems.
bool ExcludedType(const std::string& type) {
    static const std::set<std::string> kExcluded = {
        "iso9660", "udf",   "tmpfs", "ramfs", "nfs",  "nfs4",      "cifs",  "smb3",
        "smbfs",   "ncpfs", "9p",    "afs",   "ceph", "glusterfs", "davfs", "fuse.sshfs"};
    return kExcluded.count(type) > 0;
}

bool UnderPrefix(const std::string& path, const std::string& mount) {
    if (mount == "/")
        return !path.empty() && path[0] == '/';
    return path.compare(0, mount.size(), mount) == 0 &&
           (path.size() == mount.size() || path[mount.size()] == '/');
}

std::string ReadSmallFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// A block device that exists and is not removable; a partition inherits
// the removable flag of its disk.
bool SysfsFixedDevice(unsigned major, unsigned minor) {
    const std::string base =
        "/sys/dev/block/" + std::to_string(major) + ":" + std::to_string(minor);
    std::string removable = ReadSmallFile(base + "/removable");
    if (removable.empty())
        removable = ReadSmallFile(base + "/../removable");
    if (removable.empty())
        return ReadSmallFile(base + "/dev").size() > 0;
    return removable[0] == '0';
}

}  // namespace

TDriveTable::TDriveTable(std::vector<TDrive> drives, std::vector<std::string> otherMounts)
    : drives_(std::move(drives)), otherMounts_(std::move(otherMounts)) {
    for (auto& d : drives_)
        if (d.Letter >= 'a' && d.Letter <= 'z')
            d.Letter = static_cast<char>(d.Letter - 'a' + 'A');
    std::sort(drives_.begin(), drives_.end(),
              [](const TDrive& a, const TDrive& b) { return a.Letter < b.Letter; });
}

TDriveTable TDriveTable::FromMountInfo(
    const std::string& mountInfo, const std::function<bool(unsigned, unsigned)>& isFixedDevice) {
    struct Mount {
        std::string point, type;
        unsigned major = 0, minor = 0;
    };
    std::vector<Mount> mounts;
    std::istringstream lines(mountInfo);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream f(line);
        std::string id, parent, majmin, root, point, field;
        if (!(f >> id >> parent >> majmin >> root >> point))
            continue;
        while (f >> field && field != "-") {
        }
        Mount m;
        f >> m.type;
        m.point = UnescapeMountField(point);
        if (std::sscanf(majmin.c_str(), "%u:%u", &m.major, &m.minor) != 2)
            continue;
        mounts.push_back(m);
    }
    // A later mount on the same point hides the earlier one.
    std::vector<Mount> visible;
    for (size_t i = 0; i < mounts.size(); ++i) {
        bool hidden = false;
        for (size_t j = i + 1; j < mounts.size(); ++j)
            hidden = hidden || mounts[j].point == mounts[i].point;
        if (!hidden)
            visible.push_back(mounts[i]);
    }
    std::sort(visible.begin(), visible.end(),
              [](const Mount& a, const Mount& b) { return a.point < b.point; });

    std::vector<TDrive> drives{{'C', "/"}};
    std::vector<std::string> others;
    std::set<std::pair<unsigned, unsigned>> used;
    for (const Mount& m : visible)
        if (m.point == "/")
            used.insert({m.major, m.minor});
    char next = 'D';
    for (const Mount& m : visible) {
        if (m.point == "/")
            continue;
        const bool fixed = next <= 'Z' && m.major != 0 && !ExcludedType(m.type) &&
                           !used.count({m.major, m.minor}) && isFixedDevice(m.major, m.minor);
        if (fixed) {
            drives.push_back({next++, m.point});
            used.insert({m.major, m.minor});
        } else {
            others.push_back(m.point);
        }
    }
    return TDriveTable(std::move(drives), std::move(others));
}

TDriveTable TDriveTable::FromSystem() {
    return FromMountInfo(ReadSmallFile("/proc/self/mountinfo"), SysfsFixedDevice);
}

const TDrive* TDriveTable::Find(char letter) const {
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 'a' + 'A');
    for (const TDrive& d : drives_)
        if (d.Letter == letter)
            return &d;
    return nullptr;
}

const TDrive* TDriveTable::DriveOf(const std::string& nativePath) const {
    const TDrive* best = nullptr;
    size_t bestLen = 0;
    for (const TDrive& d : drives_)
        if (UnderPrefix(nativePath, d.MountPoint) && (!best || d.MountPoint.size() > bestLen)) {
            best = &d;
            bestLen = d.MountPoint.size();
        }
    if (!best)
        return nullptr;
    for (const std::string& m : otherMounts_)
        if (m.size() > bestLen && UnderPrefix(nativePath, m))
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
    if (!g_table)
        g_table = std::make_shared<const TDriveTable>(FromSystem());
    return g_table;
}

void TDriveTable::SetCurrent(std::shared_ptr<const TDriveTable> table) {
    std::lock_guard<std::mutex> lock(g_tableMutex);
    g_table = std::move(table);
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
    g_table = std::make_shared<const TDriveTable>(std::move(table));
}

TScopedDriveTable::~TScopedDriveTable() {
    TDriveTable::SetCurrent(previous_);
}
