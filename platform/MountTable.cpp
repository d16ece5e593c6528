#include "platform/MountTable.h"

#include <fcntl.h>
#include <libmount.h>
#include <linux/btrfs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

// Types that never hold a fixed drive, whatever device they are on: images
// that are read-only by nature (snaps, ISO files, live media), optical
// discs, RAM, unions of other file systems, FUSE and network file systems
// that libmount may not know by name.
bool NeverFixedType(const std::string& type) {
    static const std::set<std::string> kNever = {
        "squashfs",  "erofs", "cramfs",  "romfs",    "iso9660", "udf",    "tmpfs",
        "ramfs",     "zram",  "overlay", "aufs",     "unionfs", "nfs",    "nfs4",
        "cifs",      "smb3",  "smbfs",   "ncpfs",    "9p",      "afs",    "ceph",
        "glusterfs", "davfs", "autofs",  "virtiofs", "vboxsf",  "fuseblk"};
    return kNever.count(type) > 0 || type.compare(0, 5, "fuse.") == 0 || type == "fuse";
}

std::string ReadSmallFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ParentOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string DeviceText(std::uint64_t dev) {
    return std::to_string(major(dev)) + ":" + std::to_string(minor(dev));
}

struct TableDeleter {
    void operator()(libmnt_table* t) const { mnt_unref_table(t); }
};
struct IterDeleter {
    void operator()(libmnt_iter* i) const { mnt_free_iter(i); }
};
struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

std::string Text(const char* s) {
    return s ? std::string(s) : std::string();
}

std::vector<TMount> ReadTable(libmnt_table* table) {
    std::vector<TMount> mounts;
    std::unique_ptr<libmnt_iter, IterDeleter> iter(mnt_new_iter(MNT_ITER_FORWARD));
    libmnt_fs* fs = nullptr;
    while (iter && mnt_table_next_fs(table, iter.get(), &fs) == 0) {
        TMount m;
        m.Id = mnt_fs_get_id(fs);
        m.ParentId = mnt_fs_get_parent_id(fs);
        m.Target = Text(mnt_fs_get_target(fs));
        if (m.Target.size() > 1 && m.Target.back() == '/')
            m.Target.pop_back();
        m.Root = Text(mnt_fs_get_root(fs));
        m.Type = Text(mnt_fs_get_fstype(fs));
        m.Source = Text(mnt_fs_get_source(fs));
        m.Device = mnt_fs_get_devno(fs);
        m.Pseudo = mnt_fs_is_pseudofs(fs);
        m.Network = mnt_fs_is_netfs(fs);
        if (!m.Target.empty())
            mounts.push_back(std::move(m));
    }
    return mounts;
}

// A folder of a file system: the dataset (ZFS only; its datasets all show
// "/" as their root) and the path inside it.
struct Covered {
    std::string Dataset;
    std::string Root;
    bool Overlaps(const Covered& o) const {
        return Dataset == o.Dataset && (PathUnder(Root, o.Root) || PathUnder(o.Root, Root));
    }
};

Covered CoveredBy(const TMount& m, const std::string& below) {
    std::string root = m.Root.empty() ? "/" : m.Root;
    if (!below.empty())
        root = (root == "/" ? "" : root) + below;
    return {m.Type == "zfs" ? m.Source : std::string(), root};
}

bool SameCovered(const Covered& a, const Covered& b) {
    return a.Dataset == b.Dataset && a.Root == b.Root;
}

// A mount that shows the very folder it hides (`mount --bind /x /x`, as
// container and sandbox tools do): the walk cannot reach that folder through
// the mount it lies in, so the mount is its only view.
bool ShowsWhatItHides(const TMount& m, const TMount& through) {
    if (m.FileSystem != through.FileSystem || m.Type != through.Type)
        return false;
    const std::string below =
        through.Target == "/" ? m.Target : m.Target.substr(through.Target.size());
    return SameCovered(CoveredBy(m, ""), CoveredBy(through, below));
}

}  // namespace

bool PathUnder(const std::string& path, const std::string& prefix) {
    if (prefix == "/")
        return !path.empty() && path[0] == '/';
    return path.compare(0, prefix.size(), prefix) == 0 &&
           (path.size() == prefix.size() || path[prefix.size()] == '/');
}

bool ReadOnlySubvolume(int dirFd) {
    std::uint64_t flags = 0;
    return ioctl(dirFd, BTRFS_IOC_SUBVOL_GETFLAGS, &flags) == 0 && (flags & BTRFS_SUBVOL_RDONLY);
}

TMountTable::SourceProbe TMountTable::SystemSourceProbe() {
    return [](const std::string& source) {
        TSourceDevice d;
        struct stat st;
        if (source.empty() || source[0] != '/' || stat(source.c_str(), &st) != 0 ||
            !S_ISBLK(st.st_mode))
            return d;
        d.Block = true;
        d.Device = st.st_rdev;
        const std::string base = "/sys/dev/block/" + DeviceText(st.st_rdev);
        // A partition carries no flag of its own: its disk's counts.
        std::string removable = ReadSmallFile(base + "/removable");
        if (removable.empty())
            removable = ReadSmallFile(base + "/../removable");
        d.Removable = !removable.empty() && removable[0] == '1';
        const bool loop = major(st.st_rdev) == 7 || !ReadSmallFile(base + "/loop/offset").empty();
        d.ReadOnlyImage = loop && ReadSmallFile(base + "/ro").compare(0, 1, "1") == 0;
        char link[512];
        const ssize_t n = readlink(base.c_str(), link, sizeof link - 1);
        const std::string name = n > 0 ? BaseName(std::string(link, static_cast<size_t>(n))) : "";
        d.Ram = major(st.st_rdev) == 1 || name.compare(0, 4, "zram") == 0;
        return d;
    };
}

