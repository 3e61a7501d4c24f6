// The work centre in script mode, driving the test program module TESTP01C.so.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

using HostRun = corvane::test::CommandRun;

using corvane::test::shellQuoted;

// Runs the host with the script (a file, or standard input with "-").
HostRun runHost(const std::string& script, const std::string& extraOptions = "", bool viaStdin = false) {
    corvane::test::TempDir dir;
    std::string scriptPath = (dir / "test.script").string();
    corvane::test::writeFile(scriptPath, script);
    std::string command = shellQuoted(WORKCENTER_PATH) + " --modules " + shellQuoted(MODULE_FOLDER) + " --no-server " + extraOptions +
                          (viaStdin ? " --script - < " + shellQuoted(scriptPath) : " --script " + shellQuoted(scriptPath));
    return corvane::test::runCommand(command);
}

TEST(WorkCenterScriptTest, OpenShowsTheWindowAndCloseDestroysIt) {
    HostRun run = runHost("# open, look, close\nopen TESTP01\ndump state\nclose\n");
    EXPECT_THAT(run.lines, ElementsAre("EVENT 256", "EVENT 272", "STATE 0", "EVENT 320", "EVENT 304"));
    EXPECT_EQ(run.exitCode, 0);
}

TEST(WorkCenterScriptTest, ScriptFromStandardInput) {
    HostRun run = runHost("open testp01 1\nclose\n", "", true);
    EXPECT_THAT(run.lines, ElementsAre("EVENT 256", "EVENT 272", "EVENT 320", "EVENT 304"));
    EXPECT_EQ(run.exitCode, 0);
}

TEST(WorkCenterScriptTest, WindowLeftOpenIsClosedWhenTheScriptEnds) {
    HostRun run = runHost("open TESTP01\n");
    EXPECT_THAT(run.lines, ElementsAre("EVENT 256", "EVENT 272", "EVENT 320", "EVENT 304"));
    EXPECT_EQ(run.exitCode, 0);
}

TEST(WorkCenterScriptTest, HostOfAnotherVersionIsRefusedWithTwoMessages) {
    struct Case {
        const char* version;
        const char* first;
    };
    const Case cases[] = {
        {"7999", "MSG - - CorvaneWorkCenter version too old,please update."},
        {"8001", "MSG - - This program's version is too old, please update."},
    };
    for (const Case& c : cases) {
        HostRun run = runHost("answer 1\nanswer 1\nopen TESTP01\ndump state\n",
                          std::string("--dependency-version ") + c.version);
        ASSERT_EQ(run.lines.size(), 3u) << c.version;
        EXPECT_EQ(run.lines[0], c.first);
        EXPECT_EQ(run.lines[1], "MSG - - CorvaneWorkCenter version too old,please update!");
        EXPECT_EQ(run.lines[2].rfind("ERROR CorvaneWorkCenter version too old,please update!", 0), 0u) << run.lines[2];
        EXPECT_NE(run.exitCode, 0);
    }
}

TEST(WorkCenterScriptTest, BrokerMessagesComeFromTheMessageFiles) {
    HostRun run = runHost("open TESTP01\nanswer 1\nshowmsg E 000002 MB001\nclose\n", "--language ENG");
    EXPECT_THAT(run.lines, ElementsAre("EVENT 256", "EVENT 272", "MSG E 000002 MB001 already exists, please enter it again!",
                                       "ANSWER 1", "EVENT 320", "EVENT 304"));
    EXPECT_EQ(run.exitCode, 0);

    HostRun chinese = runHost("open TESTP01\nanswer 1\nshowmsg E 000002 \xe8\xb5\x84\xe6\xba\x90\nclose\n");
    ASSERT_GE(chinese.lines.size(), 3u);
    EXPECT_EQ(chinese.lines[2], "MSG E 000002 \xe8\xb5\x84\xe6\xba\x90\xe5\xb7\xb2\xe5\xad\x98\xe5\x9c\xa8,"
                                "\xe8\xaf\xb7\xe9\x87\x8d\xe6\x96\xb0\xe8\xbe\x93\xe5\x85\xa5!");
}

TEST(WorkCenterScriptTest, DialogWithoutAQueuedAnswerFailsTheRun) {
    HostRun run = runHost("open TESTP01\nshowmsg E 000001 MB001\nclose\n", "--language ENG");
    EXPECT_THAT(run.lines, ElementsAreArray({"EVENT 256", "EVENT 272", "MSG E 000001 MB001 does not exist, please enter it again!",
                                             "ERROR no answer was queued for this dialog", "ANSWER 1",
                                             "EVENT 320", "EVENT 304"}));
    EXPECT_NE(run.exitCode, 0);
}

