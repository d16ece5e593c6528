#include "views/common/ListLookup.h"

#include <algorithm>

#include "views/common/NumberText.h"

namespace {

bool InList(const TStringList& list, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < list.size();
}

}  // namespace

int FindStrINSL(const TStringList& list, std::string_view text) {
    // std::string_view compares through char_traits<char>, i.e. memcmp: bytes
    // as unsigned values, case-sensitive, a text before its extensions.
    int lo = 0;
    int hi = static_cast<int>(list.size()) - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = lo + (hi - lo) / 2;
        int order = std::string_view(list[mid]).compare(text);
        if (order < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (order == 0) {
                found = true;
            }
        }
    }
    return found ? lo : -1;
}

double GetFloat(const TStringList& list, int index) {
    return InList(list, index) ? StrToFloat(list[index]) : 0.0;
}

float GetPercent(const TStringList& list, int index) {
    // StrToFloat gives only finite values, so the clamp is all it takes.
    return static_cast<float>(
        std::clamp(GetFloat(list, index), -kStoredPercentLimit, kStoredPercentLimit));
}

std::int64_t IntValFromSL(const TStringList& list, int index) {
    return InList(list, index) ? StrToInt64(list[index]) : 0;
}
