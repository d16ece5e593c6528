#include <gtest/gtest.h>

#include "engine/StringList.h"

// Names are kept as raw bytes: a non-UTF-8 byte and an embedded CR must
// survive a copy unchanged.
TEST(StringList, KeepsRawBytes) {
    TStringList l{std::string("caf\xe9"), std::string("a\rb")};
    TStringList copy = l;
    EXPECT_EQ(copy[0].size(), 4u);
    EXPECT_EQ(static_cast<unsigned char>(copy[0][3]), 0xE9);
    EXPECT_EQ(copy[1][1], '\r');
}
