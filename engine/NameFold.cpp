#include "engine/NameFold.h"

#include <QChar>
#include <string>

#include "engine/Utf8Append.h"

namespace {

constexpr char32_t kBroken = 0xFFFD;

bool Continuation(unsigned char c, unsigned char low = 0x80, unsigned char high = 0xBF) {
    return c >= low && c <= high;
}

// Reads the character at name[at]: its code point, or kBroken, and how many
// bytes it (or the maximal broken part) takes. valid tells which.
char32_t NextCharacter(std::string_view name, std::size_t at, std::size_t& length, bool& valid) {
    const auto c = static_cast<unsigned char>(name[at]);
    valid = false;
    length = 1;
    if (c < 0x80) {
        valid = true;
        return c;
    }
    int more = 0;
    char32_t code = 0;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (c >= 0xC2 && c <= 0xDF) {
        more = 1, code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        more = 2, code = c & 0x0F;
        low = c == 0xE0 ? 0xA0 : 0x80;
        high = c == 0xED ? 0x9F : 0xBF;
    } else if (c >= 0xF0 && c <= 0xF4) {
        more = 3, code = c & 0x07;
        low = c == 0xF0 ? 0x90 : 0x80;
        high = c == 0xF4 ? 0x8F : 0xBF;
    } else {
        return kBroken;  // a stray continuation byte, C0, C1 or F5..FF
    }
    for (int i = 1; i <= more; ++i) {
        if (at + i >= name.size())
            return kBroken;
        const auto next = static_cast<unsigned char>(name[at + i]);
        if (!(i == 1 ? Continuation(next, low, high) : Continuation(next)))
            return kBroken;
        code = (code << 6) | (next & 0x3F);
        length = i + 1;
    }
    valid = true;
    return code;
}

}  // namespace

bool IsValidUtf8(std::string_view name) {
    std::size_t length = 0;
    bool valid = true;
    for (std::size_t at = 0; at < name.size() && valid; at += length) {
        if (static_cast<unsigned char>(name[at]) < 0x80) {
            length = 1;  // the common case, without the decoder's call
            continue;
        }
        NextCharacter(name, at, length, valid);
    }
    return valid;
}

void ReplaceBrokenUtf8Into(std::string_view name, std::string& out) {
    out.clear();
    std::size_t length = 0;
    bool valid = false;
    for (std::size_t at = 0; at < name.size(); at += length) {
        NextCharacter(name, at, length, valid);
        if (valid)
            out.append(name.substr(at, length));
        else
            AppendUtf8(out, kBroken);
    }
}

std::string FoldNameCase(std::string_view name) {
    std::string folded;
    FoldNameCaseInto(name, folded);
    return folded;
}

void FoldNameCaseInto(std::string_view name, std::string& folded) {
    folded.clear();
    std::size_t length = 0;
    bool valid = false;
    for (std::size_t at = 0; at < name.size(); at += length) {
        const char32_t code = NextCharacter(name, at, length, valid);
        if (!valid)
            folded.append(name.substr(at, length));
        else if (code < 0x80)
            folded += static_cast<char>(code >= 'A' && code <= 'Z' ? code + ('a' - 'A') : code);
        else
            AppendUtf8(folded, QChar::toCaseFolded(code));
    }
}
