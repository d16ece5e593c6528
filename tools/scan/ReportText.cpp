#include "tools/scan/ReportText.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <algorithm>
#include <ostream>

namespace {

// The length of the well-formed UTF-8 sequence at the start of text, 0 when
// there is none (a stray continuation byte, an overlong form, a surrogate,
// a code point past U+10FFFF, a cut-off sequence).
std::size_t Utf8Length(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

void AppendEscaped(std::string& out, unsigned char c) {
    static const char kHex[] = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[c >> 4];
    out += kHex[c & 0xF];
}

// The characters that reorder the text around them on a terminal (U+061C,
// U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069), given the UTF-8
// sequence of one character: a name holding U+202E would show the rest of
// its line backwards, so "exe.txt" could read as "txt.exe".
bool IsBidiControl(std::string_view c) {
    if (c.size() == 2)
        return c == "\xD8\x9C";
    if (c.size() != 3 || static_cast<unsigned char>(c[0]) != 0xE2)
        return false;
    const auto b1 = static_cast<unsigned char>(c[1]);
    const auto b2 = static_cast<unsigned char>(c[2]);
    return (b1 == 0x80 && (b2 == 0x8E || b2 == 0x8F || (b2 >= 0xAA && b2 <= 0xAE))) ||
           (b1 == 0x81 && b2 >= 0xA6 && b2 <= 0xA9);
}

}  // namespace

// JSON text is Unicode, a name is bytes. The text is always there for
// reading; where the bytes are not valid UTF-8 (so the text cannot carry
// them), KEY_base64 holds the exact bytes.
void PutJsonName(QJsonObject& o, const QString& key, const std::string& raw) {
    const QByteArray bytes = QByteArray::fromStdString(raw);
    const QString text = QString::fromUtf8(bytes);
    o[key] = text;
    if (text.toUtf8() != bytes)
        o[key + "_base64"] = QString::fromLatin1(bytes.toBase64());
}

std::string VisibleName(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    while (!raw.empty()) {
        const auto c = static_cast<unsigned char>(raw[0]);
        const std::size_t length = Utf8Length(raw);
        // C1 controls are U+0080 to U+009F: C2 80 to C2 9F in UTF-8.
        const bool control =
            c < 0x20 || c == 0x7F ||
            (length == 2 && c == 0xC2 && static_cast<unsigned char>(raw[1]) < 0xA0) ||
            (length > 0 && IsBidiControl(raw.substr(0, length)));
        if (length == 0 || control) {
            for (std::size_t i = 0; i < std::max<std::size_t>(length, 1); ++i)
                AppendEscaped(out, static_cast<unsigned char>(raw[i]));
            raw.remove_prefix(std::max<std::size_t>(length, 1));
        } else {
            out.append(raw.substr(0, length));
            raw.remove_prefix(length);
        }
    }
    return out;
}

void PrintMessage(std::ostream& err, std::string_view message) {
    err << "cobaltquarry-scan: " << VisibleName(message) << "\n";
}

void PrintUsageError(std::ostream& err, std::string_view message) {
    PrintMessage(err, message);
    err << "Try 'cobaltquarry-scan --help' for more information.\n";
}

std::string CountText(std::uint64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}
