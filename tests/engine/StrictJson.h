#pragma once
// A plain reference of strict JSON (RFC 8259) for the tests of the export
// reader: one recursive-descent pass that says whether a text is exactly one
// JSON value with only white space around it. Bytes from 0x80 up pass in
// strings as they are (names are bytes, not always UTF-8); "\u0000" does
// not, as no name can hold a NUL. Written for clarity, not speed: the
// inputs are small.
#include <string_view>

class TStrictJson {
  public:
    static bool IsValue(std::string_view text) {
        TStrictJson json(text);
        return json.Value() && (json.Space(), json.at_ == text.size());
    }

  private:
    explicit TStrictJson(std::string_view text) : text_(text) {}

    int Peek() const { return at_ < text_.size() ? static_cast<unsigned char>(text_[at_]) : -1; }
    bool Take(char c) { return Peek() == static_cast<unsigned char>(c) && (++at_, true); }
    void Space() {
        while (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')
            ++at_;
    }
    bool Word(std::string_view word) {
        if (text_.substr(at_, word.size()) != word)
            return false;
        at_ += word.size();
        return true;
    }
    bool Digits() {
        const std::size_t from = at_;
        while (Peek() >= '0' && Peek() <= '9')
            ++at_;
        return at_ > from;
    }
    bool Number() {
        Take('-');
        if (!Take('0') && !(Peek() >= '1' && Peek() <= '9' && Digits()))
            return false;
        if (Take('.') && !Digits())
            return false;
        if (Take('e') || Take('E')) {
            if (!Take('+'))
                Take('-');
            return Digits();
        }
        return true;
    }
    bool String() {
        if (!Take('"'))
            return false;
        for (;;) {
            const int c = Peek();
            if (c < 0x20)  // the end of the text too
                return false;
            ++at_;
            if (c == '"')
                return true;
            if (c != '\\')
                continue;
            const int e = Peek();
            ++at_;
            if (e == 'u') {
                const std::string_view hex = text_.substr(at_, 4);
                if (hex.size() < 4 ||
                    hex.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos ||
                    hex == "0000")
                    return false;
                at_ += 4;
            } else if (std::string_view("\"\\/bfnrt").find(static_cast<char>(e)) ==
                           std::string_view::npos ||
                       e < 0) {
                return false;
            }
        }
    }
    // Members or elements up to the closing bracket.
    bool Container(char close, bool object) {
        Space();
        if (Take(close))
            return true;
        for (;;) {
            Space();
            if (object && !(String() && (Space(), Take(':'))))
                return false;
            if (!Value())
                return false;
            Space();
            if (Take(close))
                return true;
            if (!Take(','))
                return false;
        }
    }
    bool Value() {
        Space();
        const int c = Peek();
        if (c == '{')
            return ++at_, Container('}', true);
        if (c == '[')
            return ++at_, Container(']', false);
        if (c == '"')
            return String();
        if (c == 't')
            return Word("true");
        if (c == 'f')
            return Word("false");
        if (c == 'n')
            return Word("null");
        return Number();
    }

    std::string_view text_;
    std::size_t at_ = 0;
};
