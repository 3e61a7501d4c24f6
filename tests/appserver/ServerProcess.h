#pragma once

// Starts the real appserver executable on a free loopback port with a
// database file of the test's own, and stops it (SIGTERM, or SIGKILL when
// asked) when the object goes.

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace corvane::test {

class ServerProcess {
public:
    // Starts `appserver --db databasePath --port 0` and waits (bounded) for
    // its LISTENING line. Raises std::runtime_error when it does not start.
    explicit ServerProcess(std::string databasePath, std::string extraArgs = {});
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    std::uint16_t port() const { return port_; }
    const std::string& databasePath() const { return databasePath_; }
    const std::string& logPath() const { return logPath_; }
    bool running() const;
    void kill();       // SIGKILL and wait
    void terminate();  // SIGTERM and wait; returns once the process ended

private:
    void waitForExit();
    std::string databasePath_;
    std::string logPath_;
    pid_t pid_ = -1;
    std::uint16_t port_ = 0;
};

// The path of the appserver executable under test.
const char* appserverPath();

}  // namespace corvane::test
