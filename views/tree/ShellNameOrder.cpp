#include "views/tree/ShellNameOrder.h"

TShellNameOrder::TShellNameOrder() : TShellNameOrder(QLocale::system()) {}

TShellNameOrder::TShellNameOrder(const QLocale& locale) : collator_(CollationLocale(locale)) {
    collator_.setNumericMode(true);
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

QLocale TShellNameOrder::CollationLocale(const QLocale& locale) {
    if (locale.language() == QLocale::C) {
        return QLocale(QLocale::English, QLocale::UnitedStates);
    }
    return locale;
}

TShellNameOrder TShellNameOrder::Separate() const {
    return TShellNameOrder(collator_.locale());
}
