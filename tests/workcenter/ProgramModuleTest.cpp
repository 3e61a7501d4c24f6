#include "workcenter/ProgramModule.h"

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"
#include "workcenter/HostProfile.h"

namespace corvane::workcenter {
namespace {

TEST(ProgramModuleTest, LoadFailuresGiveTheHostsStatuses) {
    test::TempDir modules;
    test::writeFile(modules / "BROKE01C.so", "not a library");
    struct Case {
        const char* program;
        int status;
        const char* error;
    };
    const Case cases[] = {
        {"NOPE01", lsMissing, "no program module"},
        {"BROKE01", lsLoadFailed, "cannot load"},
    };
    for (const Case& c : cases) {
        int status = 0;
        std::string error;
        EXPECT_FALSE(ProgramModule::load(modules.path().string(), c.program, status, error)) << c.program;
        EXPECT_EQ(status, c.status) << c.program;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

TEST(ProgramModuleTest, LoadsATestModuleAndHandsOutItsController) {
    int status = -99;
    std::string error;
    auto module = ProgramModule::load(MODULE_FOLDER, "TESTP01", status, error);
    ASSERT_TRUE(module) << error;
    EXPECT_EQ(status, lsLoaded);
    EXPECT_TRUE(module->controller().IsFormFreed());
    EXPECT_EQ(module->path(), std::string(MODULE_FOLDER) + "/TESTP01C.so");
}

TEST(HostProfileTest, LanguageComesFromTheClientComponentsSection) {
    test::TempDir dir;
    struct Case {
        const char* content;
        const char* language;
        const char* address;
        int port;
    };
    const Case cases[] = {
        {"[Client Components]\r\nLangType=ENG\r\n", "ENG", "127.0.0.1", 211},
        {"[client components]\nlangtype = CHT\n[Server Information]\nComputerName=10.0.0.5;10.0.0.6;\nServerPort=2110\n",
         "CHT", "10.0.0.5", 2110},
        {"[Other]\nLangType=ENG\nServerPort=9\n[Server Information]\nServerPort=x\nComputerName=;\n", "CHS",
         "127.0.0.1", 211},
        {"", "CHS", "127.0.0.1", 211},
    };
    for (const Case& c : cases) {
        test::writeFile(dir / "TessaroC.ini", c.content);
        HostProfile profile;
        EXPECT_TRUE(profile.load((dir / "TessaroC.ini").string()));
        EXPECT_EQ(profile.langType, c.language) << c.content;
        EXPECT_EQ(profile.serverAddress, c.address) << c.content;
        EXPECT_EQ(profile.serverPort, c.port) << c.content;
    }
    HostProfile missing;
    EXPECT_FALSE(missing.load((dir / "missing.ini").string()));
}

}  // namespace
}  // namespace corvane::workcenter
