#include "platform/desktop/ItemActions.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#include "platform/NameText.h"
#include "platform/desktop/FileEventLog.h"
#include "platform/desktop/TrashFolders.h"

namespace cq::desktop {
namespace {

const char kCopiedFilesType[] = "x-special/gnome-copied-files";

std::string BaseOf(const std::string& nativePath);

// Paths and names in messages: readable, never broken by a control byte.
QString Display(const std::string& nativePath) {
    return VisibleName(nativePath);
}

// A path as text to paste elsewhere: the name itself, control bytes kept.
QString PathText(const std::string& nativePath) {
    return QFile::decodeName(QByteArray::fromStdString(nativePath));
}

QString DisplayName(const std::string& nativePath) {
    return VisibleName(BaseOf(nativePath));
}

std::string Bytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

std::string ParentOf(const std::string& nativePath) {
    const auto slash = nativePath.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : nativePath.substr(0, slash);
}

std::string BaseOf(const std::string& nativePath) {
    const auto slash = nativePath.find_last_of('/');
    return slash == std::string::npos ? nativePath : nativePath.substr(slash + 1);
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

bool EntryExists(const std::string& nativePath) {
    struct stat st;
    return ::lstat(nativePath.c_str(), &st) == 0;
}

QString SystemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// rename(2) that never replaces: file systems without RENAME_NOREPLACE fall
// back to a check just before the rename.
int RenameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (EntryExists(to))
        return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

QString ExistsMessage(const std::string& name, const std::string& folder) {
    return QStringLiteral("An item named \"%1\" already exists in \"%2\".")
        .arg(VisibleName(name), Display(folder));
}

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

// Copies a regular file's bytes to a new file of the same mode. The source
// is opened without waiting (a fifo swapped in after the check would
// otherwise block until a writer comes) and refused unless it is a regular
// file.
int CopyFileBytes(const std::string& from, const std::string& to, mode_t mode,
                  TCopyProgress* progress) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (in < 0)
        return errno;
    struct stat st;
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        return EINVAL;
    }
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode & 07777);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        return error;
    }
    int error = 0;
    std::unique_ptr<char[]> buffer(new char[1 << 16]);
    for (;;) {
        if (progress && progress->cancel.load()) {
            error = ECANCELED;
            break;
        }
        const ssize_t n = ::read(in, buffer.get(), 1 << 16);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : 0;
            break;
        }
        for (ssize_t done = 0; done < n && error == 0;) {
            const ssize_t w = ::write(out, buffer.get() + done, n - done);
            if (w < 0 && errno != EINTR)
                error = errno;
            done += w > 0 ? w : 0;
        }
        if (error != 0)
            break;
        if (progress)
            progress->bytes += n;
    }
    ::close(in);
    if (::close(out) != 0 && error == 0)
        error = errno;
    return error;
}

// Fifos, sockets and devices are not files: reading a fifo waits for a
// writer that may never come, a device may be endless. They are never opened.
bool SpecialEntry(mode_t mode) {
    return !S_ISREG(mode) && !S_ISDIR(mode) && !S_ISLNK(mode);
}

QString SpecialMessage(const std::string& path) {
    return QStringLiteral(
               "\"%1\" is a named pipe, socket or device, not a file or folder, and cannot be "
               "copied.")
        .arg(Display(path));
}

// Copies one entry (file, link or folder with everything below it) to a
// path that does not exist yet. Links are copied as links, never followed;
// devices, fifos and sockets are not copied.
bool CopyEntry(const std::string& from, const std::string& to, QString& why,
               TCopyProgress* progress) {
    struct stat st;
    int error = ::lstat(from.c_str(), &st) == 0 ? 0 : errno;
    if (error == 0 && S_ISLNK(st.st_mode)) {
        std::string target(static_cast<size_t>(st.st_size) + 1, '\0');
        const ssize_t length = ::readlink(from.c_str(), target.data(), target.size());
        if (length < 0 || ::symlink(target.substr(0, length).c_str(), to.c_str()) != 0)
            error = errno;
    } else if (error == 0 && S_ISDIR(st.st_mode)) {
        if (::mkdir(to.c_str(), 0700) != 0) {
            error = errno;
        } else {
            std::unique_ptr<DIR, DirCloser> dir(::opendir(from.c_str()));
            if (!dir)
                error = errno;
            while (dir) {
                errno = 0;
                const dirent* e = ::readdir(dir.get());
                if (!e) {
                    error = errno;
                    break;
                }
                const std::string name = e->d_name;
                if (name == "." || name == "..")
                    continue;
                if (!CopyEntry(Join(from, name), Join(to, name), why, progress))
                    return false;
            }
            ::chmod(to.c_str(), st.st_mode & 07777);
        }
    } else if (error == 0 && S_ISREG(st.st_mode)) {
        error = CopyFileBytes(from, to, st.st_mode, progress);
        if (error == EINVAL) {
            why = SpecialMessage(from);
            return false;
        }
    } else if (error == 0) {
        why = SpecialMessage(from);
        return false;
    }
    if (error == ECANCELED) {
        why = QStringLiteral("The copy was cancelled; nothing was pasted.");
        return false;
    }
    if (error != 0) {
        why =
            QStringLiteral("\"%1\" could not be copied: %2").arg(Display(from), SystemError(error));
        return false;
    }
    return true;
}

