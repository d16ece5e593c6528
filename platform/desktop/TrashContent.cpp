#include "platform/desktop/TrashContent.h"

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <set>
#include <utility>

#include "platform/NameText.h"
#include "platform/desktop/FileEventLog.h"

namespace cq::desktop {
namespace {

QString Shown(const std::string& path) {
    return VisibleName(path);
}

QString TrashSystemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

struct TrashDirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

// The names in a folder, "." and ".." left out; false with errno kept when
// it cannot be read.
bool Names(const std::string& folder, std::vector<std::string>& names) {
    std::unique_ptr<DIR, TrashDirCloser> dir(::opendir(folder.c_str()));
    if (!dir)
        return false;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    return true;
}

// Sums the non-folder entries below path (path itself included), never
// following a link; a file of several links once per walk.
class TByteWalk {
  public:
    std::int64_t Bytes = 0;
    int Error = 0;                              // the first error met
    const std::atomic<bool>* Cancel = nullptr;  // when set, the walk ends early

    void Walk(const std::string& path) {
        if (Cancel != nullptr && Cancel->load(std::memory_order_relaxed))
            return;
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0) {
            Error = Error ? Error : errno;
            return;
        }
        if (!S_ISDIR(st.st_mode)) {
            if (st.st_nlink <= 1 || seen_.insert({st.st_dev, st.st_ino}).second)
                Bytes += st.st_size;
            return;
        }
        std::vector<std::string> names;
        if (!Names(path, names)) {
            Error = Error ? Error : errno;
            return;
        }
        for (const std::string& name : names)
            Walk(path + "/" + name);
    }

