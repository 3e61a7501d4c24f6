// The program module is loaded by name and driven through GetController:
// nothing else may leave the library.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>

#include "host/DLLBaseCtrller.h"

namespace {

std::set<std::string> exportedSymbols(const std::string& library) {
    std::string command = "nm -D --defined-only --format=posix '" + library + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::set<std::string> names;
    if (!pipe) return names;
    char line[1024];
    while (std::fgets(line, sizeof line, pipe.get())) {
        std::string entry(line);
        std::string name = entry.substr(0, entry.find(' '));
        char kind = entry.size() > name.size() + 1 ? entry[name.size() + 1] : '?';
        if (kind == 'A') continue;  // version-node markers, not symbols
        names.insert(name);
    }
    return names;
}

TEST(ModuleExportsTest, GetControllerIsTheOnlyExport) {
    std::set<std::string> symbols = exportedSymbols(RESI01C_PATH);
    EXPECT_EQ(symbols, std::set<std::string>{"GetController"});
}

TEST(ModuleExportsTest, LibraryIsNamedAfterTheProgram) {
    std::string path = RESI01C_PATH;
    EXPECT_EQ(path.substr(path.rfind('/') + 1), "RESI01C.so");
}

TEST(ModuleExportsTest, GetControllerHandsOutAControllerWithoutAForm) {
    std::unique_ptr<void, int (*)(void*)> library(dlopen(RESI01C_PATH, RTLD_NOW | RTLD_LOCAL), dlclose);
    ASSERT_TRUE(library) << dlerror();
    using Entry = corvane::host::TDLLBaseController* (*)();
    auto entry = reinterpret_cast<Entry>(dlsym(library.get(), "GetController"));
    ASSERT_TRUE(entry);
    std::unique_ptr<corvane::host::TDLLBaseController> controller(entry());
    ASSERT_TRUE(controller);
    EXPECT_TRUE(controller->IsFormFreed());
    EXPECT_EQ(controller->GetFormHandle(), 0);
}

}  // namespace
