#pragma once

#include <QLocale>
#include <QString>
#include <cstdint>

namespace cq::app {

// Total physical memory as the About window writes it: kilobytes, rounded
// to whole numbers, digits grouped in threes with the locale's thousands
// separator, then " KB" ("524,288 KB"). Like the picture "#,###", a total
// below half a kilobyte has no digits at all.
QString FormatPhysMem(std::uint64_t totalBytes, const QLocale& locale);

// The memory load as "%d %%": "37 %".
QString FormatMemoryLoad(unsigned load);

}  // namespace cq::app
