// The program module is loaded by name and driven through GetController:
// nothing else may leave the library.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>

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

TEST(ModuleExportsTest, OnlyGetControllerLeavesTheLibrary) {
    std::set<std::string> symbols = exportedSymbols(RESI01C_PATH);
    for (const std::string& name : symbols) EXPECT_EQ(name, "GetController") << "unexpected export " << name;
}

TEST(ModuleExportsTest, LibraryIsNamedAfterTheProgram) {
    std::string path = RESI01C_PATH;
    EXPECT_EQ(path.substr(path.rfind('/') + 1), "RESI01C.so");
}

}  // namespace
