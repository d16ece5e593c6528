#include "views/tree/IconCache.h"

#include <QMimeDatabase>

const QString TIconCache::kFolderKey = QStringLiteral("inode/directory");
const QString TIconCache::kUnknownKey = QStringLiteral("application/octet-stream");

TIconCache::TIconCache() : TIconCache(&TIconCache::ThemeIcon) {}

TIconCache::TIconCache(TProvider provider) : provider_(std::move(provider)) {}

TIconCache& TIconCache::System() {
    static TIconCache cache;
    return cache;
}

int TIconCache::IndexOf(const QString& key) {
    const auto found = indexes_.constFind(key);
    if (found != indexes_.constEnd()) {
        return found.value();
    }
    const int index = Count();
    entries_.push_back(TEntry{key, QIcon(), false});
    indexes_.insert(key, index);
    return index;
}

QString TIconCache::Key(int index) const {
    if (index < 0 || index >= Count()) {
        return QString();
    }
    return entries_[static_cast<size_t>(index)].key;
}

QIcon TIconCache::Icon(int index) {
    if (index < 0 || index >= Count()) {
        return QIcon();
    }
    TEntry& entry = entries_[static_cast<size_t>(index)];
    if (!entry.resolved) {
        entry.icon = provider_ ? provider_(entry.key) : QIcon();
        entry.resolved = true;
    }
    return entry.icon;
}

void TIconCache::SetProvider(TProvider provider) {
    provider_ = std::move(provider);
    for (TEntry& entry : entries_) {
        entry.icon = QIcon();
        entry.resolved = false;
    }
}

QIcon TIconCache::ThemeIcon(const QString& key) {
    if (key == kFolderKey) {
        return QIcon::fromTheme(QStringLiteral("folder"));
    }
    const QMimeType type = QMimeDatabase().mimeTypeForName(key);
    if (!type.isValid()) {
        return QIcon::fromTheme(QStringLiteral("unknown"));
    }
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull()) {
        icon = QIcon::fromTheme(type.genericIconName());
    }
    return icon;
}
