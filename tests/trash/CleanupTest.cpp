// Cleanup actions: items whose names hold quotes, $( ), backquotes, blanks,
// a newline and bytes that are not UTF-8 reach the program as exactly those
// single arguments, run directly or through sh, and nothing else runs; a
// failing, stopped or missing program is told in the output window; the
// stored list reads back as written and the dialog edits it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "app/cleanup/CleanupsDialog.h"
#include "app/shell/CleanupOutputWindow.h"
#include "engine/CleanupAction.h"
#include "engine/UserSettings.h"

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "test_cleanup";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

const std::vector<std::string> kHostile = {"it's \"quoted\"",
                                           "$(touch PWNED)",
                                           "`touch PWNED`",
                                           "a  b ; touch PWNED",
                                           "new\nline",
                                           "\xff\xfe not utf-8",
                                           "-n",
                                           "%p %n",
                                           "*"};

class Cleanup : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        ASSERT_TRUE(dir.isValid());
        root = QFile::encodeName(dir.path()).toStdString();
        probeOut = root + "/argv";
        qputenv("CQ_PROBE_OUT", QByteArray::fromStdString(probeOut));
        qunsetenv("CQ_PROBE_EXIT");
        ASSERT_EQ(::mkdir((root + "/items").c_str(), 0755), 0);
        for (const std::string& name : kHostile)
            std::ofstream(root + "/items/" + name) << "x";
    }

    // QTemporaryDir cannot remove a name that is not UTF-8.
    void TearDown() override { std::filesystem::remove_all(root + "/items"); }

    // Runs the argument vectors in the output window until it has ended.
    bool Run(std::vector<std::vector<std::string>> runs, QString* output = nullptr,
             bool stop = false) {
        TCleanupOutputWindow window("probe", std::move(runs), nullptr);
        std::optional<bool> ended;
        window.Ended = [&ended](bool ok) { ended = ok; };
        window.Start();
        if (stop) {
            QTest::qWait(200);
            window.StopButton()->click();
        }
        EXPECT_TRUE(QTest::qWaitFor([&ended] { return ended.has_value(); }, 20000));
        if (output)
            *output = window.Output();
        return ended.value_or(false);
    }

    // The argument vectors the probe recorded, one a call.
    std::vector<std::vector<std::string>> Recorded() const {
        std::ifstream in(probeOut, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        std::vector<std::vector<std::string>> calls(1);
        std::string argument;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\0') {
                calls.back().push_back(argument);
                argument.clear();
            } else if (text[i] == '\n' && argument.empty()) {
                calls.emplace_back();
            } else {
                argument += text[i];
            }
        }
        calls.pop_back();
        return calls;
    }

    QTemporaryDir dir;
    std::string root, probeOut;
};

TEST_F(Cleanup, NamesArriveAsExactSingleArgumentsDirectlyAndThroughTheShell) {
    TCleanupAction direct;
    direct.Program = CQ_PROBE;
    direct.Arguments = {"%p", "%n", "--in=%d", "100%%", "%x"};
    TCleanupAction shell;
    shell.Shell = true;
    shell.Program = std::string("cd \"$2\" && exec '") + CQ_PROBE + "' \"$1\" \"$@\"";
    shell.Arguments = {"%n", "%d"};
    std::vector<std::vector<std::string>> runs, expected;
    for (const std::string& name : kHostile) {
        const std::string path = root + "/items/" + name;
        runs.push_back(CleanupArgv(direct, path));
        expected.push_back({path, name, "--in=" + root + "/items", "100%", "%x"});
        runs.push_back(CleanupArgv(shell, path));
        expected.push_back({name, name, root + "/items"});
    }
    QString output;
    EXPECT_TRUE(Run(runs, &output)) << output.toStdString();
    EXPECT_EQ(Recorded(), expected);
    // Nothing a name held ran: no file was made anywhere near.
    for (const std::string& where : {root, root + "/items", QDir::currentPath().toStdString()})
        EXPECT_FALSE(QFile::exists(QFile::decodeName((where + "/PWNED").c_str()))) << where;
    std::size_t entries = 0;
    for (auto it = std::filesystem::directory_iterator(root + "/items");
         it != std::filesystem::directory_iterator(); ++it)
        ++entries;
    EXPECT_EQ(entries, kHostile.size());
    EXPECT_EQ(output.count("Exit status 0."), int(runs.size()));
}

