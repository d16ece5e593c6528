#include "platform/desktop/ItemActions.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>
#include <cerrno>
#include <cstring>

namespace cq::desktop {
namespace {

const char kCopiedFilesType[] = "x-special/gnome-copied-files";

QString Display(const std::string& nativePath) {
    return QFile::decodeName(QByteArray::fromStdString(nativePath));
}

QString DisplayName(const std::string& nativePath) {
    return QFileInfo(Display(nativePath)).fileName();
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
        .arg(QFile::decodeName(QByteArray::fromStdString(name)), Display(folder));
}

// Copies one entry (file, link or folder with everything below it) to a
// path that does not exist yet. Links are copied as links, never followed.
bool CopyEntry(const QString& from, const QString& to, QString& why) {
    const QFileInfo info(from);
    if (info.isSymLink()) {
        char target[4096];
        const ssize_t length = ::readlink(Bytes(from).c_str(), target, sizeof target - 1);
        if (length < 0 || ::symlink(std::string(target, length).c_str(), Bytes(to).c_str()) != 0) {
            why = QStringLiteral("\"%1\" could not be copied: %2").arg(from, SystemError(errno));
            return false;
        }
        return true;
    }
    if (info.isDir()) {
        if (!QDir().mkdir(to)) {
            why = QStringLiteral("The folder \"%1\" could not be created.").arg(to);
            return false;
        }
        const QDir dir(from);
        const auto entries =
            dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QString& name : entries) {
            if (!CopyEntry(dir.filePath(name), QDir(to).filePath(name), why))
                return false;
        }
        QFile::setPermissions(to, info.permissions());
        return true;
    }
    QFile source(from);
    if (!source.copy(to)) {
        why = QStringLiteral("\"%1\" could not be copied: %2").arg(from, source.errorString());
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

TActionResult CopyInto(const std::string& source, const std::string& folder) {
    const std::string name = BaseOf(source);
    const std::string partial = PartialName(folder, name);
    QString why;
    bool ok = CopyEntry(Display(source), Display(partial), why);
    if (ok) {
        const int error = RenameNoReplace(partial, Join(folder, name));
        if (error != 0) {
            why = error == EEXIST ? ExistsMessage(name, folder) : SystemError(error);
            ok = false;
        }
    }
    if (!ok && EntryExists(partial))
        QFile::moveToTrash(Display(partial));
    return ok ? TActionResult::Done() : TActionResult::Failed(why);
}

bool SameDevice(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    return ::lstat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev;
}

// True when folder is item itself or lies below it.
bool InsideItem(const std::string& item, const std::string& folder) {
    const QString itemPath = QFileInfo(Display(item)).canonicalFilePath();
    const QString folderPath = QFileInfo(Display(folder)).canonicalFilePath();
    if (itemPath.isEmpty() || folderPath.isEmpty())
        return false;
    return folderPath == itemPath || folderPath.startsWith(itemPath + QLatin1Char('/'));
}

QString PasteRefusal(const TClipboardItems& items, const std::string& folder) {
    for (const QString& path : items.paths) {
        const std::string source = Bytes(path);
        if (!EntryExists(source))
            return QStringLiteral("\"%1\" no longer exists.").arg(path);
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
TActionResult MoveAll(const TClipboardItems& items, const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> moved;
    for (const QString& path : items.paths) {
        const std::string source = Bytes(path);
        const std::string target = Join(folder, BaseOf(source));
        const int error = RenameNoReplace(source, target);
        if (error != 0) {
            for (auto it = moved.rbegin(); it != moved.rend(); ++it)
                RenameNoReplace(it->second, it->first);
            return TActionResult::Failed(
                QStringLiteral("\"%1\" could not be moved: %2").arg(path, SystemError(error)));
        }
        moved.emplace_back(source, target);
    }
    return TActionResult::Done();
}

}  // namespace

TActionResult MoveItemToTrash(const std::string& nativePath, QString* trashedAs) {
    if (!EntryExists(nativePath))
        return TActionResult::Failed(
            QStringLiteral("\"%1\" no longer exists.").arg(Display(nativePath)));
    QString where;
    if (!QFile::moveToTrash(Display(nativePath), &where))
        return TActionResult::Failed(
            QStringLiteral("\"%1\" could not be moved to the trash. It has not been changed.")
                .arg(DisplayName(nativePath)));
    if (trashedAs)
        *trashedAs = where;
    return TActionResult::Done();
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
                         std::string* newPath) {
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
    return TActionResult::Done();
}

QMimeData* ItemsMimeData(const TClipboardItems& items) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    QByteArray copied = items.cut ? "cut" : "copy";
    for (const QString& path : items.paths) {
        const QUrl url = QUrl::fromLocalFile(path);
        urls << url;
        copied += '\n' + url.toEncoded();
    }
    data->setUrls(urls);
    data->setData(QLatin1String(kCopiedFilesType), copied);
    data->setText(items.paths.join(QLatin1Char('\n')));
    return data;
}

TClipboardItems ItemsFromMimeData(const QMimeData* data) {
    TClipboardItems items;
    if (!data)
        return items;
    const QByteArray copied = data->data(QLatin1String(kCopiedFilesType));
    items.cut = copied.startsWith("cut\n");
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            items.paths << url.toLocalFile();
    }
    return items;
}

void PutItemsOnClipboard(const TClipboardItems& items) {
    QGuiApplication::clipboard()->setMimeData(ItemsMimeData(items));
}

void PutTextOnClipboard(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

TClipboardItems ClipboardItems() {
    return ItemsFromMimeData(QGuiApplication::clipboard()->mimeData());
}

TActionResult PasteItems(const TClipboardItems& items, const std::string& folderNativePath) {
    if (items.paths.isEmpty())
        return TActionResult::Failed(QStringLiteral("The clipboard holds no files or folders."));
    const QString refusal = PasteRefusal(items, folderNativePath);
    if (!refusal.isEmpty())
        return TActionResult::Failed(refusal);
    if (items.cut) {
        const TActionResult result = MoveAll(items, folderNativePath);
        // The originals are gone from where the clipboard says they are.
        if (result.ok)
            QGuiApplication::clipboard()->clear();
        return result;
    }
    // Copies every item or none: the copies made before a failure go to the
    // trash again.
    QStringList made;
    for (const QString& path : items.paths) {
        const TActionResult result = CopyInto(Bytes(path), folderNativePath);
        if (!result.ok) {
            for (const QString& copy : made)
                QFile::moveToTrash(copy);
            return result;
        }
        made << Display(Join(folderNativePath, BaseOf(Bytes(path))));
    }
    return TActionResult::Done();
}

}  // namespace cq::desktop
