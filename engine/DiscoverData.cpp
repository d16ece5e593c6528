#include "engine/DiscoverData.h"

#include <algorithm>
#include <charconv>

#include "engine/DiscoverLineCheck.h"
#include "platform/DriveForm.h"
#include "platform/DriveLetter.h"

namespace {

constexpr std::string_view kFirstLine = "cobaltquarry discover 1";

template <class Int>
void AppendNumber(std::string& text, Int value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    text.append(digits, end);
}

void AppendTotal(std::string& text, const TTypeTotal& t) {
    AppendNumber(text, t.Files);
    text += ' ';
    AppendNumber(text, t.Bytes);
    text += ' ';
    AppendNumber(text, t.Allocated);
}

// Reads the stored text line by line, word by word.
class LineReader {
  public:
    explicit LineReader(std::string_view text) : text_(text) {}

    // The next line without its CR LF; false at the end or for a line not
    // ended by CR LF.
    bool Next() {
        const std::size_t end = text_.find("\r\n");
        if (end == std::string_view::npos)
            return false;
        line_ = text_.substr(0, end);
        text_.remove_prefix(end + 2);
        ++number_;
        return true;
    }
    bool AtEnd() const { return text_.empty(); }
    std::size_t Number() const { return number_; }

    std::string_view Word() {
        const std::size_t end = line_.find(' ');
        const std::string_view word = line_.substr(0, end);
        line_.remove_prefix(end == std::string_view::npos ? line_.size() : end + 1);
        return word;
    }
    template <class Int>
    bool Read(Int& value) {
        const std::string_view word = Word();
        const auto r = std::from_chars(word.data(), word.data() + word.size(), value);
        return !word.empty() && r.ec == std::errc() && r.ptr == word.data() + word.size();
    }
    // The rest of the line (a path or an extension, which may hold blanks).
    std::string_view Rest() {
        const std::string_view rest = line_;
        line_ = {};
        return rest;
    }
    bool Done() const { return line_.empty(); }

  private:
    std::string_view text_, line_;
    std::size_t number_ = 0;
};

bool ReadTotal(LineReader& in, TTypeTotal& t) {
    return in.Read(t.Files) && in.Read(t.Bytes) && in.Read(t.Allocated);
}

// A read total that cannot be true: negative, or taking the table's sum
// past 64 bits (TDiscoverLineCheck).
bool WrongTotal(const TTypeTotal& t, TDiscoverLineCheck& sum, std::string& why) {
    if (t.Bytes < 0 || t.Allocated < 0)
        why = "a negative total";
    else if (!sum.AddTotal(t))
        why = "totals that add up past the largest number";
    return !why.empty();
}

bool ReadFlag(LineReader& in, bool& flag) {
    const std::string_view word = in.Word();
    flag = word == "1";
    return word == "0" || word == "1";
}

bool ReadLargest(LineReader& in, TDiscoverData& d, std::string& why) {
    std::size_t count = 0;
    if (!in.Next() || in.Word() != "largest" || !in.Read(count) || !in.Read(d.Floor) ||
        d.Floor < -1 || !ReadFlag(in, d.HasTimes) || !in.Done() || count > kLargestFiles) {
        why = "not the line of the largest files";
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        TLargeFile f;
        if (!in.Next() || !in.Read(f.Size) || !in.Read(f.Allocated)) {
            why = "not a file's line";
            return false;
        }
        const std::string_view time = in.Word();
        const auto r = std::from_chars(time.data(), time.data() + time.size(), f.MTime);
        if (time != "-" && (time.empty() || r.ec != std::errc() || r.ptr != time.end())) {
            why = "not a time";
            return false;
        }
        f.Path = std::string(in.Rest());
        if (f.Size < 0 || f.Allocated < 0) {
            why = "a negative size";
            return false;
        }
        if (f.Path.empty() || (!d.Largest.empty() && !LargerFile(d.Largest.back(), f))) {
            why = "a file out of order";
            return false;
        }
        d.Largest.push_back(std::move(f));
    }
    return true;
}

bool ReadTypes(LineReader& in, TDiscoverData& d, std::string& why) {
    std::size_t count = 0;
    if (!in.Next() || in.Word() != "types" || !in.Read(count) ||
        !ReadFlag(in, d.TypesAsOfDriveScan) || !in.Done() || count > kKeptTypes) {
        why = "not the line of the file types";
        return false;
    }
    TDiscoverLineCheck sum;
    for (TTypeTotal* t : {&d.Types.NoExtension, &d.Types.Other}) {
        if (!in.Next() || !ReadTotal(in, *t) || !in.Done()) {
            why = "not a line of totals";
            return false;
        }
        if (WrongTotal(*t, sum, why))
            return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        TTypeTotal t;
        if (!in.Next() || !ReadTotal(in, t)) {
            why = "not a file type's line";
            return false;
        }
        if (WrongTotal(t, sum, why))
            return false;
        t.Ext = UnescapeName(in.Rest());
        if (t.Ext.empty()) {
            why = "a file type without a name";
            return false;
        }
        d.Types.Kept.push_back(std::move(t));
    }
    return true;
}

}  // namespace

