#include "platform/os/Registry.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "platform/core/CodePage.h"

namespace corvane {

namespace {

std::string lowered(std::string_view text) {
    std::string s(text);
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::string keyName(std::string_view root, std::string_view path) {
    std::string key = lowered(root) + "\\" + lowered(path);
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
        std::string_view text = trimmed(line);
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
        key->values_[lowered(trimmed(text.substr(0, eq)))] = utf8ToGbk(trimmed(text.substr(eq + 1)));
    }
    return key;
}

bool RegistryKey::valueExists(std::string_view name) const {
    return values_.count(lowered(name)) != 0;
}

std::string RegistryKey::readString(std::string_view name) const {
    auto it = values_.find(lowered(name));
    return it == values_.end() ? std::string() : it->second;
}

}  // namespace corvane
