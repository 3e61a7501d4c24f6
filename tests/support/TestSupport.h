#pragma once

// Helpers shared by the tests: GBK texts shown as UTF-8 in failure
// messages, variants printed readably, and scoped temporary folders and
// environment variables.

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Variant.h"

namespace corvane {

// Lets gtest print variants in failure messages (texts as UTF-8).
void PrintTo(const Variant& value, std::ostream* out);

}  // namespace corvane

namespace corvane::test {

// A GBK text as UTF-8, for messages.
std::string utf8(std::string_view gbk);

// A fresh folder under the temp folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Sets (or unsets, with nullopt) an environment variable for the scope.
class ScopedEnv {
public:
    ScopedEnv(std::string name, std::optional<std::string> value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};

// A registry file holding Software\QVX\Tessaro with the given values,
// in effect (TESSARO_REGISTRY) for the scope.
class ScopedRegistry {
public:
    explicit ScopedRegistry(std::string_view tessaroValues);

private:
    TempDir dir_;
    ScopedEnv env_;
};

// Writes bytes to a file, replacing it.
void writeFile(const std::filesystem::path& path, std::string_view bytes);

// What a command printed on standard output, a line each, and its exit
// status (-1 when it did not exit normally or could not start).
struct CommandRun {
    std::vector<std::string> lines;
    int exitCode = -1;
};
CommandRun runCommand(const std::string& shellCommand);
// The text as one single-quoted shell word.
std::string shellQuoted(const std::string& text);

// The whole content of a file, or nullopt when it cannot be read.
std::optional<std::string> readFile(const std::filesystem::path& path);

}  // namespace corvane::test