std::string TDiscoverData::Text() const {
    std::string text(kFirstLine);
    text += "\r\nlargest ";
    AppendNumber(text, Largest.size());
    text += ' ';
    AppendNumber(text, Floor);
    text += HasTimes ? " 1\r\n" : " 0\r\n";
    for (const TLargeFile& f : Largest) {
        AppendNumber(text, f.Size);
        text += ' ';
        AppendNumber(text, f.Allocated);
        text += ' ';
        if (f.MTime == kNoTime)
            text += '-';
        else
            AppendNumber(text, f.MTime);
        text += ' ';
        text += f.Path;
        text += "\r\n";
    }
    text += "types ";
    AppendNumber(text, Types.Kept.size());
    text += TypesAsOfDriveScan ? " 1\r\n" : " 0\r\n";
    AppendTotal(text, Types.NoExtension);
    text += "\r\n";
    AppendTotal(text, Types.Other);
    text += "\r\n";
    for (const TTypeTotal& t : Types.Kept) {
        AppendTotal(text, t);
        text += ' ';
        text += EscapeName(t.Ext);
        text += "\r\n";
    }
    return text;
}

bool TDiscoverData::Parse(std::string_view text, TDiscoverData& data, std::string& error) {
    data = TDiscoverData{};
    error = TDiscoverLineCheck::LongLine(text);
    if (!error.empty())
        return false;
    LineReader in(text);
    std::string why;
    if (!in.Next() || in.Rest() != kFirstLine)
        why = "not a discover file";
    else if (ReadLargest(in, data, why) && ReadTypes(in, data, why) && !in.AtEnd())
        why = "text after the file types";
    if (why.empty())
        return true;
    error = "line " + std::to_string(in.Number()) + ": " + why;
    data = TDiscoverData{};
    return false;
}

TStringList TDiscoverData::Lines() const {
    const std::string text = Text();
    TStringList lines;
    std::string_view rest(text);
    while (!rest.empty()) {
        const std::size_t end = rest.find("\r\n");
        lines.push_back(rest.substr(0, end));
        rest.remove_prefix(end + 2);
    }
    return lines;
}

bool TDiscoverData::FromLines(const TStringList& lines, TDiscoverData& data, std::string& error) {
    std::string text;
    for (std::string_view line : lines) {
        if (line.find_first_of("\r\n") != std::string_view::npos) {
            data = TDiscoverData{};
            error = "a line break inside a line";
            return false;
        }
        text.append(line).append("\r\n");
    }
    return Parse(text, data, error);
}

bool PathIsBelow(std::string_view path, std::string_view folder) {
    if (path.size() <= folder.size() + 1 || path[folder.size()] != '\\' || folder.empty())
        return false;
    return UpperDriveLetter(path[0]) == UpperDriveLetter(folder[0]) &&
           path.substr(1, folder.size() - 1) == folder.substr(1);
}

void TDiscoverData::MergeRescan(std::string_view folder, const TDiscoverData& inside) {
    auto floorOf = [](const TDiscoverData& d) {
        std::int64_t floor = d.Floor;
        if (d.Largest.size() >= kLargestFiles)
            floor = std::max(floor, d.Largest.back().Size);
        return floor;
    };
    const std::int64_t floor = std::max(floorOf(*this), floorOf(inside));
    std::vector<TLargeFile> files;
    for (TLargeFile& f : Largest)
        if (!PathIsBelow(f.Path, folder) && f.Size > floor)
            files.push_back(std::move(f));
    for (const TLargeFile& f : inside.Largest)
        if (f.Size > floor)
            files.push_back(f);
    std::sort(files.begin(), files.end(), LargerFile);
    if (files.size() > kLargestFiles)
        files.resize(kLargestFiles);
    Largest = std::move(files);
    Floor = floor;
    HasTimes = HasTimes && inside.HasTimes;
    TypesAsOfDriveScan = true;
}