// A name for a copy in progress that no item of the folder has.
std::string PartialName(const std::string& folder, const std::string& name) {
    for (int n = 0;; ++n) {
        const std::string candidate =
            Join(folder, "." + name + ".partial-copy-" + std::to_string(::getpid()) + "-" +
                             std::to_string(n));
        if (!EntryExists(candidate))
            return candidate;
    }
}

TActionResult CopyInto(const std::string& source, const std::string& folder,
                       TCopyProgress* progress, TFileEventLog* log) {
    const std::string name = BaseOf(source);
    const std::string partial = PartialName(folder, name);
    QString why;
    bool ok = CopyEntry(source, partial, why, progress);
    if (log && EntryExists(partial))
        log->Appeared(partial);
    if (ok) {
        const int error = RenameNoReplace(partial, Join(folder, name));
        if (error != 0) {
            why = error == EEXIST ? ExistsMessage(name, folder) : SystemError(error);
            ok = false;
        } else if (log) {
            log->Moved(partial, Join(folder, name));
        }
    }
    if (!ok && EntryExists(partial))
        MoveItemToTrash(partial, nullptr, log);
    return ok ? TActionResult::Done() : TActionResult::Failed(why);
}

bool SameDevice(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    return ::lstat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev;
}

std::string RealPath(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : std::string();
}

// True when folder is item itself or lies below it.
bool InsideItem(const std::string& item, const std::string& folder) {
    const std::string itemPath = RealPath(item);
    const std::string folderPath = RealPath(folder);
    return !itemPath.empty() && !folderPath.empty() &&
           (folderPath == itemPath ||
            folderPath.compare(0, itemPath.size() + 1, itemPath + "/") == 0 || itemPath == "/");
}

QString PasteRefusal(const TClipboardItems& items, const std::string& folder) {
    for (const std::string& source : items.paths) {
        const QString path = Display(source);
        struct stat st;
        if (::lstat(source.c_str(), &st) != 0)
            return QStringLiteral("\"%1\" no longer exists.").arg(path);
        // Moving one within its drive is a rename and never opens it.
        if (!items.cut && SpecialEntry(st.st_mode))
            return SpecialMessage(source);
        if (EntryExists(Join(folder, BaseOf(source))))
            return ExistsMessage(BaseOf(source), folder);
        if (InsideItem(source, folder))
            return QStringLiteral("The folder \"%1\" cannot be pasted into itself.").arg(path);
        if (items.cut && !SameDevice(source, folder))
            return QStringLiteral(
                       "\"%1\" lies on another drive. Moving it there would delete the original; "
                       "copy it instead.")
                .arg(path);
    }
    return QString();
}

// Moves every item or none: a failure part-way moves the earlier ones back.
TActionResult MoveAll(const TClipboardItems& items, const std::string& folder, TFileEventLog* log) {
    std::vector<std::pair<std::string, std::string>> moved;
    for (const std::string& source : items.paths) {
        const std::string target = Join(folder, BaseOf(source));
        const int error = RenameNoReplace(source, target);
        if (error != 0) {
            for (auto it = moved.rbegin(); it != moved.rend(); ++it)
                if (RenameNoReplace(it->second, it->first) == 0 && log)
                    log->Moved(it->second, it->first);
            return TActionResult::Failed(QStringLiteral("\"%1\" could not be moved: %2")
                                             .arg(Display(source), SystemError(error)));
        }
        if (log)
            log->Moved(source, target);
        moved.emplace_back(source, target);
    }
    return TActionResult::Done();
}

