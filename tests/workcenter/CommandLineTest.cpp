#include "workcenter/CommandLine.h"

#include <gtest/gtest.h>

namespace corvane::workcenter {
namespace {

TEST(CommandLineTest, ReadsEveryOption) {
    std::string error;
    auto settings = parseCommandLine({"--user", "U1", "--company", "C1", "--company-db", "DB1", "--modules", "/m",
                                      "--profile", "/p/TessaroC.ini", "--language", "CHT", "--data", "/d",
                                      "--dependency-version", "7999", "--script", "-", "RESI01"},
                                     error);
    ASSERT_TRUE(settings) << error;
    EXPECT_EQ(settings->userId, "U1");
    EXPECT_EQ(settings->companyId, "C1");
    EXPECT_EQ(settings->companyDb, "DB1");
    EXPECT_EQ(settings->moduleFolder, "/m");
    EXPECT_EQ(settings->profile, "/p/TessaroC.ini");
    EXPECT_EQ(settings->language, "CHT");
    EXPECT_EQ(settings->dataFolder, "/d");
    EXPECT_EQ(settings->dependencyVersion, 7999);
    EXPECT_EQ(settings->script, "-");
    EXPECT_EQ(settings->program, "RESI01");
}

TEST(CommandLineTest, ServerAddressAndPort) {
    std::string error;
    auto settings = parseCommandLine({"--server", "127.0.0.1:40211"}, error);
    ASSERT_TRUE(settings) << error;
    EXPECT_EQ(settings->serverAddress, "127.0.0.1");
    EXPECT_EQ(settings->serverPort, 40211);
    EXPECT_FALSE(settings->noServer);
    settings = parseCommandLine({"--no-server"}, error);
    ASSERT_TRUE(settings) << error;
    EXPECT_TRUE(settings->noServer);
    EXPECT_EQ(settings->serverPort, 0);
}

TEST(CommandLineTest, DefaultsReportTheContractVersion) {
    std::string error;
    auto settings = parseCommandLine({}, error);
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->dependencyVersion, 8000);
    EXPECT_FALSE(settings->script);
}

TEST(CommandLineTest, RejectsBadCommandLines) {
    struct Case {
        std::vector<std::string> args;
        std::string error;
    };
    const Case cases[] = {
        {{"--user"}, "--user needs a value"},
        {{"--dependency-version", "80x"}, "--dependency-version needs a number"},
        {{"--language", "FRA"}, "--language must be CHS, CHT or ENG"},
        {{"--frobnicate"}, "unknown option --frobnicate"},
        {{"A", "B"}, "more than one program given"},
        {{"--user", ""}, "user, company and company database must not be empty"},
        {{"--server", "127.0.0.1"}, "--server needs ADDRESS:PORT (port 1 to 65535)"},
        {{"--server", ":211"}, "--server needs ADDRESS:PORT (port 1 to 65535)"},
        {{"--server", "localhost:0"}, "--server needs ADDRESS:PORT (port 1 to 65535)"},
        {{"--server", "localhost:65536"}, "--server needs ADDRESS:PORT (port 1 to 65535)"},
        {{"--server", "localhost:21x"}, "--server needs ADDRESS:PORT (port 1 to 65535)"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(parseCommandLine(c.args, error)) << c.error;
        EXPECT_EQ(error, c.error);
    }
}

}  // namespace
}  // namespace corvane::workcenter
