#include "engine/DiscoverData.h"

#include <algorithm>
#include <charconv>

#include "engine/DiscoverLineCheck.h"
#include "platform/DriveForm.h"

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

// A listed file's line: SIZE ALLOCATED MTIME PATH.
void AppendFile(std::string& text, const TLargeFile& f) {
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

// The sections added after the types (see DiscoverData.h), each written
// when it is known.
void AppendLaterSections(std::string& text, const TDiscoverData& d) {
    if (d.TypeFilesKnown) {
        text += "typefiles ";
        AppendNumber(text, d.TypeFiles.size());
        text += "\r\n";
        for (const auto& [ext, list] : d.TypeFiles) {
            text += "type ";
            AppendNumber(text, list.Files.size());
            text += ' ';
            AppendNumber(text, list.Floor);
            text += ' ';
            text += EscapeName(ext);
            text += "\r\n";
            for (const TLargeFile& f : list.Files)
                AppendFile(text, f);
        }
    }
    if (d.OldKnown()) {
        text += "old ";
        AppendNumber(text, d.Old.Files.size());
        text += ' ';
        AppendNumber(text, d.Old.Floor);
        text += ' ';
        AppendNumber(text, d.ScanTime);
        text += "\r\n";
        for (const TLargeFile& f : d.Old.Files)
            AppendFile(text, f);
    }
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

// A listed file's line of the later sections, in order after Before (null
// for the first) and larger than Floor.
bool ReadListedFile(LineReader& in, TLargeFile& f, const TLargeFile* before, std::int64_t floor,
                    std::string& why) {
    std::string_view time;
    if (!in.Next() || !in.Read(f.Size) || !in.Read(f.Allocated) || (time = in.Word()).empty()) {
        why = "not a file's line";
        return false;
    }
    const auto r = std::from_chars(time.data(), time.data() + time.size(), f.MTime);
    if (time == "-")
        f.MTime = kNoTime;
    else if (r.ec != std::errc() || r.ptr != time.end() || f.MTime == kNoTime) {
        why = "not a time";
        return false;
    }
    f.Path = std::string(in.Rest());
    if (f.Path.empty() || f.Size <= floor || f.Size < 0 || f.Allocated < 0 ||
        (before != nullptr && !LargerFile(*before, f))) {
        why = "a file out of order";
        return false;
    }
    return true;
}

// One type's list: "type FILES FLOOR EXT" and its files, each of the type.
bool ReadTypeList(LineReader& in, TDiscoverData& d, std::string& why) {
    std::size_t count = 0;
    std::int64_t floor = -1;
    if (!in.Next() || in.Word() != "type" || !in.Read(count) || !in.Read(floor) || floor < -1 ||
        count > kTypeFiles) {
        why = "not the line of a type's files";
        return false;
    }
    const std::string ext = UnescapeName(in.Rest());
    const bool listed = std::any_of(d.Types.Kept.begin(), d.Types.Kept.end(),
                                    [&ext](const TTypeTotal& t) { return t.Ext == ext; });
    if (!listed || (!d.TypeFiles.empty() && !(d.TypeFiles.rbegin()->first < ext))) {
        why = "a type not listed or out of order";
        return false;
    }
    TFileList& list = d.TypeFiles[ext];
    list.Floor = floor;
    for (std::size_t i = 0; i < count; ++i) {
        TLargeFile f;
        if (!ReadListedFile(in, f, list.Files.empty() ? nullptr : &list.Files.back(), floor, why))
            return false;
        if (FileTypeOf(f.Path) != ext) {
            why = "a file of another type";
            return false;
        }
        list.Files.push_back(std::move(f));
    }
    return true;
}

bool ReadOldFiles(LineReader& in, TDiscoverData& d, std::string& why) {
    std::size_t count = 0;
    std::int64_t time = 0;
    if (!in.Read(count) || !in.Read(d.Old.Floor) || d.Old.Floor < -1 || !in.Read(time) ||
        !in.Done() || count > kOldFiles || time < INT64_MIN + kOldSeconds) {
        why = "not the line of the old files";
        return false;
    }
    d.ScanTime = time;
    for (std::size_t i = 0; i < count; ++i) {
        TLargeFile f;
        if (!ReadListedFile(in, f, d.Old.Files.empty() ? nullptr : &d.Old.Files.back(), d.Old.Floor,
                            why))
            return false;
        if (f.MTime == kNoTime || f.MTime >= d.OldBefore()) {
            why = "a file that is not old";
            return false;
        }
        d.Old.Files.push_back(std::move(f));
    }
    return true;
}

// The sections after the types, each there or not (see DiscoverData.h).
bool ReadLaterSections(LineReader& in, TDiscoverData& d, std::string& why) {
    LineReader start = in;
    std::size_t count = 0;
    if (in.Next() && in.Word() == "typefiles") {
        if (!in.Read(count) || !in.Done() || count > kKeptTypes) {
            why = "not the line of the types' files";
            return false;
        }
        d.TypeFilesKnown = true;
        for (std::size_t i = 0; i < count; ++i)
            if (!ReadTypeList(in, d, why))
                return false;
        start = in;
    }
    in = start;
    if (in.Next() && in.Word() == "old")
        return ReadOldFiles(in, d, why);
    in = start;
    return true;
}

}  // namespace

std::string FileTypeOf(std::string_view path) {
    const std::size_t slash = path.rfind('\\');
    const std::string name =
        UnescapeName(path.substr(slash == std::string_view::npos ? 0 : slash + 1));
    std::string ext(FileExtension(name));
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

std::string TDiscoverData::Text() const {
    std::string text(kFirstLine);
    text += "\r\nlargest ";
    AppendNumber(text, Largest.size());
    text += ' ';
    AppendNumber(text, Floor);
    text += HasTimes ? " 1\r\n" : " 0\r\n";
    for (const TLargeFile& f : Largest)
        AppendFile(text, f);
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
    AppendLaterSections(text, *this);
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
    else if (ReadLargest(in, data, why) && ReadTypes(in, data, why) &&
             ReadLaterSections(in, data, why) && !in.AtEnd())
        why = "text after the old files";
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

void TDiscoverData::MergeRescan(std::string_view folder, const TDiscoverData& inside) {
    TFileList largest{std::move(Largest), Floor};
    DropFilesAt(largest, folder, kLargestFiles);
    MergeFileLists(largest, {inside.Largest, inside.Floor}, kLargestFiles);
    Largest = std::move(largest.Files);
    Floor = largest.Floor;
    HasTimes = HasTimes && inside.HasTimes;
    TypesAsOfDriveScan = true;
    TypeFilesKnown = TypeFilesKnown && inside.TypeFilesKnown;
    if (!TypeFilesKnown)
        TypeFiles.clear();
    // A type the rescan had no room to list may have files in the folder
    // that no list holds: its list is not known until the next drive scan.
    const bool insideComplete = inside.Types.Other.Files == 0;
    for (auto it = TypeFiles.begin(); it != TypeFiles.end();) {
        const auto in = inside.TypeFiles.find(it->first);
        if (in == inside.TypeFiles.end() && !insideComplete) {
            it = TypeFiles.erase(it);
            continue;
        }
        DropFilesAt(it->second, folder, kTypeFiles);
        if (in != inside.TypeFiles.end())
            MergeFileLists(it->second, in->second, kTypeFiles);
        ++it;
    }
    if (!OldKnown() || !inside.OldKnown() || inside.ScanTime < ScanTime || !HasTimes) {
        Old = {};
        ScanTime = kNoTime;
        return;
    }
    DropFilesAt(Old, folder, kOldFiles);
    MergeFileLists(Old, inside.OldFilesAsOf(ScanTime), kOldFiles);
}

TFileList TDiscoverData::OldFilesAsOf(std::int64_t scanTime) const {
    TFileList list = Old;
    const std::int64_t before = scanTime - kOldSeconds;
    const auto newer = std::remove_if(list.Files.begin(), list.Files.end(),
                                      [before](const TLargeFile& f) { return f.MTime >= before; });
    if (newer != list.Files.end()) {
        list.Files.erase(newer, list.Files.end());
        RaiseFloor(list, CertainFloor(Old, kOldFiles));
    }
    return list;
}
