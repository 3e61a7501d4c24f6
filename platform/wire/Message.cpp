#include "platform/wire/Message.h"

#include "platform/wire/Codec.h"

namespace corvane::wire {

namespace {
constexpr std::uint8_t kProtocolVersion = 1;
constexpr std::size_t kMaxNameLength = 256;
}  // namespace

std::string encodeRequest(const Request& request) {
    Writer out;
    out.u8(kProtocolVersion);
    out.u8(static_cast<std::uint8_t>(request.kind));
    out.varuint(request.objectId);
    out.bytes(request.name);
    out.varuint(request.args.size());
    for (std::size_t i = 0; i < request.args.size(); ++i) {
        out.u8(i < request.byRef.size() && request.byRef[i] ? 1 : 0);
        writeVariant(out, request.args[i]);
    }
    return out.take();
}

Request decodeRequest(std::string_view data) {
    Reader in(data);
    if (in.u8() != kProtocolVersion) throw EWireDecodeError("unknown protocol version");
    Request r;
    std::uint8_t kind = in.u8();
    if (kind < 1 || kind > 5) throw EWireDecodeError("unknown request kind");
    r.kind = static_cast<RequestKind>(kind);
    std::uint64_t id = in.varuint();
    if (id > 0xffffffffu) throw EWireDecodeError("object id out of range");
    r.objectId = static_cast<std::uint32_t>(id);
    std::string_view name = in.bytes();
    if (name.size() > kMaxNameLength) throw EWireDecodeError("member name too long");
    r.name = std::string(name);
    std::size_t n = in.count(2);
    r.args.reserve(n);
    r.byRef.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        std::uint8_t flag = in.u8();
        if (flag > 1) throw EWireDecodeError("malformed by-reference flag");
        r.byRef.push_back(flag == 1);
        r.args.push_back(readVariant(in));
    }
    in.expectEnd();
    return r;
}

std::string encodeReply(const Reply& reply) {
    Writer out;
    out.u8(kProtocolVersion);
    out.u8(reply.ok ? 1 : 0);
    if (reply.ok) {
        writeVariant(out, reply.result);
        out.varuint(reply.outArgs.size());
        for (const Variant& v : reply.outArgs) writeVariant(out, v);
    } else {
        out.bytes(reply.errorClass);
        out.wide(reply.errorMessage);
    }
    return out.take();
}

Reply decodeReply(std::string_view data) {
    Reader in(data);
    if (in.u8() != kProtocolVersion) throw EWireDecodeError("unknown protocol version");
    Reply r;
    std::uint8_t ok = in.u8();
    if (ok > 1) throw EWireDecodeError("malformed reply status");
    r.ok = ok == 1;
    if (r.ok) {
        r.result = readVariant(in);
        std::size_t n = in.count();
        r.outArgs.reserve(n);
        for (std::size_t i = 0; i < n; ++i) r.outArgs.push_back(readVariant(in));
    } else {
        std::string_view cls = in.bytes();
        if (cls.size() > kMaxNameLength) throw EWireDecodeError("error class too long");
        r.errorClass = std::string(cls);
        r.errorMessage = in.wide();
    }
    in.expectEnd();
    return r;
}

}  // namespace corvane::wire
