#include "views/bar/BarSort.h"

namespace {

ushort UpperAscii(ushort c) {
    return (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c;
}

}  // namespace

int CompareCaptions(const QString& a, const QString& b) {
    const int n = std::min(a.size(), b.size());
    for (int i = 0; i < n; ++i) {
        ushort ca = UpperAscii(a[i].unicode());
        ushort cb = UpperAscii(b[i].unicode());
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

int BarCompare(int sortColumn, bool sortReverse, const TBarSortKey& item1, const TBarSortKey& item2,
               const std::function<double(const QString&)>& toNumber) {
    int result;
    if (sortColumn == 0) {
        result = CompareCaptions(item1.caption, item2.caption);
    } else {
        const QString& t1 = sortColumn == 1 ? item1.sizeText : item1.percentText;
        const QString& t2 = sortColumn == 1 ? item2.sizeText : item2.percentText;
        double b = toNumber(t2.trimmed());
        double a = toNumber(t1.trimmed());
        result = b > a ? 1 : -1;
    }
    return sortReverse ? -result : result;
}
