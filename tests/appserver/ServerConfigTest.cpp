#include <gtest/gtest.h>

#include <stdexcept>

#include "appserver/Server.h"
#include "tests/support/TestSupport.h"

using namespace corvane;
using namespace corvane::appserver;

namespace {

ServerConfig parse(std::vector<std::string> args) {
    args.insert(args.begin(), "appserver");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    return parseCommandLine(static_cast<int>(argv.size()), argv.data());
}

}  // namespace

TEST(ServerConfig, DefaultsProfileAndCommandLine) {
    ServerConfig defaults = parse({});
    EXPECT_EQ(defaults.address, "127.0.0.1");
    EXPECT_EQ(defaults.port, 211);

    test::TempDir dir;
    test::writeFile(dir / "TessaroS.ini",
                    "[DBE Setting]\r\nMainDBName=/data/corvane.db\r\n[DBPasswordCtrl]\r\nComputerName = 127.0.0.2\r\nServerPort=2110\r\n");
    std::string profile = (dir / "TessaroS.ini").string();
    ServerConfig fromProfile = parse({"--profile", profile});
    EXPECT_EQ(fromProfile.address, "127.0.0.2");
    EXPECT_EQ(fromProfile.port, 2110);
    EXPECT_EQ(fromProfile.databasePath, "/data/corvane.db");
    // The command line wins over the profile, whatever the order.
    ServerConfig both = parse({"--port", "0", "--profile", profile, "--db", "x.db", "--log", "s.log"});
    EXPECT_EQ(both.port, 0);
    EXPECT_EQ(both.databasePath, "x.db");
    EXPECT_EQ(both.logPath, "s.log");
    EXPECT_EQ(both.address, "127.0.0.2");

    const std::vector<std::vector<std::string>> refused = {
        {"--port", "70000"}, {"--port", "12x"}, {"--port"}, {"--bogus", "1"}, {"--profile", (dir / "missing.ini").string()},
        {"--max-frame", "10"}, {"--frame-timeout", "0"}, {"--help"}};
    for (const auto& args : refused) EXPECT_THROW(parse(args), std::invalid_argument) << args[0];
}