TMountTable::SnapshotProbe TMountTable::SystemSnapshotProbe() {
    return [](const TMount& m) {
        const int fd = ::open(m.Target.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            return false;
        const bool ro = ReadOnlySubvolume(fd);
        ::close(fd);
        return ro;
    };
}

TMountTable TMountTable::FromSystem() {
    TMountTable t;
    std::unique_ptr<libmnt_table, TableDeleter> table(mnt_new_table());
    if (table && mnt_table_parse_file(table.get(), "/proc/self/mountinfo") == 0)
        t.mounts_ = ReadTable(table.get());
    t.snapshot_ = SystemSnapshotProbe();
    t.Classify(SystemSourceProbe());
    return t;
}

TMountTable TMountTable::FromMountInfo(const std::string& mountInfo, const SourceProbe& source,
                                       const SnapshotProbe& snapshot) {
    TMountTable t;
    std::string text = mountInfo;
    std::unique_ptr<libmnt_table, TableDeleter> table(mnt_new_table());
    std::unique_ptr<FILE, FileCloser> in(fmemopen(text.data(), text.size(), "r"));
    if (table && in && mnt_table_parse_stream(table.get(), in.get(), "mountinfo") == 0)
        t.mounts_ = ReadTable(table.get());
    t.snapshot_ = snapshot;
    t.Classify(source);
    return t;
}

void TMountTable::Classify(const SourceProbe& source) {
    // A later mount on the same point hides the earlier ones.
    for (size_t i = 0; i < mounts_.size(); ++i)
        for (size_t j = i + 1; j < mounts_.size() && mounts_[i].Visible; ++j)
            mounts_[i].Visible = mounts_[j].Target != mounts_[i].Target;
    for (TMount& m : mounts_) {
        const TSourceDevice dev = source ? source(m.Source) : TSourceDevice();
        if (m.Type == "zfs")
            m.FileSystem = "zfs:" + m.Source.substr(0, m.Source.find('/'));
        else if (dev.Block)
            m.FileSystem = m.Type + ":" + DeviceText(dev.Device);
        else
            m.FileSystem = m.Type + ":anon:" + DeviceText(m.Device);
        const bool local =
            m.Type == "zfs" || (dev.Block && !dev.Removable && !dev.ReadOnlyImage && !dev.Ram);
        m.Fixed = local && !m.Pseudo && !m.Network && !NeverFixedType(m.Type);
    }
    std::stable_sort(mounts_.begin(), mounts_.end(),
                     [](const TMount& a, const TMount& b) { return a.Target < b.Target; });
}

const TMount* TMountTable::ById(int id) const {
    for (const TMount& m : mounts_)
        if (m.Id == id)
            return &m;
    return nullptr;
}

const TMount* TMountTable::MountOf(const std::string& nativePath) const {
    const TMount* best = nullptr;
    for (const TMount& m : mounts_)
        if (m.Visible && PathUnder(nativePath, m.Target) &&
            (!best || m.Target.size() > best->Target.size()))
            best = &m;
    return best;
}

bool TMountTable::IsSnapshot(const TMount& m) const {
    if (BaseName(m.Target) == ".snapshots" || BaseName(m.Root) == ".snapshots")
        return true;
    return m.Type == "btrfs" && snapshot_ && snapshot_(m);
}

bool TMountTable::OnKernelFileSystem(const std::string& nativePath) const {
    static const std::set<std::string> kKernel = {
        "proc",      "sysfs",      "devtmpfs",    "devpts",    "cgroup", "cgroup2",    "debugfs",
        "tracefs",   "securityfs", "configfs",    "bpf",       "pstore", "efivarfs",   "mqueue",
        "hugetlbfs", "fusectl",    "binfmt_misc", "selinuxfs", "nsfs",   "rpc_pipefs", "autofs"};
    const TMount* m = MountOf(nativePath);
    return m && kKernel.count(m->Type) > 0;
}

std::set<int> TMountTable::EnteredBelow(const std::string& nativeRoot) const {
    const TMount* base = MountOf(nativeRoot);
    if (!base)
        return {};
    const std::string below =
        base->Target == "/" ? nativeRoot : nativeRoot.substr(base->Target.size());
    std::vector<Covered> covered{CoveredBy(*base, below == "/" ? "" : below)};
    std::set<int> entered{base->Id};
    // Target order puts every mount after the mounts it lies in, so the
    // mount a folder is reached through is decided first.
    for (const TMount& m : mounts_) {
        if (!m.Visible || m.Id == base->Id || m.Target == nativeRoot ||
            !PathUnder(m.Target, nativeRoot))
            continue;
        const TMount* through = MountOf(ParentOf(m.Target));
        if (!through || !entered.count(through->Id) || m.FileSystem != base->FileSystem ||
            IsSnapshot(m))
            continue;
        if (ShowsWhatItHides(m, *through)) {
            entered.insert(m.Id);  // covered already, through the mount it lies in
            continue;
        }
        const Covered c = CoveredBy(m, "");
        if (std::any_of(covered.begin(), covered.end(),
                        [&](const Covered& o) { return o.Overlaps(c); }))
            continue;  // a folder the walk reaches anyway: each byte once
        entered.insert(m.Id);
        covered.push_back(c);
    }
    entered.erase(base->Id);
    return entered;
}
