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
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(parseCommandLine(c.args, error)) << c.error;
        EXPECT_EQ(error, c.error);
    }
}

}  // namespace
}  // namespace corvane::workcenter
