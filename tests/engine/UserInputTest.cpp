// What the user types or keeps in the settings folder: size arguments at
// each suffix's limit and one past it, and settings files written whole and
// refused when they are not plain files of the user's own.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <cstdint>
#include <limits>
#include <string>

#include "engine/SizeArgument.h"
#include "engine/UserSettings.h"

namespace {

TEST(SizeArgumentTest, SuffixesAndLimits) {
    struct Case {
        const char* text;
        bool ok;
        std::int64_t bytes;
    };
    constexpr std::int64_t most = std::numeric_limits<std::int64_t>::max();
    const Case cases[] = {
        {"0", true, 0},
        {"512", true, 512},
        {"64k", true, 64 * 1024},
        {"10M", true, 10 * 1024 * 1024},
        {"2G", true, std::int64_t{2} << 30},
        {"9223372036854775807", true, most},
        {"9223372036854775808", false, 0},
        {"8589934591G", true, std::int64_t{8589934591} << 30},
        {"8589934592G", false, 0},
        {"", false, 0},
        {"K", false, 0},
        {"-1", false, 0},
        {"+1", false, 0},
        {"1.5M", false, 0},
        {"1T", false, 0},
        {" 1", false, 0},
        {"1KB", false, 0},
    };
    for (const Case& c : cases) {
        std::int64_t bytes = -7;
        std::string problem;
        EXPECT_EQ(ParseSizeArgument(c.text, bytes, problem), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(bytes, c.bytes) << c.text;
            EXPECT_TRUE(problem.empty());
        } else {
            EXPECT_NE(problem.find(std::string("\"") + c.text + "\""), std::string::npos)
                << problem;
        }
    }
}

class UserSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        setenv("XDG_CONFIG_HOME", home_.path().toStdString().c_str(), 1);
    }
    void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }
    QTemporaryDir home_;
};

TEST_F(UserSettingsTest, MissingIsEmptyAndAWriteReadsBackWhole) {
    std::string bytes = "old";
    std::string problem;
    EXPECT_TRUE(UserSettings::Read("rules", bytes, problem));
    EXPECT_TRUE(bytes.empty());
    const std::string text("a\0b\r\nnon-UTF-8 \xff\n", 17);
    ASSERT_TRUE(UserSettings::Write("rules", text, problem)) << problem;
    ASSERT_TRUE(UserSettings::Read("rules", bytes, problem)) << problem;
    EXPECT_EQ(bytes, text);
    struct stat info {};
    ASSERT_EQ(stat((home_.path().toStdString() + "/cobaltquarry").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 077, 0u);
}

TEST_F(UserSettingsTest, ALinkOrAFileTooLargeIsRefusedWithItsPath) {
    std::string problem;
    const std::string path = UserSettings::PathOf("rules", &problem);
    ASSERT_FALSE(path.empty()) << problem;
    ASSERT_EQ(symlink("/etc/passwd", path.c_str()), 0);
    std::string bytes;
    EXPECT_FALSE(UserSettings::Read("rules", bytes, problem));
    EXPECT_NE(problem.find(path), std::string::npos) << problem;
    EXPECT_TRUE(bytes.empty());
    ASSERT_EQ(unlink(path.c_str()), 0);

    ASSERT_TRUE(UserSettings::Write("rules", std::string(UserSettings::kMostBytes, 'x'), problem));
    EXPECT_TRUE(UserSettings::Read("rules", bytes, problem)) << problem;
    ASSERT_TRUE(
        UserSettings::Write("rules", std::string(UserSettings::kMostBytes + 1, 'x'), problem));
    EXPECT_FALSE(UserSettings::Read("rules", bytes, problem));
    EXPECT_NE(problem.find("larger"), std::string::npos) << problem;
}

}  // namespace