// The highest folder above Path on the same device: the top of its mount
// (or of its btrfs subvolume, which a rename cannot leave either).
std::string TopOfDevice(std::string path, dev_t device) {
    while (path != "/") {
        const std::string up = ParentOf(path);
        struct stat st;
        if (::stat(up.c_str(), &st) != 0 || st.st_dev != device)
            break;
        path = up;
    }
    return path;
}

// The trash folder for an item: the data home's when the item is on its
// file system (rename works), else the user's trash at the top of the
// item's mount (TopTrashPath). Made on first use, private to the user.
TTrashFolder TrashFolderFor(const std::string& path, int& error, TFileEventLog* log) {
    const std::string home = HomeTrashPath();
    const std::string dataHome = home.empty() ? home : ParentOf(home);
    struct stat item, data;
    if (::lstat(path.c_str(), &item) != 0) {
        error = errno;
        return {};
    }
    TTrashFolder trash;
    if (!dataHome.empty() && ::stat(dataHome.c_str(), &data) == 0 && data.st_dev == item.st_dev) {
        trash.Path = home;
    } else {
        trash.Top = TopOfDevice(ParentOf(path), item.st_dev);
        trash.Path = TopTrashPath(trash.Top);
    }
    for (const std::string& folder : {trash.Path, trash.Path + "/files", trash.Path + "/info"})
        if (::mkdir(folder.c_str(), 0700) == 0 && log)
            log->FolderMade(folder);
    return trash;
}

// Moves an absolute path into the trash: first claims a name by creating
// its info file exclusively, then renames the item into files/. The
// item is either in the trash with its info, or where it was.
int TrashEntry(const std::string& path, std::string& where, TFileEventLog* log) {
    int error = 0;
    const TTrashFolder folder = TrashFolderFor(path, error, log);
    const std::string& trash = folder.Path;
    if (trash.empty())
        return error ? error : ENOENT;
    const std::string base = BaseOf(path);
    for (int n = 1; n < 10000; ++n) {
        const std::string name = n == 1 ? base : base + "." + std::to_string(n);
        const std::string info = trash + "/info/" + name + ".trashinfo";
        const std::string files = trash + "/files/" + name;
        const int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return errno;
        }
        const std::string text = TrashInfoText(InfoPathFor(folder, path), std::time(nullptr));
        const bool written = ::write(fd, text.data(), text.size()) == ssize_t(text.size());
        ::close(fd);
        error = written ? RenameNoReplace(path, files) : EIO;
        if (error == EEXIST) {
            ::unlink(info.c_str());
            continue;
        }
        if (error != 0) {
            ::unlink(info.c_str());
            return error;
        }
        where = files;
        if (log) {
            log->Appeared(info);
            log->Moved(path, files);
        }
        return 0;
    }
    return EEXIST;
}

}  // namespace

TActionResult MoveItemToTrash(const std::string& nativePath, std::string* trashedAs,
                              TFileEventLog* log) {
    if (!EntryExists(nativePath))
        return TActionResult::Failed(
            QStringLiteral("\"%1\" no longer exists.").arg(Display(nativePath)));
    const std::string absolute = nativePath.compare(0, 1, "/") == 0
                                     ? nativePath
                                     : Join(RealPath(ParentOf(nativePath)), BaseOf(nativePath));
    std::string where;
    const int error = TrashEntry(absolute, where, log);
    if (error != 0)
        return TActionResult::Failed(
            QStringLiteral("\"%1\" could not be moved to the trash (%2). It has not been changed.")
                .arg(DisplayName(nativePath), SystemError(error)));
    if (trashedAs)
        *trashedAs = where;
    return TActionResult::Done();
}

std::optional<std::string> PathOfFileUri(const QByteArray& uri) {
    QByteArray rest = uri.trimmed();
    if (!rest.startsWith("file://"))
        return std::nullopt;
    rest = rest.mid(7);
    if (rest.startsWith("localhost/"))
        rest = rest.mid(9);
    if (!rest.startsWith('/'))
        return std::nullopt;
    const std::string path = QByteArray::fromPercentEncoding(rest).toStdString();
    if (path.find('\0') != std::string::npos)
        return std::nullopt;
    return path;
}

