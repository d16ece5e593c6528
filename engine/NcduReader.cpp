#include "engine/NcduReader.h"

#include <cstring>
#include <limits>
#include <vector>

#include "engine/Utf8Append.h"

namespace {

// A failed read: the message is already in the parser's error.
struct TStop {};

// The bytes of the input one at a time, with the offset for messages.
class TJsonInput {
  public:
    TJsonInput(TByteSource& source, std::string& error) : source_(source), error_(error) {}

    // The next byte without taking it; -1 at the end of the input.
    int Peek() {
        if (pos_ == piece_.size() && !Refill())
            return -1;
        return static_cast<unsigned char>(piece_[pos_]);
    }
    int Get() {
        const int c = Peek();
        if (c >= 0) {
            ++pos_;
            ++offset_;
        }
        return c;
    }
    // The next byte that is not white space, not taken.
    int PeekToken() {
        for (;;) {
            const int c = Peek();
            if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
                return c;
            Get();
        }
    }
    void Expect(char wanted, const char* what) {
        if (PeekToken() != static_cast<unsigned char>(wanted))
            Fail(std::string("expected ") + what);
        Get();
    }
    [[noreturn]] void Fail(const std::string& message) {
        if (error_.empty()) {
            error_ = Peek() < 0 && !readFailed_ ? "the file ends early (truncated?): " + message
                                                : message;
            error_ += " at byte " + std::to_string(offset_);
        }
        throw TStop{};
    }

  private:
    bool Refill() {
        std::string readError;
        if (!source_.Next(piece_, readError)) {
            readFailed_ = true;
            error_ = readError;
            throw TStop{};
        }
        pos_ = 0;
        return !piece_.empty();
    }

    TByteSource& source_;
    std::string& error_;
    std::string_view piece_;
    std::size_t pos_ = 0;
    std::uint64_t offset_ = 0;
    bool readFailed_ = false;
};

class TNcduParser {
  public:
    TNcduParser(TByteSource& source, TNcduVisitor& visitor, std::string& error)
        : in_(source, error), visitor_(visitor) {}

    void Run() {
        in_.Expect('[', "'[' at the start of an export");
        const std::int64_t major = Integer("the major version");
        if (major != 1)
            in_.Fail("export format version " + std::to_string(major) +
                     " cannot be read (only version 1)");
        in_.Expect(',', "',' after the version");
        TNcduMeta meta;
        meta.Minor = Integer("the minor version");
        in_.Expect(',', "',' after the version");
        Meta(meta);
        visitor_.Meta(meta);
        in_.Expect(',', "',' before the folder tree");
        Tree();
        // Later elements belong to later versions of the format.
        while (in_.PeekToken() != ']') {
            in_.Expect(',', "',' or ']' after the folder tree");
            SkipValue();
        }
        in_.Get();
        // Text after the export is not part of it: a file cut and pasted
        // together, or two exports in one.
        if (in_.PeekToken() >= 0)
            in_.Fail("text after the end of the export");
    }

  private:
    void Tree() {
        in_.Expect('[', "'[' opening the root folder");
        Info(item_);
        Enter();
        while (depth_ > 0) {
            int c = in_.PeekToken();
            if (c == ']') {
                in_.Get();
                --depth_;
                visitor_.Leave();
                continue;
            }
            in_.Expect(',', "',' or ']' in a folder");
            c = in_.PeekToken();
            if (c == '[') {
                in_.Get();
                Info(item_);
                Enter();
            } else if (c == '{') {
                Info(item_);
                visitor_.Item(item_);
                CheckRefusal();
            } else {
                in_.Fail("expected a folder '[' or an item '{'");
            }
        }
    }

    void Enter() {
        if (++depth_ > kNcduMaxDepth)
            in_.Fail("folders nested more than " + std::to_string(kNcduMaxDepth) + " deep");
        visitor_.Enter(item_);
        CheckRefusal();
    }

    void CheckRefusal() {
        if (!visitor_.Refusal.empty())
            in_.Fail(visitor_.Refusal);
    }

