#pragma once
// The order in which a folder listing shows names: natural (digits compare as
// numbers, so "File 9" comes before "File 10"), case-insensitive and
// locale-aware, as desktop file managers sort.
#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <QString>

class TShellNameOrder {
  public:
    // The collation of the user's locale; see CollationLocale for the C locale.
    TShellNameOrder();
    explicit TShellNameOrder(const QLocale& locale);

    // A key per name: comparing keys is much cheaper than comparing names,
    // which matters when a folder holds a hundred thousand entries.
    QCollatorSortKey Key(const QString& name) const { return collator_.sortKey(name); }
    int Compare(const QString& a, const QString& b) const { return collator_.compare(a, b); }

    // The same order with a collator of its own, for another thread (a copy
    // would share this one's collator, which two threads may not use).
    TShellNameOrder Separate() const;

    // The C locale has no collation of its own: Qt then compares code points
    // and ignores numeric mode, which would sort "a10" before "a9". The root
    // collation (the one English uses) is what such a user expects instead.
    static QLocale CollationLocale(const QLocale& locale);

  private:
    QCollator collator_;
};
