// Names as the user reads them: random names built from pieces whose shown
// form is known (plain letters, "%", "\", line breaks, tabs, DEL, accented
// letters) are escaped as the result lists keep them and shown again; the
// text must be the name itself with each control character as "?".
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/DriveForm.h"
#include "platform/NameText.h"
#include "views/common/DisplayText.h"

namespace {

struct TPiece {
    std::string bytes;
    QString shown;
};

const std::vector<TPiece>& Pieces() {
    static const std::vector<TPiece> pieces{
        {"a", "a"},
        {"Z", "Z"},
        {"5C", "5C"},
        {"%", "%"},
        {"%25", "%25"},  // a name that really holds these three characters
        {"\\", "\\"},
        {"\r", "?"},
        {"\n", "?"},
        {"\t", "?"},
        {"\x7f", "?"},
        {"\xc2\x85", "?"},  // NEXT LINE, a C1 control character
        {"\xc3\xa9", QString::fromUtf8("\xc3\xa9")},
        {" ", " "},
        {"<b>", "<b>"},
    };
    return pieces;
}

}  // namespace

TEST(DisplayText, ShowsTheNameItselfWithControlCharactersVisible) {
    std::mt19937 random(15);
    std::uniform_int_distribution<size_t> pick(0, Pieces().size() - 1);
    for (int round = 0; round < 2000; ++round) {
        std::string raw;
        QString expected;
        const int length = std::uniform_int_distribution<int>(1, 8)(random);
        for (int i = 0; i < length; ++i) {
            const TPiece& piece = Pieces()[pick(random)];
            raw += piece.bytes;
            expected += piece.shown;
        }
        const std::string escaped = EscapeName(raw);
        EXPECT_EQ(DisplayText(escaped), expected) << escaped;
        EXPECT_EQ(VisibleName(raw), expected) << escaped;
        // A whole drive-form path shows its separators and every name.
        EXPECT_EQ(DisplayText("C:\\" + escaped + "\\" + escaped),
                  "C:\\" + expected + "\\" + expected);
    }
}
