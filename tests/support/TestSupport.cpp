#include "tests/support/TestSupport.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/core/CodePage.h"

namespace corvane {

void PrintTo(const Variant& value, std::ostream* out) {
    const Variant& v = value.deref();
    switch (v.type()) {
    case VarType::Empty: *out << "Empty"; return;
    case VarType::Null: *out << "Null"; return;
    case VarType::String: *out << "String(\"" << gbkToUtf8(v.asString()) << "\")"; return;
    case VarType::WideString: *out << "WideString(\"" << utf16ToUtf8(v.asWide()) << "\")"; return;
    case VarType::Dispatch: *out << "Dispatch"; return;
    case VarType::Array: {
        *out << "Array[";
        for (int d = 1; d <= v.dimCount(); ++d) *out << (d > 1 ? "," : "") << v.lowBound(d) << ".." << v.highBound(d);
        *out << "]{";
        bool first = true;
        for (const Variant& e : v.array().elements()) {
            *out << (first ? "" : ", ");
            PrintTo(e, out);
            first = false;
        }
        *out << "}";
        return;
    }
    default: *out << varTypeName(v.type()) << "(" << gbkToUtf8(v.toString()) << ")"; return;
    }
}

}  // namespace corvane

namespace corvane::test {

std::string utf8(std::string_view gbk) {
    return gbkToUtf8(gbk);
}

TempDir::TempDir() {
    std::random_device random;
    std::ostringstream name;
    name << "corvane-test-" << ::getpid() << "-" << std::hex << random();
    path_ = std::filesystem::temp_directory_path() / name.str();
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

ScopedEnv::ScopedEnv(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) previous_ = old;
    if (value)
        ::setenv(name_.c_str(), value->c_str(), 1);
    else
        ::unsetenv(name_.c_str());
}

ScopedEnv::~ScopedEnv() {
    if (previous_)
        ::setenv(name_.c_str(), previous_->c_str(), 1);
    else
        ::unsetenv(name_.c_str());
}

namespace {
std::string writeRegistry(const TempDir& dir, std::string_view values) {
    auto file = dir / "registry.ini";
    std::ofstream(file) << "[HKEY_LOCAL_MACHINE\\Software\\QVX\\Tessaro]\n" << values << "\n";
    return file.string();
}
}  // namespace

ScopedRegistry::ScopedRegistry(std::string_view tessaroValues)
    : env_("TESSARO_REGISTRY", writeRegistry(dir_, tessaroValues)) {}

void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

CommandRun runCommand(const std::string& shellCommand) {
    CommandRun run;
    FILE* pipe = popen(shellCommand.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    std::string line;
    while (std::fgets(buffer, sizeof buffer, pipe)) {
        line += buffer;
        if (line.back() == '\n') {
            line.pop_back();
            run.lines.push_back(std::move(line));
            line.clear();
        }
    }
    if (!line.empty()) run.lines.push_back(line);
    int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::optional<std::string> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace corvane::test
