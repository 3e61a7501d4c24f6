#include "platform/os/Registry.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/os/FileSystem.h"
#include "tests/support/TestSupport.h"

namespace corvane {
namespace {

TEST(RegistryTest, ReadsKeysAndValuesWithoutRegardToCase) {
    test::TempDir dir;
    std::ofstream(dir / "reg.ini") << "; machine settings\n"
                                      "[HKEY_LOCAL_MACHINE\\Software\\Other]\n"
                                      "ClientPath=/wrong\n"
                                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\QVX\\Tessaro]\n"
                                      "  ClientPath = /opt/\xe8\xb5\x84\xe6\xba\x90 \n"  // UTF-8 in the file
                                      "UseKBIG5=1\n";
    auto key = RegistryKey::openReadOnlyFrom((dir / "reg.ini").string(), kLocalMachine, "Software\\QVX\\Tessaro\\");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->readString("clientpath"), "/opt/资源");  // GBK inside the module
    EXPECT_TRUE(key->valueExists("USEKBIG5"));
    EXPECT_EQ(key->readString("ServerPath"), "");
    EXPECT_FALSE(RegistryKey::openReadOnlyFrom((dir / "reg.ini").string(), kLocalMachine, "Software\\Missing"));
    EXPECT_FALSE(RegistryKey::openReadOnlyFrom((dir / "none.ini").string(), kLocalMachine, "Software"));
}

TEST(RegistryTest, FileComesFromTheEnvironment) {
    {
        test::ScopedEnv env("TESSARO_REGISTRY", "/tmp/elsewhere.ini");
        EXPECT_EQ(registryFilePath(), "/tmp/elsewhere.ini");
    }
    test::ScopedEnv env("TESSARO_REGISTRY", std::nullopt);
    EXPECT_EQ(registryFilePath(), kDefaultRegistryPath);
}

TEST(FileSystemTest, ModulePathsBecomeNativePaths) {
    EXPECT_EQ(nativePath("C:\\Tessaro\\Log\\a.log"), "/Tessaro/Log/a.log");
    EXPECT_EQ(nativePath("/opt/资源\\Log"), "/opt/\xe8\xb5\x84\xe6\xba\x90/Log");
}

TEST(FileSystemTest, CreatesFoldersAndAppends) {
    test::TempDir dir;
    std::string folder = dir.path().string() + "\\a\\b";
    ASSERT_TRUE(forceDirectories(folder));
    ASSERT_TRUE(appendToFile(folder + "\\x.txt", "one\r\n"));
    ASSERT_TRUE(appendToFile(folder + "\\x.txt", "two\r\n"));
    EXPECT_EQ(test::readFile(dir / "a/b/x.txt"), "one\r\ntwo\r\n");
    EXPECT_FALSE(appendToFile(folder + "\\missing\\x.txt", "z"));
}

}  // namespace
}  // namespace corvane