QString RenameRefusal(const std::string& nativePath, const QString& newName) {
    if (newName.isEmpty())
        return QStringLiteral("A name cannot be empty.");
    if (newName.contains(QLatin1Char('/')))
        return QStringLiteral("A name cannot contain \"/\".");
    if (newName.contains(QChar(0)))
        return QStringLiteral("A name cannot contain a NUL character.");
    const std::string name = Bytes(newName);
    const std::string folder = ParentOf(nativePath);
    if (EntryExists(Join(folder, name)))
        return ExistsMessage(name, folder);
    return QString();
}

TActionResult RenameItem(const std::string& nativePath, const QString& newName,
                         std::string* newPath, TFileEventLog* log) {
    const QString refusal = RenameRefusal(nativePath, newName);
    if (!refusal.isEmpty())
        return TActionResult::Failed(refusal);
    const std::string folder = ParentOf(nativePath);
    const std::string target = Join(folder, Bytes(newName));
    const int error = RenameNoReplace(nativePath, target);
    if (error == EEXIST)
        return TActionResult::Failed(ExistsMessage(Bytes(newName), folder));
    if (error != 0)
        return TActionResult::Failed(QStringLiteral("\"%1\" could not be renamed: %2")
                                         .arg(DisplayName(nativePath), SystemError(error)));
    if (newPath)
        *newPath = target;
    if (log)
        log->Moved(nativePath, target);
    return TActionResult::Done();
}

QMimeData* ItemsMimeData(const TClipboardItems& items) {
    auto* data = new QMimeData;
    QByteArray uris;
    QByteArray copied = items.cut ? "cut" : "copy";
    QStringList texts;
    for (const std::string& path : items.paths) {
        const QByteArray uri = QByteArray::fromStdString("file://" + PercentEncodePath(path));
        uris += uri + "\r\n";
        copied += '\n' + uri;
        texts << PathText(path);
    }
    data->setData(QStringLiteral("text/uri-list"), uris);
    data->setData(QLatin1String(kCopiedFilesType), copied);
    data->setText(texts.join(QLatin1Char('\n')));
    return data;
}

QMimeData* PathMimeData(const std::string& nativePath) {
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/uri-list"),
                  QByteArray::fromStdString("file://" + PercentEncodePath(nativePath) + "\r\n"));
    data->setText(PathText(nativePath));
    return data;
}

TClipboardItems ItemsFromMimeData(const QMimeData* data) {
    TClipboardItems items;
    if (!data)
        return items;
    const QByteArray copied = data->data(QLatin1String(kCopiedFilesType));
    items.cut = copied.startsWith("cut\n");
    // The URI list as sent, not through QUrl: its bytes are the names.
    for (const QByteArray& line : data->data(QStringLiteral("text/uri-list")).split('\n')) {
        if (line.startsWith('#'))
            continue;
        if (const auto path = PathOfFileUri(line))
            items.paths.push_back(*path);
    }
    return items;
}

void PutItemsOnClipboard(const TClipboardItems& items) {
    QGuiApplication::clipboard()->setMimeData(ItemsMimeData(items));
}

void PutPathOnClipboard(const std::string& nativePath) {
    QGuiApplication::clipboard()->setMimeData(PathMimeData(nativePath));
}

TClipboardItems ClipboardItems() {
    return ItemsFromMimeData(QGuiApplication::clipboard()->mimeData());
}

TActionResult PasteItems(const TClipboardItems& items, const std::string& folderNativePath,
                         TCopyProgress* progress, TFileEventLog* log) {
    if (items.paths.empty())
        return TActionResult::Failed(QStringLiteral("The clipboard holds no files or folders."));
    const QString refusal = PasteRefusal(items, folderNativePath);
    if (!refusal.isEmpty())
        return TActionResult::Failed(refusal);
    if (items.cut)
        return MoveAll(items, folderNativePath, log);
    // Copies every item or none: the copies made before a failure go to the
    // trash again.
    std::vector<std::string> made;
    for (const std::string& path : items.paths) {
        const TActionResult result = CopyInto(path, folderNativePath, progress, log);
        if (!result.ok) {
            for (const std::string& copy : made)
                MoveItemToTrash(copy, nullptr, log);
            return result;
        }
        made.push_back(Join(folderNativePath, BaseOf(path)));
    }
    return TActionResult::Done();
}

}  // namespace cq::desktop
