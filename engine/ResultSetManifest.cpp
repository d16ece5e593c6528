#include "engine/ResultSetManifest.h"

#include <charconv>

#include "engine/ExtraFileKinds.h"

namespace {

constexpr std::string_view kManifestFirstLine = "cobaltquarry result set 1";
constexpr std::array<std::string_view, 3> kRoles = {"Percents", "Dirs", "DirSizes"};

std::string Number(std::uint64_t value, int base) {
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text, value, base).ptr;
    return std::string(text, end);
}

void AppendSum(std::string& text, const TResultFileSum& file) {
    text.append(Number(file.Lines, 10)).append(" ").append(Number(file.Bytes, 10));
    text.append(" ").append(Number(file.Checksum, 16)).append("\n");
}

void AppendSet(std::string& text, std::string_view which, const TResultSetSums& set) {
    text.append(which).append(" generation ").append(Number(set.Generation, 10)).append("\n");
    for (std::size_t i = 0; i < kRoles.size(); ++i) {
        text.append(which).append(" ").append(kRoles[i]).append(" ");
        AppendSum(text, set.Files[i]);
    }
    for (const auto& [role, file] : set.Extras) {
        text.append(which).append(" extra ").append(role).append(" ");
        AppendSum(text, file);
    }
}

// Splits off the next space- or line-separated word.
std::string_view NextWord(std::string_view& text) {
    const std::size_t end = text.find_first_of(" \n");
    std::string_view word = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return word;
}

bool ReadNumber(std::string_view& text, std::uint64_t& value, int base) {
    const std::string_view word = NextWord(text);
    const auto result = std::from_chars(word.data(), word.data() + word.size(), value, base);
    return !word.empty() && result.ec == std::errc() && result.ptr == word.data() + word.size();
}

bool ReadSum(std::string_view& text, TResultFileSum& file) {
    return ReadNumber(text, file.Lines, 10) && ReadNumber(text, file.Bytes, 10) &&
           ReadNumber(text, file.Checksum, 16);
}

// The extra files' lines of a set, as long as they follow; each role once.
bool ReadExtras(std::string_view& text, std::string_view which, TResultSetSums& set) {
    const std::string prefix = std::string(which) + " extra ";
    while (text.substr(0, prefix.size()) == prefix) {
        text.remove_prefix(prefix.size());
        const std::string_view role = NextWord(text);
        TResultFileSum file;
        if (!IsExtraRoleName(role) || !ReadSum(text, file) ||
            !set.Extras.emplace(std::string(role), file).second)
            return false;
    }
    return true;
}

bool ReadSet(std::string_view& text, std::string_view which, TResultSetSums& set) {
    if (NextWord(text) != which || NextWord(text) != "generation" ||
        !ReadNumber(text, set.Generation, 10))
        return false;
    for (std::size_t i = 0; i < kRoles.size(); ++i) {
        if (NextWord(text) != which || NextWord(text) != kRoles[i] || !ReadSum(text, set.Files[i]))
            return false;
    }
    return ReadExtras(text, which, set);
}

}  // namespace

std::string TResultSetManifest::Text() const {
    std::string text(kManifestFirstLine);
    text += "\n";
    AppendSet(text, "current", Current);
    if (HasPrevious)
        AppendSet(text, "previous", Previous);
    return text;
}

bool TResultSetManifest::Parse(std::string_view text, TResultSetManifest& manifest) {
    TResultSetManifest read;
    if (text.substr(0, kManifestFirstLine.size() + 1) != std::string(kManifestFirstLine) + "\n")
        return false;
    text.remove_prefix(kManifestFirstLine.size() + 1);
    if (!ReadSet(text, "current", read.Current))
        return false;
    if (!text.empty()) {
        if (!ReadSet(text, "previous", read.Previous))
            return false;
        read.HasPrevious = true;
    }
    if (!text.empty())
        return false;
    manifest = read;
    return true;
}
