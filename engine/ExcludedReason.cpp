#include "engine/ExcludedReason.h"

TExcludedReason ExcludedReasonOf(std::string_view exported) {
    if (exported == "pattern")
        return TExcludedReason::Pattern;
    if (exported == "othfs" || exported == "otherfs")  // the latter: our exports of old
        return TExcludedReason::OtherFs;
    if (exported == "kernfs")
        return TExcludedReason::KernelFs;
    if (exported == "frmlnk")
        return TExcludedReason::FirmLink;
    return TExcludedReason::Unnamed;
}

std::string ExcludedReasonText(TExcludedReason reason) {
    switch (reason) {
        case TExcludedReason::None:
            return std::string();
        case TExcludedReason::Pattern:
            return "an exclude rule of the scan";
        case TExcludedReason::OtherFs:
            return "the scan, as another file system";
        case TExcludedReason::KernelFs:
            return "the scan, as a kernel file system";
        case TExcludedReason::FirmLink:
            return "the scan, as a firm link";
        case TExcludedReason::Unnamed:
            break;
    }
    return "the program that made the scan";
}
