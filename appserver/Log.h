#pragma once

// The server's log: one line per event with time and connection, to
// standard error or to a file. Safe to call from every connection thread.

#include <string>
#include <string_view>

namespace corvane::appserver {

class Log {
public:
    // An empty path logs to standard error.
    static void open(const std::string& path);
    static void write(std::string_view text);
};

}  // namespace corvane::appserver
