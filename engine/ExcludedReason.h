#pragma once
// Why a scan read from an export left an item out, as the export says it
// ("excluded": "pattern", "othfs", "kernfs", "frmlnk" in ncdu's format), and
// the words a user reads for it. An imported scan holds no rules of its
// own: its excluded entries carry their reason from the file.
#include <cstdint>
#include <string>
#include <string_view>

enum class TExcludedReason : std::uint8_t {
    None = 0,  // measured
    Pattern,   // an exclude rule of the scan (a pattern, or a cache folder)
    OtherFs,   // another file system the scan did not enter
    KernelFs,  // a kernel file system (proc, sysfs, ...)
    FirmLink,  // a firm link (macOS), not followed
    Unnamed    // a reason this program does not know, or none given
};

// The reason of an export's "excluded" value (empty: a bare true).
TExcludedReason ExcludedReasonOf(std::string_view exported);
// What left it out, as the words after "Excluded by": "an exclude rule of
// the scan", "the scan, as another file system", ...; empty for None.
std::string ExcludedReasonText(TExcludedReason reason);