TEST_F(Cleanup, FailuresAreToldAndStopEndsTheRun) {
    QString output;
    qputenv("CQ_PROBE_EXIT", "3");
    EXPECT_FALSE(Run({{CQ_PROBE, "a"}, {CQ_PROBE, "b"}}, &output));
    EXPECT_EQ(output.count("Exit status 3."), 2) << output.toStdString();
    qunsetenv("CQ_PROBE_EXIT");
    // One run of several fails: the whole is a failure, the others ran.
    EXPECT_FALSE(Run({{CQ_PROBE, "c"}, {"sh", "-c", "exit 1"}, {CQ_PROBE, "d"}}, &output));
    EXPECT_EQ(Recorded().size(), 4u);
    EXPECT_FALSE(Run({{"no-such-program-anywhere", "x"}}, &output));
    EXPECT_TRUE(output.contains("was not found")) << output.toStdString();
    // Stop ends the running program and runs no further item.
    EXPECT_FALSE(Run({{"sleep", "30"}, {CQ_PROBE, "never"}}, &output, true));
    EXPECT_TRUE(output.contains("Stopped.")) << output.toStdString();
    EXPECT_EQ(Recorded().size(), 4u);
}

TEST_F(Cleanup, StoredActionsReadBackAndThePredefinedOnesStartOff) {
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    std::vector<TCleanupAction> actions;
    std::string problem;
    ASSERT_TRUE(LoadCleanups(actions, problem)) << problem;
    EXPECT_EQ(actions, PredefinedCleanups());
    ASSERT_EQ(actions.size(), 4u);
    for (const TCleanupAction& action : actions)
        EXPECT_FALSE(action.Enabled) << action.Title;
    actions[1].Enabled = true;
    actions[2].Arguments.push_back("\"'$x\n");
    actions[3].Applies = TCleanupAction::TApplies::Files;
    actions[3].Rescan = TCleanupAction::TRescan::Nothing;
    ASSERT_TRUE(SaveCleanups(actions, problem)) << problem;
    std::vector<TCleanupAction> read;
    ASSERT_TRUE(LoadCleanups(read, problem)) << problem;
    EXPECT_EQ(read, actions);
    // A damaged file is told; the predefined set is offered meanwhile.
    std::ofstream(UserSettings::PathOf("cleanups.json")) << "{not a list";
    EXPECT_FALSE(LoadCleanups(read, problem));
    EXPECT_FALSE(problem.empty());
    EXPECT_EQ(read, PredefinedCleanups());

    // The dialog: a new action, edited and stored.
    ASSERT_TRUE(SaveCleanups(actions, problem));
    TCleanupsDialog dialog(nullptr);
    QString told;
    dialog.Tell = [&told](const QString& text) { told = text; };
    dialog.AddAction();
    dialog.TitleField()->setText("Probe");
    dialog.ProgramField()->setText(CQ_PROBE);
    dialog.ArgumentsField()->setPlainText("%p\n--name=%n");
    dialog.accept();
    EXPECT_TRUE(told.isEmpty()) << told.toStdString();
    ASSERT_TRUE(LoadCleanups(read, problem));
    ASSERT_EQ(read.size(), 5u);
    EXPECT_EQ(read[4].Title, "Probe");
    EXPECT_EQ(read[4].Arguments, (std::vector<std::string>{"%p", "--name=%n"}));
    EXPECT_EQ(CleanupRescanFolder(read[4], "/a/b", true), "");
    read[4].Rescan = TCleanupAction::TRescan::ItsFolder;
    EXPECT_EQ(CleanupRescanFolder(read[4], "/a/b", true), "/a/b");
    EXPECT_EQ(CleanupRescanFolder(read[4], "/a/b", false), "/a");
    read[4].Rescan = TCleanupAction::TRescan::Parent;
    EXPECT_EQ(CleanupRescanFolder(read[4], "/a/b", true), "/a");
    // A title left empty is refused and nothing is stored.
    dialog.TitleField()->clear();
    dialog.accept();
    EXPECT_FALSE(told.isEmpty());
    ASSERT_TRUE(LoadCleanups(read, problem));
    EXPECT_EQ(read[4].Title, "Probe");
}

}  // namespace
