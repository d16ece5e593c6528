#include <gtest/gtest.h>

#include "views/common/PathText.h"

TEST(RemoveParentDir, TakesTheLastNameWithACapitalFirstLetter) {
    EXPECT_EQ("Program files", RemoveParentDir("C:\\Program files"));
    EXPECT_EQ("Program files", RemoveParentDir("C:\\program files"));
    EXPECT_EQ("C:", RemoveParentDir("C:"));
    EXPECT_EQ("", RemoveParentDir("C:\\"));
    EXPECT_EQ("Readme.TXT", RemoveParentDir("D:\\a\\b\\readme.TXT"));
    EXPECT_EQ(".hidden", RemoveParentDir("C:\\.hidden"));
    EXPECT_EQ("\xe9t\xe9", RemoveParentDir("C:\\\xe9t\xe9"));  // only a to z change
    EXPECT_EQ("Name", RemoveParentDir("name"));
}
