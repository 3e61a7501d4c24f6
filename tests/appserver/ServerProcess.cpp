#include "tests/appserver/ServerProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace corvane::test {

const char* appserverPath() { return CORVANE_APPSERVER_PATH; }

ServerProcess::ServerProcess(std::string databasePath, std::string extraArgs)
    : databasePath_(std::move(databasePath)), logPath_(databasePath_ + ".log") {
    int out[2];
    if (pipe(out) != 0) throw std::runtime_error("pipe failed");
    std::vector<std::string> args{appserverPath(), "--db", databasePath_, "--port", "0", "--log", logPath_};
    std::istringstream extra(extraArgs);
    for (std::string word; extra >> word;) args.push_back(word);
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    // Read the LISTENING line, at most 30 seconds.
    std::string text;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (text.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd p{out[0], POLLIN, 0};
        if (poll(&p, 1, 200) <= 0) continue;
        char buffer[256];
        ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    close(out[0]);
    std::istringstream line(text);
    std::string word, address;
    int port = 0;
    line >> word >> address >> port;
    if (word != "LISTENING" || port <= 0) {
        kill();
        throw std::runtime_error("appserver did not start: " + text);
    }
    port_ = static_cast<std::uint16_t>(port);
}

ServerProcess::~ServerProcess() {
    if (running()) terminate();
}

bool ServerProcess::running() const { return pid_ > 0; }

void ServerProcess::waitForExit() {
    if (pid_ <= 0) return;
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
}

void ServerProcess::kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    waitForExit();
}

void ServerProcess::terminate() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    // Bounded: escalate to SIGKILL after 20 seconds.
    for (int i = 0; i < 200; ++i) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        usleep(100000);
    }
    kill();
}

}  // namespace corvane::test
