#pragma once

// A read-only registry backed by a text file. The file holds sections named
// after keys and name=value lines, UTF-8:
//
//   [HKEY_LOCAL_MACHINE\Software\QVX\Tessaro]
//   ClientPath=/opt/tessaro
//
// Its path comes from the environment variable TESSARO_REGISTRY, by default
// /etc/tessaro/registry.ini. Key and value names compare without regard to
// case; values are returned as GBK texts like every text inside the module.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

inline constexpr const char* kDefaultRegistryPath = "/etc/tessaro/registry.ini";
inline constexpr const char* kLocalMachine = "HKEY_LOCAL_MACHINE";

// The registry file in effect (the environment variable or the default).
std::string registryFilePath();

class RegistryKey {
public:
    // Opens root\path for reading; nullopt when the file or the key is missing.
    static std::optional<RegistryKey> openReadOnly(std::string_view root, std::string_view path);
    static std::optional<RegistryKey> openReadOnlyFrom(const std::string& file, std::string_view root,
                                                       std::string_view path);

    bool valueExists(std::string_view name) const;
    // The value as GBK text; "" when it is missing.
    std::string readString(std::string_view name) const;

private:
    std::map<std::string, std::string> values_;  // lower-case name -> GBK value
};

}  // namespace corvane
