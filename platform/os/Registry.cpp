#include "platform/os/Registry.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "platform/core/AsciiText.h"
#include "platform/core/CodePage.h"

namespace corvane {

namespace {

std::string keyName(std::string_view root, std::string_view path) {
    std::string key = lowerAscii(root) + "\\" + lowerAscii(path);
    while (!key.empty() && key.back() == '\\') key.pop_back();
    return key;
}

}  // namespace

std::string registryFilePath() {
    const char* env = std::getenv("TESSARO_REGISTRY");
    return env && *env ? env : kDefaultRegistryPath;
}

std::optional<RegistryKey> RegistryKey::openReadOnly(std::string_view root, std::string_view path) {
    return openReadOnlyFrom(registryFilePath(), root, path);
}

std::optional<RegistryKey> RegistryKey::openReadOnlyFrom(const std::string& file, std::string_view root,
                                                         std::string_view path) {
    std::ifstream in(file);
    if (!in) return std::nullopt;
    const std::string wanted = keyName(root, path);
    std::optional<RegistryKey> key;
    bool inside = false;
    std::string line;
    while (std::getline(in, line)) {
        std::string_view text = trimBlanks(line);
        if (text.empty() || text.front() == ';' || text.front() == '#') continue;
        if (text.front() == '[' && text.back() == ']') {
            text = text.substr(1, text.size() - 2);
            auto slash = text.find('\\');
            std::string_view sectionRoot = text.substr(0, slash);
            std::string_view sectionPath = slash == std::string_view::npos ? "" : text.substr(slash + 1);
            inside = keyName(sectionRoot, sectionPath) == wanted;
            if (inside && !key) key.emplace();
            continue;
        }
        auto eq = text.find('=');
        if (!inside || eq == std::string_view::npos) continue;
        key->values_[lowerAscii(trimBlanks(text.substr(0, eq)))] = utf8ToGbk(trimBlanks(text.substr(eq + 1)));
    }
    return key;
}

bool RegistryKey::valueExists(std::string_view name) const {
    return values_.count(lowerAscii(name)) != 0;
}

std::string RegistryKey::readString(std::string_view name) const {
    auto it = values_.find(lowerAscii(name));
    return it == values_.end() ? std::string() : it->second;
}

}  // namespace corvane
