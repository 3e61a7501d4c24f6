#pragma once

// Objects of the application server used as if they were local. A
// RemoteConnection is one TCP connection (one server session); every
// RemoteDispatch created on it sends its calls there and waits for the
// answer. Arguments passed by reference (Variant::ref) come back and are
// written through; a server error raises EOleError with the server's
// message (in GBK, as every text inside the module). A connection that
// fails once stays failed: later calls raise at once.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/core/Dispatch.h"
#include "platform/wire/Message.h"

namespace corvane {

class RemoteConnection {
public:
    // Connects to address:port; raises EOleError when the server cannot be
    // reached.
    static std::shared_ptr<RemoteConnection> open(const std::string& address, std::uint16_t port);
    ~RemoteConnection();
    RemoteConnection(const RemoteConnection&) = delete;
    RemoteConnection& operator=(const RemoteConnection&) = delete;

    // One request and its reply; raises EOleError when the connection
    // fails or the reply is malformed.
    wire::Reply roundTrip(const wire::Request& request);
    void close();
    bool isOpen() const;
    const std::string& peer() const { return peer_; }

private:
    RemoteConnection();
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string peer_;
    mutable std::mutex mutex_;
};

class RemoteDispatch : public Dispatch {
public:
    RemoteDispatch(std::shared_ptr<RemoteConnection> connection, std::uint32_t objectId, std::string progId);
    ~RemoteDispatch() override;

    Variant invoke(std::string_view name, std::span<Variant> args) override;
    Variant getProperty(std::string_view name) override;
    void putProperty(std::string_view name, const Variant& value) override;

    const std::shared_ptr<RemoteConnection>& connection() const { return connection_; }
    const std::string& progId() const { return progId_; }

private:
    wire::Reply call(wire::Request request);

    std::shared_ptr<RemoteConnection> connection_;
    std::uint32_t objectId_;
    std::string progId_;
};

// Creates the object registered on the server as progId, on a new
// connection of its own.
DispatchRef createRemoteObject(const std::string& address, std::uint16_t port, const std::string& progId);
// ... or on an existing connection (sharing its session and login).
DispatchRef createRemoteObject(const std::shared_ptr<RemoteConnection>& connection, const std::string& progId);

}  // namespace corvane
