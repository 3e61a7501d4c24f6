#include "appserver/Server.h"

#include <asio.hpp>

#include <poll.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <list>
#include <map>
#include <stdexcept>

#include "appserver/AppServerObject.h"
#include "appserver/GatewayObject.h"
#include "appserver/Log.h"
#include "appserver/Schema.h"
#include "appserver/ServerText.h"
#include "appserver/Session.h"
#include "platform/core/CodePage.h"
#include "platform/wire/Codec.h"
#include "platform/wire/Frame.h"
#include "platform/wire/Message.h"

namespace corvane::appserver {

using asio::ip::tcp;

namespace {

constexpr std::size_t kMaxObjectsPerConnection = 64;

std::shared_ptr<Dispatch> createObject(std::string_view progId, Session& session) {
    std::string id = upperAscii(progId);
    if (id == "COPIS01S.CLASS1") return std::make_shared<AppServerObject>(session);
    if (id == "F2WINDOWS.CLASS1") return std::make_shared<LookupServerObject>(session);
    if (id == "CORVANEGATEWAY.CLASS1") return std::make_shared<GatewayObject>(session);
    throw EOleError("no server object is registered as " + std::string(progId));
}

wire::Reply errorReply(const std::exception& e) {
    wire::Reply reply;
    reply.ok = false;
    reply.errorClass = exceptionClassName(e);
    reply.errorMessage = utf8ToUtf16(e.what());
    return reply;
}

// The objects of one connection and the requests on them.
class Connection {
public:
    explicit Connection(const std::string& databasePath) : session_(databasePath) {}

    wire::Reply handle(const wire::Request& request) {
        try {
            return dispatch(request);
        } catch (const std::exception& e) {
            return errorReply(e);
        }
    }

private:
    std::shared_ptr<Dispatch> object(std::uint32_t id) {
        auto it = objects_.find(id);
        if (it == objects_.end()) throw EOleError("no object " + std::to_string(id) + " on this connection");
        return it->second;
    }

    wire::Reply dispatch(const wire::Request& request) {
        wire::Reply reply;
        switch (request.kind) {
        case wire::RequestKind::Create: {
            if (objects_.size() >= kMaxObjectsPerConnection) throw EOleError("too many objects on one connection");
            auto created = createObject(request.name, session_);
            std::uint32_t id = nextId_++;
            objects_[id] = std::move(created);
            reply.result = Variant(static_cast<long long>(id));
            return reply;
        }
        case wire::RequestKind::Release:
            objects_.erase(request.objectId);
            return reply;
        case wire::RequestKind::GetProperty:
            reply.result = object(request.objectId)->getProperty(request.name);
            return reply;
        case wire::RequestKind::PutProperty:
            if (request.args.size() != 1) throw EOleError("a property takes exactly one value");
            object(request.objectId)->putProperty(request.name, request.args[0]);
            return reply;
        case wire::RequestKind::Invoke: {
            auto target = object(request.objectId);
            std::vector<Variant> args;
            std::vector<std::shared_ptr<Variant>> cells;
            args.reserve(request.args.size());
            for (std::size_t i = 0; i < request.args.size(); ++i) {
                if (i < request.byRef.size() && request.byRef[i]) {
                    cells.push_back(std::make_shared<Variant>(request.args[i]));
                    args.push_back(Variant::ref(cells.back()));
                } else {
                    args.push_back(request.args[i]);
                }
            }
            reply.result = target->invoke(request.name, args);
            for (const auto& cell : cells) reply.outArgs.push_back(*cell);
            return reply;
        }
        }
        throw EOleError("unknown request");
    }

    Session session_;
    std::map<std::uint32_t, std::shared_ptr<Dispatch>> objects_;
    std::uint32_t nextId_ = 1;
};

// Reads exactly n bytes before the deadline.
bool readWithin(tcp::socket& s, char* data, std::size_t n, std::chrono::steady_clock::time_point deadline,
                std::string& why) {
    std::size_t got = 0;
    while (got < n) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            why = "the frame did not arrive in time";
            return false;
        }
        pollfd p{s.native_handle(), POLLIN, 0};
        int ready = ::poll(&p, 1, static_cast<int>(std::min<long long>(left.count(), 1000)));
        if (ready < 0 && errno != EINTR) {
            why = std::strerror(errno);
            return false;
        }
        if (ready <= 0) continue;
        asio::error_code ec;
        std::size_t k = s.read_some(asio::buffer(data + got, n - got), ec);
        if (ec) {
            why = ec.message();
            return false;
        }
        got += k;
    }
    return true;
}

