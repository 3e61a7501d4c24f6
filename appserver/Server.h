#pragma once

// The TCP server: accepts connections on one address and port and serves
// each on a thread of its own with a session of its own. A malformed or
// oversized frame closes that connection only (logged with the reason);
// an error inside a member becomes an error reply.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace corvane::appserver {

struct ServerConfig {
    std::string address = "127.0.0.1";
    std::uint16_t port = 211;
    std::string databasePath = "corvane.db";
    std::string logPath;        // empty: standard error
    std::string portFile;       // when set, the bound port is written there
    std::size_t maxFrameSize = 16u * 1024u * 1024u;
    int maxConnections = 256;
};

// Reads the command line (and the profile it names); raises
// std::invalid_argument with a usage text on bad input.
ServerConfig parseCommandLine(int argc, char** argv);
std::string usageText();

class Server {
public:
    explicit Server(ServerConfig config);
    ~Server();

    // Opens the database (creating schema and demo data when empty) and
    // binds; the port is known afterwards.
    void start();
    std::uint16_t port() const { return port_; }
    // Accepts until stop(); returns when every connection thread ended.
    void run();
    // Safe from a signal handler: shuts the listening socket down.
    void stop();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    ServerConfig config_;
    std::uint16_t port_ = 0;
};

}  // namespace corvane::appserver
