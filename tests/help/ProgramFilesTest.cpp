// Where the program finds its help file and plugin: beside its executable
// first (the build tree), else in the installed folders of its prefix.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/help/ProgramFiles.h"

namespace cq::help {
namespace {

class ProgramFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(tmp_.isValid());
        prefix_ = QFile::encodeName(tmp_.path()).toStdString();
        bin_ = prefix_ + "/" + CQ_TEST_BINDIR;
        data_ = prefix_ + "/" + CQ_TEST_DATADIR;
        plugins_ = prefix_ + "/" + CQ_TEST_PLUGINDIR;
        for (const std::string& dir : {bin_, data_, plugins_}) {
            ASSERT_TRUE(QDir().mkpath(QString::fromStdString(dir)));
        }
    }
    static void Touch(const std::string& path) {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QTemporaryDir tmp_;
    std::string prefix_, bin_, data_, plugins_;
};

TEST_F(ProgramFilesTest, InstalledFilesAreFoundFromTheProgramFolder) {
    Touch(data_ + "/Cobaltquarry.chm");
    Touch(plugins_ + "/libcq_hhctrl.so");
    // The paths are written without "bin/..": a help window shows them.
    EXPECT_EQ(ProgramFiles::FindData(bin_, "Cobaltquarry.chm"), data_ + "/Cobaltquarry.chm");
    EXPECT_EQ(ProgramFiles::FindPlugin(bin_ + "/", "libcq_hhctrl.so"),
              plugins_ + "/libcq_hhctrl.so");
    // Each kind is looked for in its own folder only.
    EXPECT_EQ(ProgramFiles::FindData(bin_, "libcq_hhctrl.so"), bin_ + "/libcq_hhctrl.so");
    EXPECT_EQ(ProgramFiles::FindPlugin(bin_, "Cobaltquarry.chm"), bin_ + "/Cobaltquarry.chm");
}

TEST_F(ProgramFilesTest, TheProgramFolderComesFirstAndNamesAMissingFile) {
    Touch(data_ + "/Cobaltquarry.chm");
    Touch(bin_ + "/Cobaltquarry.chm");
    EXPECT_EQ(ProgramFiles::FindData(bin_, "Cobaltquarry.chm"), bin_ + "/Cobaltquarry.chm");
    // Nothing anywhere: the name beside the program, as the build tree has it.
    EXPECT_EQ(ProgramFiles::FindPlugin(bin_, "libcq_hhctrl.so"), bin_ + "/libcq_hhctrl.so");
    // A folder of that name is not the file.
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(plugins_ + "/libcq_hhctrl.so")));
    EXPECT_EQ(ProgramFiles::FindPlugin(bin_, "libcq_hhctrl.so"), bin_ + "/libcq_hhctrl.so");
    const auto candidates = ProgramFiles::DataCandidates(bin_, "Cobaltquarry.chm");
    ASSERT_EQ(candidates.size(), 2u);
    EXPECT_EQ(candidates[0], bin_ + "/Cobaltquarry.chm");
    EXPECT_EQ(candidates[1], data_ + "/Cobaltquarry.chm");
}

}  // namespace
}  // namespace cq::help
