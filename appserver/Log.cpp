#include "appserver/Log.h"

#include <cstdio>
#include <ctime>
#include <mutex>

namespace corvane::appserver {

namespace {
std::mutex logMutex;
std::FILE* logFile = nullptr;
}  // namespace

void Log::open(const std::string& path) {
    std::lock_guard lock(logMutex);
    if (logFile && logFile != stderr) std::fclose(logFile);
    logFile = path.empty() ? stderr : std::fopen(path.c_str(), "a");
    if (!logFile) {
        logFile = stderr;
        std::fprintf(stderr, "cannot open log file %s, logging to standard error\n", path.c_str());
    }
}

void Log::write(std::string_view text) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    std::lock_guard lock(logMutex);
    std::FILE* out = logFile ? logFile : stderr;
    std::fprintf(out, "%s %.*s\n", stamp, static_cast<int>(text.size()), text.data());
    std::fflush(out);
}

}  // namespace corvane::appserver