TEST(WorkCenterScriptTest, CancelledWarningEndsTheOperationSilently) {
    HostRun run = runHost("open TESTP01\nanswer 2\nshowmsg W 000004 MB003\nclose\n", "--language ENG");
    EXPECT_THAT(run.lines, ElementsAre("EVENT 256", "EVENT 272", "MSG W 000004 MB003 does not exist. Go on?",
                                       "EVENT 320", "EVENT 304"));
    EXPECT_EQ(run.exitCode, 0);
}

TEST(WorkCenterScriptTest, OpeningAMissingProgramShowsItsStatusText) {
    HostRun run = runHost("open TESTP01\nanswer 1\nexec NOPE01\nclose\n");
    ASSERT_GE(run.lines.size(), 5u);
    EXPECT_EQ(run.lines[2].rfind("ERROR no program module", 0), 0u) << run.lines[2];
    // E 000032 "%s" with "[NOPE01]作业程序文档不存在!"
    EXPECT_EQ(run.lines[3], "MSG E 000032 [NOPE01]\xe4\xbd\x9c\xe4\xb8\x9a\xe7\xa8\x8b\xe5\xba\x8f\xe6\x96\x87"
                            "\xe6\xa1\xa3\xe4\xb8\x8d\xe5\xad\x98\xe5\x9c\xa8!");
    EXPECT_EQ(run.lines[4], "STATUS -1");
    EXPECT_EQ(run.exitCode, 0);
}

TEST(WorkCenterScriptTest, AProgramOpensAnotherThroughTheHost) {
    HostRun run = runHost("open TESTP01\nexec TESTP01\ndump state\nclose\nclose\n");
    EXPECT_THAT(run.lines, ElementsAreArray({"EVENT 256", "EVENT 272",                  // the first window
                                             "EVENT 256", "EVENT 272", "STATUS 0",     // the second one
                                             "STATE 0", "EVENT 320", "EVENT 304",      // closes the second
                                             "EVENT 320", "EVENT 304"}));              // then the first
    EXPECT_EQ(run.exitCode, 0);
}

TEST(WorkCenterScriptTest, HelpRequestsReachTheHost) {
    HostRun run = runHost("open TESTP01\nhelp 11010000\nclose\n");
    EXPECT_THAT(run.lines, ElementsAre("EVENT 256", "EVENT 272", "HELP TES 11010000", "EVENT 320", "EVENT 304"));
    EXPECT_EQ(run.exitCode, 0);
}

// Width and height from a PNG's header; 0 x 0 when it is not a PNG.
std::pair<unsigned, unsigned> pngSize(const std::string& bytes) {
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return {0, 0};
    auto be32 = [&bytes](std::size_t at) {
        unsigned value = 0;
        for (std::size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
        return value;
    };
    return {be32(16), be32(20)};
}

TEST(WorkCenterScriptTest, ScreenshotSavesTheWindowAsPng) {
    corvane::test::TempDir dir;
    std::string file = (dir / "testp01.png").string();
    HostRun run = runHost("open TESTP01\nscreenshot " + file + "\nclose\n");
    EXPECT_THAT(run.lines, ElementsAre("EVENT 256", "EVENT 272", "EVENT 320", "EVENT 304"));
    EXPECT_EQ(run.exitCode, 0);
    auto [width, height] = pngSize(corvane::test::readFile(file).value_or(""));
    EXPECT_EQ(width, 480u);
    EXPECT_GE(height, 200u);
}

TEST(WorkCenterScriptTest, FailedCommandsStopTheRun) {
    struct Case {
        const char* script;
        const char* error;
    };
    const Case cases[] = {
        {"open NOPE01\ndump state\n", "ERROR no program module"},
        {"dump state\n", "ERROR dump: no window is open"},
        {"answer 3\n", "ERROR answer needs 1, 2, 6, 7 or 10"},
        {"pick 0\n", "ERROR pick needs a row number (from 1) or none"},
        {"open TESTP01 x\n", "ERROR open: the run mode must be a number"},
        {"open TESTP01\nfrobnicate\n", "ERROR frobnicate: unknown command frobnicate"},
        {"screenshot /tmp/x.png\n", "ERROR screenshot: no window is open"},
        {"open TESTP01\nscreenshot\n", "ERROR screenshot needs a file name"},
        {"open TESTP01\nscreenshot /nonexistent-folder/x.png\n", "ERROR screenshot: cannot save"},
    };
    for (const Case& c : cases) {
        HostRun run = runHost(c.script);
        bool found = false;
        for (const std::string& line : run.lines) found = found || line.rfind(c.error, 0) == 0;
        EXPECT_TRUE(found) << c.script;
        EXPECT_NE(run.exitCode, 0) << c.script;
        for (const std::string& line : run.lines) EXPECT_NE(line, "STATE 0") << c.script;
    }
}

}  // namespace
