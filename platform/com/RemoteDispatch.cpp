#include "platform/com/RemoteDispatch.h"

#include <asio.hpp>

#include "platform/core/CodePage.h"
#include "platform/core/Exceptions.h"
#include "platform/wire/Codec.h"
#include "platform/wire/Frame.h"

namespace corvane {

using asio::ip::tcp;

struct RemoteConnection::Impl {
    asio::io_context io;
    tcp::socket socket{io};
    bool broken = false;
};

RemoteConnection::RemoteConnection() : impl_(std::make_unique<Impl>()) {}

RemoteConnection::~RemoteConnection() { close(); }

std::shared_ptr<RemoteConnection> RemoteConnection::open(const std::string& address, std::uint16_t port) {
    std::shared_ptr<RemoteConnection> c(new RemoteConnection());
    c->peer_ = address + ":" + std::to_string(port);
    asio::error_code ec;
    tcp::resolver resolver(c->impl_->io);
    auto endpoints = resolver.resolve(address, std::to_string(port), ec);
    if (!ec) asio::connect(c->impl_->socket, endpoints, ec);
    if (ec) throw EOleError("the application server at " + c->peer_ + " cannot be reached: " + ec.message());
    c->impl_->socket.set_option(tcp::no_delay(true), ec);
    return c;
}

void RemoteConnection::close() {
    std::lock_guard lock(mutex_);
    asio::error_code ec;
    if (impl_->socket.is_open()) {
        impl_->socket.shutdown(tcp::socket::shutdown_both, ec);
        impl_->socket.close(ec);
    }
    impl_->broken = true;
}

bool RemoteConnection::isOpen() const {
    std::lock_guard lock(mutex_);
    return !impl_->broken && impl_->socket.is_open();
}

wire::Reply RemoteConnection::roundTrip(const wire::Request& request) {
    std::string frame;
    try {
        frame = wire::makeFrame(wire::encodeRequest(request));
    } catch (const wire::EWireEncodeError& e) {
        throw EOleError(std::string("the call ") + request.name + " cannot be sent: " + e.what());
    }
    std::lock_guard lock(mutex_);
    if (impl_->broken) throw EOleError("the connection to the application server at " + peer_ + " is closed");
    auto fail = [&](const std::string& what) -> wire::Reply {
        impl_->broken = true;
        asio::error_code ignored;
        impl_->socket.close(ignored);
        throw EOleError("the connection to the application server at " + peer_ + " failed: " + what);
    };
    asio::error_code ec;
    asio::write(impl_->socket, asio::buffer(frame), ec);
    if (ec) return fail(ec.message());
    unsigned char header[wire::kFrameHeaderSize];
    asio::read(impl_->socket, asio::buffer(header), ec);
    if (ec) return fail(ec.message());
    std::size_t length = 0;
    try {
        length = wire::frameLength(header);
    } catch (const wire::EWireDecodeError& e) {
        return fail(e.what());
    }
    std::string payload(length, '\0');
    asio::read(impl_->socket, asio::buffer(payload), ec);
    if (ec) return fail(ec.message());
    try {
        return wire::decodeReply(payload);
    } catch (const wire::EWireDecodeError& e) {
        return fail(std::string("malformed reply: ") + e.what());
    }
}

RemoteDispatch::RemoteDispatch(std::shared_ptr<RemoteConnection> connection, std::uint32_t objectId, std::string progId)
    : connection_(std::move(connection)), objectId_(objectId), progId_(std::move(progId)) {}

RemoteDispatch::~RemoteDispatch() {
    if (!connection_ || !connection_->isOpen()) return;
    try {
        wire::Request release;
        release.kind = wire::RequestKind::Release;
        release.objectId = objectId_;
        connection_->roundTrip(release);
    } catch (const std::exception&) {
        // The server frees the object with the connection anyway.
    }
}

wire::Reply RemoteDispatch::call(wire::Request request) {
    request.objectId = objectId_;
    wire::Reply reply = connection_->roundTrip(request);
    if (!reply.ok) throw EOleError(utf16ToCodePage(reply.errorMessage, CP_GBK));
    return reply;
}

Variant RemoteDispatch::invoke(std::string_view name, std::span<Variant> args) {
    wire::Request request;
    request.kind = wire::RequestKind::Invoke;
    request.name = std::string(name);
    request.args.reserve(args.size());
    for (const Variant& a : args) {
        request.args.push_back(a.deref());
        request.byRef.push_back(a.isByRef());
    }
    wire::Reply reply = call(std::move(request));
    std::size_t out = 0;
    for (Variant& a : args) {
        if (!a.isByRef()) continue;
        if (out < reply.outArgs.size()) a.assignThrough(reply.outArgs[out]);
        ++out;
    }
    return reply.result;
}

Variant RemoteDispatch::getProperty(std::string_view name) {
    wire::Request request;
    request.kind = wire::RequestKind::GetProperty;
    request.name = std::string(name);
    return call(std::move(request)).result;
}

void RemoteDispatch::putProperty(std::string_view name, const Variant& value) {
    wire::Request request;
    request.kind = wire::RequestKind::PutProperty;
    request.name = std::string(name);
    request.args.push_back(value.deref());
    request.byRef.push_back(false);
    call(std::move(request));
}

DispatchRef createRemoteObject(const std::shared_ptr<RemoteConnection>& connection, const std::string& progId) {
    wire::Request request;
    request.kind = wire::RequestKind::Create;
    request.name = progId;
    wire::Reply reply = connection->roundTrip(request);
    if (!reply.ok) throw EOleError(utf16ToCodePage(reply.errorMessage, CP_GBK));
    return std::make_shared<RemoteDispatch>(connection, static_cast<std::uint32_t>(reply.result.toInt()), progId);
}

DispatchRef createRemoteObject(const std::string& address, std::uint16_t port, const std::string& progId) {
    return createRemoteObject(RemoteConnection::open(address, port), progId);
}

}  // namespace corvane