  private:
    std::set<std::pair<dev_t, ino_t>> seen_;
};

bool ReadSmallFile(const std::string& path, std::string& text) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size < (1 << 16);
    char buffer[4096];
    ssize_t n;
    while (ok && (n = ::read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    return ok;
}

QString FolderProblem(const std::string& folder, int error) {
    return QStringLiteral("The Trash folder \"%1\" cannot be read: %2")
        .arg(Shown(folder), TrashSystemError(error));
}

const std::string kInfoEnd = ".trashinfo";

// The items of one trash folder, with their sizes, into the listing.
void ListFolder(const TTrashFolder& trash, TTrashListing& listing) {
    std::vector<std::string> infos, files;
    if (!Names(trash.Path + "/info", infos))
        listing.Problems.push_back(FolderProblem(trash.Path + "/info", errno));
    if (!Names(trash.Path + "/files", files) && errno != ENOENT)
        listing.Problems.push_back(FolderProblem(trash.Path + "/files", errno));
    std::set<std::string> unclaimed(files.begin(), files.end());
    for (const std::string& info : infos) {
        if (info.size() <= kInfoEnd.size() ||
            info.compare(info.size() - kInfoEnd.size(), kInfoEnd.size(), kInfoEnd) != 0)
            continue;
        TTrashItem item;
        item.Trash = trash;
        item.Name = info.substr(0, info.size() - kInfoEnd.size());
        std::string text;
        const bool read = ReadSmallFile(item.InfoPath(), text);
        const auto parsed = read ? ParseTrashInfo(text) : std::nullopt;
        if (!parsed)
            listing.Problems.push_back(QStringLiteral("The Trash entry \"%1\" cannot be read.")
                                           .arg(Shown(item.InfoPath())));
        else {
            item.OriginalPath = OriginalPathOf(trash, parsed->Path);
            item.DeletionDate = parsed->DeletionDate;
        }
        item.Present = unclaimed.erase(item.Name) > 0;
        listing.Items.push_back(std::move(item));
    }
    for (const std::string& name : unclaimed) {
        TTrashItem item;
        item.Trash = trash;
        item.Name = name;
        listing.Items.push_back(std::move(item));
    }
}

void Measure(TTrashItem& item) {
    struct stat st;
    item.Folder =
        item.Present && ::lstat(item.FilesPath().c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    TByteWalk walk;
    if (item.Present)
        walk.Walk(item.FilesPath());
    if (::lstat(item.InfoPath().c_str(), &st) == 0 && S_ISREG(st.st_mode))
        walk.Bytes += st.st_size;
    item.Bytes = walk.Bytes;
}

int RemoveEntry(const char* path, const struct stat*, int type, struct FTW*) {
    const int done = type == FTW_DP ? ::rmdir(path) : ::unlink(path);
    // Goes on past a failure, so that as much as can be removed is.
    if (done != 0)
        errno = 0;
    return 0;
}

}  // namespace

TTrashListing ListTrash(const std::vector<TTrashFolder>& folders) {
    TTrashListing listing;
    for (const TTrashFolder& trash : folders)
        ListFolder(trash, listing);
    for (TTrashItem& item : listing.Items)
        Measure(item);
    listing.Bytes = TrashBytes(folders);
    return listing;
}

std::int64_t TrashBytes(const std::vector<TTrashFolder>& folders, std::vector<QString>* problems,
                        const std::atomic<bool>* cancel) {
    TByteWalk walk;
    walk.Cancel = cancel;
    for (const TTrashFolder& trash : folders)
        for (const char* part : {"/files", "/info"}) {
            walk.Error = 0;
            struct stat st;
            // A trash whose part is no folder is damaged: told, not counted.
            if (::lstat((trash.Path + part).c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
                walk.Error = ENOTDIR;
            else
                walk.Walk(trash.Path + part);
            if (walk.Error && walk.Error != ENOENT && problems)
                problems->push_back(FolderProblem(trash.Path + part, walk.Error));
        }
    return walk.Bytes;
}

TActionResult RestoreTrashItem(const TTrashItem& item, TFileEventLog* log) {
    const QString name = Shown(item.Name);
    const std::string& target = item.OriginalPath;
    if (target.empty())
        return TActionResult::Failed(
            QStringLiteral("\"%1\" cannot be restored: its original place is not known.")
                .arg(name));
    struct stat st;
    if (!item.Present || ::lstat(item.FilesPath().c_str(), &st) != 0)
        return TActionResult::Failed(QStringLiteral("\"%1\" is no longer in the Trash.").arg(name));
    const std::size_t slash = target.find_last_of('/');
    const std::string parent = slash == 0 ? "/" : target.substr(0, slash);
    if (::lstat(target.c_str(), &st) == 0)
        return TActionResult::Failed(
            QStringLiteral("\"%1\" cannot be restored: \"%2\" already exists. Nothing was changed.")
                .arg(name, Shown(target)));
    if (::stat(parent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return TActionResult::Failed(
            QStringLiteral("\"%1\" cannot be restored: its folder \"%2\" no longer exists.")
                .arg(name, Shown(parent)));
    int error = 0;
    if (::renameat2(AT_FDCWD, item.FilesPath().c_str(), AT_FDCWD, target.c_str(),
                    RENAME_NOREPLACE) != 0)
        error = errno;
    if (error != 0)
        return TActionResult::Failed(
            error == EXDEV ? QStringLiteral("\"%1\" cannot be restored: \"%2\" lies on another "
                                            "drive than the Trash that holds it.")
                                 .arg(name, Shown(parent))
                           : QStringLiteral("\"%1\" could not be restored to \"%2\": %3")
                                 .arg(name, Shown(target), TrashSystemError(error)));
    if (log)
        log->Moved(item.FilesPath(), target);
    if (::unlink(item.InfoPath().c_str()) == 0 && log)
        log->Deleted(item.InfoPath(), false);
    return TActionResult::Done();
}

TActionResult DeleteTrashItem(const TTrashItem& item, TFileEventLog* log) {
    struct stat st;
    const std::string files = item.FilesPath();
    if (item.Present && ::lstat(files.c_str(), &st) == 0) {
        const bool folder = S_ISDIR(st.st_mode);
        if (folder)
            ::nftw(files.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
        else
            ::unlink(files.c_str());
        const bool left = ::lstat(files.c_str(), &st) == 0;
        if (log) {
            log->Deleted(files, folder);
            if (left)
                log->Appeared(files);
        }
        if (left)
            return TActionResult::Failed(
                QStringLiteral("\"%1\" could not be deleted completely; what is left stays in the "
                               "Trash.")
                    .arg(Shown(item.Name)));
    }
    if (::unlink(item.InfoPath().c_str()) == 0) {
        if (log)
            log->Deleted(item.InfoPath(), false);
    } else if (errno != ENOENT) {
        return TActionResult::Failed(QStringLiteral("\"%1\" could not be deleted: %2")
                                         .arg(Shown(item.InfoPath()), TrashSystemError(errno)));
    }
    return TActionResult::Done();
}

}  // namespace cq::desktop
