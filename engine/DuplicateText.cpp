#include "engine/DuplicateText.h"

#include <charconv>
#include <vector>

namespace {

constexpr char kHeader[] = "Duplicates 1";

std::string EscapedDuplicatePath(std::string_view name) {
    std::string out;
    for (char c : name) {
        if (c == '%' || c == '\r' || c == '\n' || c == '\t') {
            static const char kHex[] = "0123456789ABCDEF";
            out += '%';
            out += kHex[(unsigned char)c >> 4];
            out += kHex[(unsigned char)c & 15];
        } else {
            out += c;
        }
    }
    return out;
}

bool Unescaped(std::string_view text, std::string& name) {
    name.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            name += text[i];
            continue;
        }
        unsigned value = 0;
        if (i + 2 >= text.size())
            return false;
        auto r = std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16);
        if (r.ec != std::errc() || r.ptr != text.data() + i + 3)
            return false;
        name += char(value);
        i += 2;
    }
    return true;
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
}

template <typename T>
bool ReadDuplicateNumber(std::string_view text, T& value) {
    auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

std::string Head(const TDuplicateResult& r, bool asOf) {
    return EscapedDuplicatePath(r.Root) + "\t" + std::to_string(r.MinSize) + "\t" +
           std::to_string(r.Time) + "\t" + (asOf ? "1" : "0") + "\t" +
           std::to_string(r.FilesListed) + "\t" + std::to_string(r.Candidates);
}

bool ReadDuplicateHead(std::string_view line, TDuplicateResult& r, bool& asOf) {
    const auto f = Fields(line);
    int flag = 0;
    return f.size() == 6 && Unescaped(f[0], r.Root) && !r.Root.empty() &&
           ReadDuplicateNumber(f[1], r.MinSize) && ReadDuplicateNumber(f[2], r.Time) &&
           ReadDuplicateNumber(f[3], flag) && (flag == 0 || flag == 1) &&
           (asOf = flag == 1, true) && ReadDuplicateNumber(f[4], r.FilesListed) &&
           ReadDuplicateNumber(f[5], r.Candidates);
}

bool ReadCopy(std::string_view line, TDuplicateCopy& c, std::size_t& names) {
    const auto f = Fields(line);
    return f.size() == 6 && f[0] == "C" && ReadDuplicateNumber(f[1], c.Device) &&
           ReadDuplicateNumber(f[2], c.Inode) && ReadDuplicateNumber(f[3], c.WriteNanos) &&
           ReadDuplicateNumber(f[4], c.SharedSet) && ReadDuplicateNumber(f[5], names) && names > 0;
}

}  // namespace

TStringList DuplicateLines(const TDuplicateResult& result, bool asOf) {
    TStringList lines;
    lines.push_back(kHeader);
    lines.push_back(Head(result, asOf));
    for (const TDuplicateGroup& g : result.Groups) {
        lines.push_back("G\t" + std::to_string(g.Size) + "\t" + std::to_string(g.Copies.size()));
        for (const TDuplicateCopy& c : g.Copies) {
            lines.push_back("C\t" + std::to_string(c.Device) + "\t" + std::to_string(c.Inode) +
                            "\t" + std::to_string(c.WriteNanos) + "\t" +
                            std::to_string(c.SharedSet) + "\t" + std::to_string(c.Names.size()));
            for (const std::string& n : c.Names)
                lines.push_back("N\t" + EscapedDuplicatePath(n));
        }
    }
    return lines;
}

bool ReadDuplicateLines(const TStringList& lines, TDuplicateResult& result, bool& asOf,
                        std::string& error) {
    result = TDuplicateResult{};
    std::size_t at = 0;
    auto fail = [&](const char* what) {
        error = "line " + std::to_string(at + 1) + ": " + what;
        return false;
    };
    if (lines.size() < 2 || lines[0] != kHeader)
        return fail("not a duplicate search's result");
    at = 1;
    if (!ReadDuplicateHead(lines[1], result, asOf))
        return fail("a damaged heading");
    for (at = 2; at < lines.size();) {
        const auto g = Fields(lines[at]);
        TDuplicateGroup group;
        std::size_t copies = 0;
        if (g.size() != 3 || g[0] != "G" || !ReadDuplicateNumber(g[1], group.Size) ||
            group.Size <= 0 || !ReadDuplicateNumber(g[2], copies) || copies < 2)
            return fail("a damaged group");
        ++at;
        for (std::size_t c = 0; c < copies; ++c, ++at) {
            TDuplicateCopy copy;
            std::size_t names = 0;
            if (at >= lines.size() || !ReadCopy(lines[at], copy, names))
                return fail("a damaged copy");
            for (std::size_t n = 0; n < names; ++n) {
                ++at;
                std::string name;
                if (at >= lines.size() || lines[at].substr(0, 2) != "N\t" ||
                    !Unescaped(lines[at].substr(2), name) || name.empty())
                    return fail("a damaged name");
                copy.Names.push_back(std::move(name));
            }
            group.Copies.push_back(std::move(copy));
        }
        result.Groups.push_back(std::move(group));
    }
    return true;
}

TStringList DuplicateLinesAsOf(const TStringList& lines) {
    TDuplicateResult result;
    bool asOf = false;
    std::string error;
    if (!ReadDuplicateLines(lines, result, asOf, error))
        return lines;
    return DuplicateLines(result, true);
}
