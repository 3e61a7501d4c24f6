// appserver: the application server of the ERP client. One process serves
// many clients over TCP; see usageText() for the command line.

#include <csignal>
#include <cstdio>
#include <iostream>

#include "appserver/Server.h"

namespace {
corvane::appserver::Server* runningServer = nullptr;

void onSignal(int) {
    if (runningServer) runningServer->stop();
}
}  // namespace

int main(int argc, char** argv) {
    using namespace corvane::appserver;
    ServerConfig config;
    try {
        config = parseCommandLine(argc, argv);
    } catch (const std::invalid_argument& e) {
        if (*e.what()) std::cerr << "appserver: " << e.what() << "\n";
        std::cerr << usageText();
        return *e.what() ? 2 : 0;
    }
    std::signal(SIGPIPE, SIG_IGN);
    try {
        Server server(config);
        server.start();
        runningServer = &server;
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
        std::cout << "LISTENING " << config.address << " " << server.port() << std::endl;
        server.run();
        runningServer = nullptr;
    } catch (const std::exception& e) {
        std::cerr << "appserver: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