    void Meta(TNcduMeta& meta) {
        in_.Expect('{', "'{' opening the metadata");
        if (in_.PeekToken() == '}') {
            in_.Get();
            return;
        }
        for (;;) {
            String(key_, kNcduMaxName);
            in_.Expect(':', "':' after a key");
            if (key_ == "progname" && in_.PeekToken() == '"')
                String(meta.ProgName, kNcduMaxName);
            else if (key_ == "progver" && in_.PeekToken() == '"')
                String(meta.ProgVer, kNcduMaxName);
            else if (key_ == "timestamp" && IsNumberStart(in_.PeekToken()))
                meta.Timestamp = Integer("the timestamp");
            else
                SkipValue();
            if (EndOfObject())
                return;
        }
    }

    void Info(TNcduItem& item) {
        item = TNcduItem{};
        bool named = false;
        in_.Expect('{', "'{' opening an item");
        if (in_.PeekToken() != '}') {
            for (;;) {
                String(key_, kNcduMaxName);
                in_.Expect(':', "':' after a key");
                named |= Field(item);
                if (EndOfObject())
                    break;
            }
        } else {
            in_.Get();
        }
        if (!named)
            in_.Fail("an item without a name");
    }

    // One key's value; true for the name.
    bool Field(TNcduItem& item) {
        const char* k = key_.c_str();
        if (std::strcmp(k, "name") == 0) {
            String(item.Name, kNcduMaxName);
            return true;
        }
        if (std::strcmp(k, "asize") == 0)
            item.ASize = Size();
        else if (std::strcmp(k, "dsize") == 0)
            item.DSize = Size();
        else if (std::strcmp(k, "mtime") == 0)
            item.MTime = ClampedInteger("mtime");
        else if (std::strcmp(k, "dev") == 0)
            item.HasDev = true, item.Dev = Unsigned("dev");
        else if (std::strcmp(k, "ino") == 0)
            item.HasIno = true, item.Ino = Unsigned("ino");
        else if (std::strcmp(k, "nlink") == 0)
            item.NLink = Unsigned("nlink"), item.HardLinked |= item.NLink > 1;
        else if (std::strcmp(k, "hlnkc") == 0)
            item.HardLinked |= Bool();
        else if (std::strcmp(k, "read_error") == 0)
            item.ReadError = Bool();
        else if (std::strcmp(k, "notreg") == 0)
            item.NotReg = Bool();
        else if (std::strcmp(k, "excluded") == 0)
            item.Excluded = ExcludedReason(item.ExcludedWhy);
        else
            SkipValue();
        return false;
    }

    // Any reason counts; false and null (written by some tools) do not.
    bool ExcludedReason(std::string& why) {
        const int c = in_.PeekToken();
        if (c == '"') {
            String(why, kNcduMaxName);
            return true;
        }
        if (c == 't' || c == 'f' || c == 'n')
            return Literal();
        SkipValue();
        return true;
    }

    // True after '}', false after ','.
    bool EndOfObject() {
        const int c = in_.PeekToken();
        if (c == '}' || c == ',') {
            in_.Get();
            return c == '}';
        }
        in_.Fail("expected ',' or '}' in an object");
    }

    static bool IsNumberStart(int c) { return c == '-' || (c >= '0' && c <= '9'); }

    // A JSON number that must be a whole number; digits beyond 64 bits,
    // fractions and exponents are refused.
    std::int64_t Integer(const char* what) {
        const int first = in_.PeekToken();
        const bool negative = first == '-';
        if (negative)
            in_.Get();
        const std::uint64_t magnitude = Digits(what);
        const std::uint64_t limit =
            static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) +
            (negative ? 1 : 0);
        if (magnitude > limit)
            in_.Fail(std::string(what) + " is out of range");
        return negative ? static_cast<std::int64_t>(0 - magnitude)
                        : static_cast<std::int64_t>(magnitude);
    }

