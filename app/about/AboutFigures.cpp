#include "app/about/AboutFigures.h"

#include <cmath>

namespace cq::app {

QString FormatPhysMem(std::uint64_t totalBytes, const QLocale& locale) {
    const double kilobytes = double(totalBytes) / 1024.0;
    const auto whole = static_cast<std::uint64_t>(std::llround(kilobytes));
    // A locale that writes numbers without grouping (the C locale) has no
    // thousands separator to put in.
    const QString separator = locale.numberOptions().testFlag(QLocale::OmitGroupSeparator)
                                  ? QString()
                                  : locale.groupSeparator();
    QString digits = whole == 0 ? QString() : QString::number(whole);
    for (int at = int(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(at, separator);
    }
    return digits + QStringLiteral(" KB");
}

QString FormatMemoryLoad(unsigned load) {
    return QString::asprintf("%d %%", int(load));
}

}  // namespace cq::app
