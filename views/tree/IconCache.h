#pragma once
// The program's small-icon list: listings hand out an index per item, and the
// views draw the icon of that index. Icons are kept per type (one entry for
// every folder, one per file type), so a folder of a hundred thousand files
// costs a handful of entries.
#include <QHash>
#include <QIcon>
#include <QString>
#include <functional>
#include <vector>

class TIconCache {
  public:
    // Turns a type key into an icon. The default uses the desktop theme only
    // (Qt Gui); a widget-side provider can add the style's standard icons
    // for desktops without a theme.
    using TProvider = std::function<QIcon(const QString& key)>;

    // The keys of the entries that are not a file type.
    static const QString kFolderKey;   // a folder, or a link to one
    static const QString kUnknownKey;  // a file whose type is not known

    TIconCache();
    explicit TIconCache(TProvider provider);

    // The one list the whole program shares, as the shell's list was shared.
    static TIconCache& System();

    // Index of the entry for a key (a MIME type name or one of the keys
    // above), adding the entry on first use. Indexes never change.
    int IndexOf(const QString& key);
    int Count() const { return static_cast<int>(entries_.size()); }
    QString Key(int index) const;

    // The icon of an entry, asked of the provider on first use; a null icon
    // for an index that was never handed out.
    QIcon Icon(int index);

    // A new provider applies to every entry: icons already made are dropped
    // and made again on their next use.
    void SetProvider(TProvider provider);

    // The theme lookup the default provider does.
    static QIcon ThemeIcon(const QString& key);

  private:
    struct TEntry {
        QString key;
        QIcon icon;
        bool resolved = false;
    };
    TProvider provider_;
    std::vector<TEntry> entries_;
    QHash<QString, int> indexes_;
};
