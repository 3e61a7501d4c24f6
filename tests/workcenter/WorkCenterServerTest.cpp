// The real host in script mode against the real application server over
// loopback: the test program's broker reaches the server through the
// host's validator, gateway and lookup window, and the module's own server
// object reaches it through the module's registry.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/appserver/ServerProcess.h"
#include "tests/support/TestSupport.h"

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

using HostRun = corvane::test::CommandRun;

using corvane::test::shellQuoted;

HostRun runHost(const std::string& script, const std::string& options) {
    corvane::test::TempDir dir;
    std::string scriptPath = (dir / "server.script").string();
    corvane::test::writeFile(scriptPath, script);
    std::string command = shellQuoted(WORKCENTER_PATH) + " --modules " + shellQuoted(MODULE_FOLDER) +
                          " --user DS --company DEMO --company-db DEMO " + options + " --script " +
                          shellQuoted(scriptPath) + " 2>/dev/null";
    return corvane::test::runCommand(command);
}

class WorkCenterServer : public ::testing::Test {
protected:
    void SetUp() override { server = std::make_unique<corvane::test::ServerProcess>((dir / "demo.db").string()); }
    std::string serverOption() const { return "--server 127.0.0.1:" + std::to_string(server->port()); }

    corvane::test::TempDir dir;
    std::unique_ptr<corvane::test::ServerProcess> server;
};

TEST_F(WorkCenterServer, ServicesAnswerThroughTheServer) {
    HostRun run = runHost(
        "open TESTP01\n"
        "title\n"
        "check ADMMB 06 RESI01\n"
        "check CMSMB 01 F02\n"
        "check CMSMB 01 F99\n"
        "close\n",
        serverOption());
    EXPECT_THAT(run.lines,
                ElementsAre("EVENT 256", "EVENT 272",
                            // the company's name comes from the gateway's settings
                            "TITLE [\xe7\xa7\x91\xe5\x8d\x8e\xe7\xb2\xbe\xe5\xaf\x86\xe5\x88\xb6\xe9\x80\xa0\xe6\x9c\x89"
                            "\xe9\x99\x90\xe5\x85\xac\xe5\x8f\xb8]",
                            ::testing::StartsWith("CHECK 1 "), "CHECK 1 \xe7\xac\xac\xe4\xba\x8c\xe5\xb7\xa5\xe5\x8e\x82",
                            "CHECK 0", "EVENT 320", "EVENT 304"));
    EXPECT_EQ(run.exitCode, 0);
}

TEST_F(WorkCenterServer, PickedRowsCountFromOne) {
    struct Case {
        const char* pick;
        const char* line;
    };
    const Case cases[] = {
        // the user's own phrase comes first, then everyone's
        {"pick 1", "PHRASE \xe7\x94\xb1\xe7\xb3\xbb\xe7\xbb\x9f\xe7\xae\xa1\xe7\x90\x86\xe5\x91\x98\xe7\xbb\xb4\xe6\x8a\xa4"},
        {"pick 2", "PHRASE \xe8\xae\xbe\xe5\xa4\x87\xe6\xa3\x80\xe4\xbf\xae\xe4\xb8\xad"},
        {"pick none", "PHRASE "},  // cancelled: the broker answers empty
    };
    for (const Case& c : cases) {
        HostRun run = runHost(std::string("open TESTP01\n") + c.pick + "\nphrase typed\nclose\n", serverOption());
        EXPECT_THAT(run.lines, Contains(std::string(c.line))) << c.pick;
        EXPECT_EQ(run.exitCode, 0) << c.pick;
    }
    HostRun run = runHost("open TESTP01\npick 99\nphrase typed\n", serverOption());
    EXPECT_THAT(run.lines, Contains(HasSubstr("ERROR phrase: pick 99")));
    EXPECT_NE(run.exitCode, 0);
}

TEST_F(WorkCenterServer, ModuleServerObjectReachesTheHostsServer) {
    // DS has rights on RESI01, none on the test program: the server decides.
    HostRun run = runHost("open TESTP01\nserver RESI01\nserver\nclose\n", serverOption());
    EXPECT_THAT(run.lines, ElementsAre("EVENT 256", "EVENT 272", "LOGIN 0", ::testing::StartsWith("TODAY 20"),
                                       ::testing::Not("LOGIN 0"), "EVENT 320", "EVENT 304"));
    EXPECT_EQ(run.exitCode, 0);
}

TEST_F(WorkCenterServer, UnreachableServerLeavesTheServicesAbsent) {
    std::uint16_t port = server->port();
    server->terminate();
    HostRun run = runHost("open TESTP01\ntitle\ncheck CMSMB 01 F02\nclose\n",
                          "--server 127.0.0.1:" + std::to_string(port));
    ASSERT_FALSE(run.lines.empty());
    EXPECT_THAT(run.lines[0], HasSubstr("ERROR cannot reach the application server at 127.0.0.1:" +
                                        std::to_string(port)));
    // The program still runs, its broker answering empty.
    EXPECT_THAT(run.lines, Contains("TITLE []"));
    EXPECT_THAT(run.lines, Contains("CHECK 0"));
    EXPECT_THAT(run.lines, Contains("EVENT 304"));
    EXPECT_EQ(run.exitCode, 0);
}

}  // namespace
