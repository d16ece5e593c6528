#include "views/tree/ShellFolder.h"

#include <QLocale>
#include <QMimeDatabase>

#include "views/tree/IconCache.h"

namespace {

const QMimeDatabase& MimeDatabase() {
    static const QMimeDatabase database;
    return database;
}

}  // namespace

TShellFolder::TShellFolder(TData data, TIconCache* icons) : data_(std::move(data)), icons_(icons) {}

std::string JoinedPath(const std::string& folder, char separator, std::string_view name) {
    const bool separate = folder.empty() || folder.back() != separator;
    std::string path;
    path.reserve(folder.size() + (separate ? 1 : 0) + name.size());
    path += folder;
    if (separate) {
        path += separator;
    }
    path += name;
    return path;
}

std::string TShellFolder::NativePath() const {
    if (!data_.nativeFolder) {
        return std::string();
    }
    if (data_.nativeIsFolder) {
        return *data_.nativeFolder;
    }
    return JoinedPath(*data_.nativeFolder, '/', data_.name);
}

QString TShellFolder::TypeName() const {
    if (!typeName_.isEmpty()) {
        return typeName_;
    }
    switch (data_.kind) {
        case TKind::Folder:
        case TKind::FolderLink:
            typeName_ = TIconCache::kFolderKey;
            break;
        case TKind::File:
            typeName_ = MimeDatabase()
                            .mimeTypeForFile(data_.displayName, QMimeDatabase::MatchExtension)
                            .name();
            break;
        case TKind::Other:
            typeName_ = data_.link ? QStringLiteral("inode/symlink") : TIconCache::kUnknownKey;
            break;
    }
    if (typeName_.isEmpty()) {
        typeName_ = TIconCache::kUnknownKey;
    }
    return typeName_;
}

int TShellFolder::ImageIndex() const {
    if (imageIndex_ == -2) {
        imageIndex_ = icons_ ? icons_->IndexOf(TypeName()) : -1;
    }
    return imageIndex_;
}

QString TShellFolder::SizeText() const {
    if (IsFolder()) {
        return QString();
    }
    // Whole kilobytes, rounded up as file managers show them, so a one-byte
    // file does not read "0 KB".
    const std::int64_t kilobytes = (data_.size + 1023) / 1024;
    return QLocale::c().toString(static_cast<qlonglong>(kilobytes)) + QStringLiteral(" KB");
}

QString TShellFolder::TypeText() const {
    const QMimeType type = MimeDatabase().mimeTypeForName(TypeName());
    return type.isValid() ? type.comment() : QString();
}

QString TShellFolder::DateText() const {
    const QDateTime time = QDateTime::fromSecsSinceEpoch(data_.lastWrite).toLocalTime();
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}