std::map<std::string, std::map<std::string, std::string>> readIni(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::invalid_argument("cannot read the profile " + path);
    std::map<std::string, std::map<std::string, std::string>> ini;
    std::string line, section;
    while (std::getline(in, line)) {
        line = trimmedCopy(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            section = upperAscii(trimmedCopy(line.substr(1, line.size() - 2)));
            continue;
        }
        std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        ini[section][upperAscii(trimmedCopy(line.substr(0, eq)))] = trimmedCopy(line.substr(eq + 1));
    }
    return ini;
}

std::uint16_t parsePort(const std::string& text) {
    try {
        std::size_t used = 0;
        long v = std::stol(text, &used);
        if (used == text.size() && v >= 0 && v <= 65535) return static_cast<std::uint16_t>(v);
    } catch (const std::exception&) {
    }
    throw std::invalid_argument("invalid port " + text);
}

}  // namespace

std::string usageText() {
    return "usage: appserver [--db FILE] [--address ADDRESS] [--port PORT] [--profile TessaroS.ini]\n"
           "                 [--log FILE] [--port-file FILE] [--max-frame BYTES]\n"
           "  --db FILE        SQLite database; created with schema and demo data when empty (default corvane.db)\n"
           "  --address A      address to listen on (default 127.0.0.1, loopback only)\n"
           "  --port N         port (default 211; 0 picks a free port)\n"
           "  --profile FILE   server profile: [DBPasswordCtrl] ComputerName, ServerPort; [DBE Setting] MainDBName\n"
           "  --log FILE       append the log to FILE instead of standard error\n"
           "  --port-file FILE write the bound port to FILE once listening\n"
           "  --frame-timeout S  close a connection whose started frame does not arrive in S seconds (default 60)\n"
           "The server prints \"LISTENING <address> <port>\" on standard output when ready.\n";
}

ServerConfig parseCommandLine(int argc, char** argv) {
    ServerConfig config;
    std::map<std::string, std::string> options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") throw std::invalid_argument("");
        static const char* const known[] = {"--db", "--address", "--port", "--profile", "--log", "--port-file", "--max-frame",
                                            "--frame-timeout"};
        bool ok = false;
        for (const char* k : known) ok = ok || arg == k;
        if (!ok) throw std::invalid_argument("unknown option " + arg);
        if (i + 1 >= argc) throw std::invalid_argument(arg + " needs a value");
        options[arg] = argv[++i];
    }
    if (auto it = options.find("--profile"); it != options.end()) {
        auto ini = readIni(it->second);
        if (auto& s = ini["DBPASSWORDCTRL"]; !s["COMPUTERNAME"].empty()) config.address = s["COMPUTERNAME"];
        if (auto& s = ini["DBPASSWORDCTRL"]; !s["SERVERPORT"].empty()) config.port = parsePort(s["SERVERPORT"]);
        if (auto& s = ini["DBE SETTING"]; !s["MAINDBNAME"].empty()) config.databasePath = s["MAINDBNAME"];
    }
    if (auto it = options.find("--db"); it != options.end()) config.databasePath = it->second;
    if (auto it = options.find("--address"); it != options.end()) config.address = it->second;
    if (auto it = options.find("--port"); it != options.end()) config.port = parsePort(it->second);
    if (auto it = options.find("--log"); it != options.end()) config.logPath = it->second;
    if (auto it = options.find("--port-file"); it != options.end()) config.portFile = it->second;
    if (auto it = options.find("--frame-timeout"); it != options.end()) {
        int v = std::atoi(it->second.c_str());
        if (v < 1 || v > 3600) throw std::invalid_argument("--frame-timeout must be 1 to 3600 seconds");
        config.frameTimeoutSeconds = v;
    }
    if (auto it = options.find("--max-frame"); it != options.end()) {
        long long v = std::atoll(it->second.c_str());
        if (v < 1024 || v > static_cast<long long>(wire::kDefaultMaxFrameSize))
            throw std::invalid_argument("--max-frame must be between 1024 and " + std::to_string(wire::kDefaultMaxFrameSize));
        config.maxFrameSize = static_cast<std::size_t>(v);
    }
    return config;
}

struct Server::Impl {
    asio::io_context io;
    tcp::acceptor acceptor{io};
    int listenFd = -1;
    std::mutex mutex;
    std::set<int> clientFds;
    std::atomic<bool> stopping{false};
    std::uint64_t nextConnection = 1;
};

Server::Server(ServerConfig config) : impl_(std::make_unique<Impl>()), config_(std::move(config)) {}

Server::~Server() = default;