    // A whole number of any length, held to the 64-bit range: a date past
    // the range is a date too far to tell apart, not a damaged file.
    std::int64_t ClampedInteger(const char* what) {
        const bool negative = in_.PeekToken() == '-';
        if (negative)
            in_.Get();
        bool beyond = false;
        const std::uint64_t magnitude = Digits(what, &beyond);
        constexpr auto kMost = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
        if (negative)
            return beyond || magnitude > kMost ? std::numeric_limits<std::int64_t>::min()
                                               : -static_cast<std::int64_t>(magnitude);
        return beyond || magnitude > kMost ? std::numeric_limits<std::int64_t>::max()
                                           : static_cast<std::int64_t>(magnitude);
    }

    std::uint64_t Unsigned(const char* what) {
        if (in_.PeekToken() == '-')
            in_.Fail(std::string(what) + " is negative");
        return Digits(what);
    }

    // A size in bytes: 0 to the largest 64-bit signed value.
    std::int64_t Size() {
        const std::int64_t size = Integer("a size");
        if (size < 0)
            in_.Fail("a negative size");
        return size;
    }

    // The digits of a whole number as JSON writes them (no leading zero).
    // Past 64 bits: refused, or with beyond given, set and the most kept.
    std::uint64_t Digits(const char* what, bool* beyond = nullptr) {
        int c = in_.Peek();
        if (c < '0' || c > '9')
            in_.Fail(std::string("expected a number for ") + what);
        if (c == '0') {
            in_.Get();
            c = in_.Peek();
            if (c >= '0' && c <= '9')
                in_.Fail(std::string(what) + " has a leading zero");
            if (c == '.' || c == 'e' || c == 'E')
                in_.Fail(std::string(what) + " is not a whole number");
            return 0;
        }
        std::uint64_t value = 0;
        bool overflow = false;
        while (c >= '0' && c <= '9') {
            const auto digit = static_cast<std::uint64_t>(c - '0');
            if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10)
                overflow = true;
            value = value * 10 + digit;
            in_.Get();
            c = in_.Peek();
        }
        if (overflow && beyond == nullptr)
            in_.Fail(std::string(what) + " is out of range");
        if (overflow) {
            *beyond = true;
            value = std::numeric_limits<std::uint64_t>::max();
        }
        if (c == '.' || c == 'e' || c == 'E')
            in_.Fail(std::string(what) + " is not a whole number");
        return value;
    }

    bool Bool() {
        const int c = in_.PeekToken();
        if (c != 't' && c != 'f')
            in_.Fail("expected true or false");
        return Literal();
    }

    // true, false or null; true only for true.
    bool Literal() {
        const int c = in_.PeekToken();
        const char* word = c == 't' ? "true" : c == 'f' ? "false" : "null";
        for (const char* w = word; *w != 0; ++w)
            if (in_.Get() != static_cast<unsigned char>(*w))
                in_.Fail(std::string("expected ") + word);
        return c == 't';
    }

    // A string's bytes; escapes decoded, other bytes kept as they are (names
    // are raw bytes, not always UTF-8). A surrogate pair of escapes is one
    // character; a lone half is kept as U+FFFD.
    void String(std::string& out, std::size_t limit) {
        out.clear();
        in_.Expect('"', "'\"' opening a string");
        std::uint32_t high = 0;  // a first half waiting for its second
        for (;;) {
            const int c = in_.Get();
            if (c < 0)
                in_.Fail("a string without its end");
            if (c < 0x20)
                in_.Fail("a control character in a string (JSON writes it as \\u00XX)");
            const std::uint32_t code = c == '\\' ? Escape() : 0;
            const bool low = code >= 0xDC00 && code < 0xE000;
            if (high != 0 && low) {
                AppendUtf8(out, 0x10000 + ((high - 0xD800) << 10) + (code - 0xDC00));
                high = 0;
                continue;
            }
            if (high != 0)
                AppendUtf8(out, 0xFFFD);
            high = code >= 0xD800 && code < 0xDC00 ? code : 0;
            if (c == '"')
                return;
            if (c != '\\')
                out += static_cast<char>(c);
            else if (high == 0)
                AppendUtf8(out, low ? 0xFFFD : code);
            if (out.size() > limit)
                in_.Fail("a text longer than " + std::to_string(limit) + " bytes");
        }
    }

    // The character an escape stands for.
    std::uint32_t Escape() {
        const int c = in_.Get();
        switch (c) {
            case '"':
            case '\\':
            case '/':
                return static_cast<std::uint32_t>(c);
            case 'b':
                return '\b';
            case 'f':
                return '\f';
            case 'n':
                return '\n';
            case 'r':
                return '\r';
            case 't':
                return '\t';
            case 'u':
                break;
            default:
                in_.Fail("an unknown escape in a string");
        }
        const std::uint32_t code = Hex4();
        if (code == 0)
            in_.Fail("a NUL byte in a string");
        return code;
    }

    std::uint32_t Hex4() {
        std::uint32_t code = 0;
        for (int i = 0; i < 4; ++i) {
            const int c = in_.Get();
            int v = -1;
            if (c >= '0' && c <= '9')
                v = c - '0';
            else if (c >= 'a' && c <= 'f')
                v = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                v = c - 'A' + 10;
            if (v < 0)
                in_.Fail("a bad \\u escape");
            code = code * 16 + static_cast<std::uint32_t>(v);
        }
        return code;
    }

    // Any value, nested to any depth, without recursion.
    void SkipValue() {
        std::vector<char> open;  // the closing brackets still owed
        do {
            int c = in_.PeekToken();
            if (c == '[' || c == '{') {
                in_.Get();
                open.push_back(c == '[' ? ']' : '}');
                if (open.size() > kNcduMaxDepth)
                    in_.Fail("values nested too deep");
                if (in_.PeekToken() == open.back()) {
                    in_.Get();
                    open.pop_back();
                } else if (open.back() == '}') {
                    SkipKey();
                    continue;
                } else {
                    continue;
                }
            } else if (c == '"') {
                String(scratch_, kNcduMaxName);
            } else if (IsNumberStart(c)) {
                SkipNumber();
            } else if (c == 't' || c == 'f' || c == 'n') {
                Literal();
            } else {
                in_.Fail("expected a value");
            }
            // After a value: the next element of the innermost container,
            // or its end (which may end the one around it too).
            while (!open.empty()) {
                c = in_.PeekToken();
                if (c == open.back()) {
                    in_.Get();
                    open.pop_back();
                    continue;
                }
                in_.Expect(',', "',' between values");
                if (open.back() == '}')
                    SkipKey();
                break;
            }
        } while (!open.empty());
    }

    void SkipKey() {
        String(scratch_, kNcduMaxName);
        in_.Expect(':', "':' after a key");
    }

    // A number of any form JSON allows: -?(0|[1-9]digits)(.digits)?([eE][+-]?digits)?
    void SkipNumber() {
        if (in_.Peek() == '-')
            in_.Get();
        if (in_.Peek() == '0') {
            in_.Get();
            if (in_.Peek() >= '0' && in_.Peek() <= '9')
                in_.Fail("a number has a leading zero");
        } else {
            SkipDigits();
        }
        if (in_.Peek() == '.') {
            in_.Get();
            SkipDigits();
        }
        if (in_.Peek() == 'e' || in_.Peek() == 'E') {
            in_.Get();
            if (in_.Peek() == '+' || in_.Peek() == '-')
                in_.Get();
            SkipDigits();
        }
    }

    // One digit or more.
    void SkipDigits() {
        if (in_.Peek() < '0' || in_.Peek() > '9')
            in_.Fail("expected a digit in a number");
        while (in_.Peek() >= '0' && in_.Peek() <= '9')
            in_.Get();
    }

    TJsonInput in_;
    TNcduVisitor& visitor_;
    TNcduItem item_;
    std::string key_, scratch_;
    std::size_t depth_ = 0;
};

}  // namespace

bool ReadNcduExport(TByteSource& source, TNcduVisitor& visitor, std::string& error) {
    error.clear();
    TNcduParser parser(source, visitor, error);
    try {
        parser.Run();
    } catch (const TStop&) {
        return false;
    }
    return true;
}
