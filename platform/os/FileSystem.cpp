#include "platform/os/FileSystem.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/core/CodePage.h"

namespace corvane {

std::string nativePath(std::string_view modulePath) {
    std::string path = gbkToUtf8(modulePath);
    for (char& c : path)
        if (c == '\\') c = '/';
    if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) path.erase(0, 2);
    return path;
}

std::string executableFolder() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return utf8ToGbk(exe.parent_path().string());
}

bool forceDirectories(std::string_view modulePath) {
    std::error_code ec;
    std::filesystem::path path(nativePath(modulePath));
    std::filesystem::create_directories(path, ec);
    return !ec && std::filesystem::is_directory(path, ec);
}

bool appendToFile(std::string_view modulePath, std::string_view bytes) {
    int fd = ::open(nativePath(modulePath).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = true;
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return ::close(fd) == 0 && ok;
}

std::string currentUserName() {
    if (const passwd* pw = ::getpwuid(::geteuid())) return utf8ToGbk(pw->pw_name);
    const char* user = std::getenv("USER");
    return user ? utf8ToGbk(user) : std::string();
}

std::string tempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = tmp && *tmp ? tmp : "/tmp";
    if (folder.back() != '/') folder += '/';
    return utf8ToGbk(folder);
}

}  // namespace corvane