void Server::start() {
    Log::open(config_.logPath);
    {
        auto db = openSqlite(config_.databasePath);
        if (ensureSchema(*db)) Log::write("created schema and demo data in " + config_.databasePath);
    }
    tcp::endpoint endpoint(asio::ip::make_address(config_.address), config_.port);
    impl_->acceptor.open(endpoint.protocol());
    impl_->acceptor.set_option(tcp::acceptor::reuse_address(true));
    asio::error_code bindError;
    impl_->acceptor.bind(endpoint, bindError);
    if (bindError) {
        std::string hint = bindError == asio::error::access_denied && config_.port < 1024
                               ? " (ports below 1024 need privileges: give --port)"
                               : "";
        throw std::runtime_error("cannot listen on " + config_.address + ":" + std::to_string(config_.port) + ": " +
                                 bindError.message() + hint);
    }
    impl_->acceptor.listen();
    impl_->listenFd = impl_->acceptor.native_handle();
    port_ = impl_->acceptor.local_endpoint().port();
    if (!config_.portFile.empty()) {
        std::ofstream out(config_.portFile);
        out << port_ << "\n";
    }
    Log::write("listening on " + config_.address + ":" + std::to_string(port_) + ", database " + config_.databasePath);
}

void Server::stop() {
    impl_->stopping = true;
    if (impl_->listenFd >= 0) ::shutdown(impl_->listenFd, SHUT_RDWR);
}

void Server::run() {
    Impl& impl = *impl_;
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::list<Worker> workers;
    auto reap = [&] {
        for (auto it = workers.begin(); it != workers.end();) {
            if (*it->done) {
                it->thread.join();
                it = workers.erase(it);
            } else {
                ++it;
            }
        }
    };
    while (!impl.stopping) {
        tcp::socket socket(impl.io);
        asio::error_code ec;
        impl.acceptor.accept(socket, ec);
        reap();
        if (ec) {
            if (impl.stopping) break;
            Log::write("accept failed: " + ec.message());
            continue;
        }
        if (workers.size() >= static_cast<std::size_t>(config_.maxConnections)) {
            Log::write("refused a connection: too many connections");
            socket.close(ec);
            continue;
        }
        std::uint64_t number = impl.nextConnection++;
        int fd = socket.native_handle();
        {
            std::lock_guard lock(impl.mutex);
            impl.clientFds.insert(fd);
        }
        socket.set_option(tcp::no_delay(true), ec);
        auto done = std::make_shared<std::atomic<bool>>(false);
        std::thread worker([this, number, fd, done, s = std::move(socket)]() mutable {
            std::string tag = "[connection " + std::to_string(number) + "] ";
            asio::error_code peerEc;
            auto peer = s.remote_endpoint(peerEc);
            Log::write(tag + "opened from " + (peerEc ? std::string("?") : peer.address().to_string()));
            try {
                Connection connection(config_.databasePath);
                for (;;) {
                    unsigned char header[wire::kFrameHeaderSize];
                    asio::error_code rec;
                    // Idle between requests without limit; a frame once
                    // begun must arrive within the frame timeout.
                    asio::read(s, asio::buffer(header, 1), rec);
                    if (rec) break;  // closed by the client
                    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(config_.frameTimeoutSeconds);
                    std::string why;
                    if (!readWithin(s, reinterpret_cast<char*>(header) + 1, sizeof header - 1, deadline, why)) {
                        Log::write(tag + "closed inside a frame header: " + why);
                        break;
                    }
                    std::size_t length = wire::frameLength(header, config_.maxFrameSize);
                    std::string payload(length, '\0');
                    if (!readWithin(s, payload.data(), payload.size(), deadline, why)) {
                        Log::write(tag + "closed inside a frame: " + why);
                        break;
                    }
                    wire::Request request = wire::decodeRequest(payload);
                    wire::Reply reply = connection.handle(request);
                    std::string out;
                    try {
                        out = wire::encodeReplyFrame(reply, wire::kDefaultMaxFrameSize);
                    } catch (const std::exception& e) {
                        out = wire::makeFrame(wire::encodeReply(errorReply(EOleError(
                            std::string("the answer cannot be sent: ") + e.what() + "; fetch fewer rows per packet"))));
                    }
                    asio::write(s, asio::buffer(out), rec);
                    if (rec) break;
                }
            } catch (const std::exception& e) {
                Log::write(tag + "closing: " + e.what());
            }
            {
                // Forget the descriptor before closing it: its number may be
                // reused by the next connection at once.
                std::lock_guard lock(impl_->mutex);
                impl_->clientFds.erase(fd);
            }
            asio::error_code ignored;
            s.shutdown(tcp::socket::shutdown_both, ignored);
            s.close(ignored);
            Log::write(tag + "closed");
            *done = true;
        });
        workers.push_back({std::move(worker), done});
    }
    // Wake every connection thread and wait for them.
    {
        std::lock_guard lock(impl.mutex);
        for (int fd : impl.clientFds) ::shutdown(fd, SHUT_RDWR);
    }
    for (Worker& w : workers) w.thread.join();
    Log::write("stopped");
}

}  // namespace corvane::appserver
