#include "engine/ResultListCheck.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "engine/NumberText.h"

namespace {

std::size_t SkipDigits(std::string_view text, std::size_t& pos) {
    const std::size_t start = pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
        ++pos;
    return pos - start;
}

void SkipSign(std::string_view text, std::size_t& pos) {
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        ++pos;
}

std::string AtLine(const std::string& file, std::size_t index) {
    return file + ", line " + std::to_string(index + 1);
}

}  // namespace

bool IsPercentText(std::string_view text) {
    std::size_t pos = 0;
    SkipSign(text, pos);
    std::size_t digits = SkipDigits(text, pos);
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        digits += SkipDigits(text, pos);
    }
    if (digits == 0)
        return false;
    if (pos == text.size())
        return true;  // no exponent: every such text is a finite number
    if (text[pos] != 'e' && text[pos] != 'E')
        return false;
    ++pos;
    SkipSign(text, pos);
    if (SkipDigits(text, pos) == 0 || pos != text.size())
        return false;
    // Only an exponent can take a value past the range of a double.
    std::string_view number(text);
    if (number[0] == '+')
        number.remove_prefix(1);
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    return result.ec == std::errc() && std::isfinite(value);
}

namespace {

TListFault FaultFrom(TResultRole role, const TStringList& list, std::size_t from) {
    for (std::size_t i = from; i < list.size(); ++i) {
        const std::string_view line = list[i];
        switch (role) {
            case TResultRole::Dirs:
                if (line.empty())
                    return {i, "is empty"};
                // Bytes as unsigned values, each folder after the one before it.
                if (i > 0 && list[i - 1].compare(line) >= 0)
                    return {i, "is out of order"};
                break;
            case TResultRole::DirSizes: {
                std::int64_t size = 0;
                if (!TryTextToInt64(line, size))
                    return {i, "is not a whole number of bytes"};
                break;
            }
            case TResultRole::Percents:
                if (!IsPercentText(line))
                    return {i, "is not a number"};
                break;
        }
    }
    return {};
}

}  // namespace

void TListChecker::Check(const TStringList& list) {
    if (fault_.Line != TListFault::kNone || next_ >= list.size())
        return;
    fault_ = FaultFrom(role_, list, next_);
    next_ = list.size();
}

std::string ResultListsFault(const TStringList& percents, const TStringList& dirs,
                             const TStringList& dirSizes, const std::array<TListFault, 3>& faults,
                             const TResultListNames& names) {
    if (percents.size() != dirs.size() || dirSizes.size() != dirs.size()) {
        return names.Dirs + " has " + std::to_string(dirs.size()) + " lines, " + names.DirSizes +
               " " + std::to_string(dirSizes.size()) + " and " + names.Percents + " " +
               std::to_string(percents.size()) + "; they must describe the same folders";
    }
    // The first line with a fault; on one line, Dirs before DirSizes before
    // Percents.
    const std::array<std::pair<const TListFault*, const std::string*>, 3> order = {
        {{&faults[1], &names.Dirs}, {&faults[2], &names.DirSizes}, {&faults[0], &names.Percents}}};
    const std::pair<const TListFault*, const std::string*>* first = nullptr;
    for (const auto& candidate : order)
        if (candidate.first->Line != TListFault::kNone &&
            (first == nullptr || candidate.first->Line < first->first->Line))
            first = &candidate;
    if (first == nullptr)
        return {};
    return AtLine(*first->second, first->first->Line) + " " + first->first->Why;
}

std::string CheckResultLists(const TStringList& percents, const TStringList& dirs,
                             const TStringList& dirSizes, const TResultListNames& names) {
    return ResultListsFault(
        percents, dirs, dirSizes,
        {FaultFrom(TResultRole::Percents, percents, 0), FaultFrom(TResultRole::Dirs, dirs, 0),
         FaultFrom(TResultRole::DirSizes, dirSizes, 0)},
        names);
}
