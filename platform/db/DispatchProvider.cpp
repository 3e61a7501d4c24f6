#include "platform/db/DispatchProvider.h"

#include "platform/core/CodePage.h"
#include "platform/core/Exceptions.h"
#include "platform/db/EventTable.h"
#include "platform/wire/PacketCodec.h"

namespace corvane {
namespace {

// Options of AS_GetRecords: bit 1 starts a fresh query.
constexpr int kResetCursor = 1;

const std::string& encoded(const Variant& value, const char* what) {
    const Variant& v = value.deref();
    if (v.type() != VarType::String) throw EDatabaseError(std::string("The server sent no ") + what);
    return v.asString();
}

}  // namespace

DispatchProvider::DispatchProvider(DispatchRef server) : server_(std::move(server)) {
    if (!server_) throw EDatabaseError("No application server object");
}

Variant DispatchProvider::dataRequest(const std::string& provider, const Variant& request) {
    return server_->call("AS_DataRequest", {Variant(codePageToUtf16(provider)), request});
}

DataPacket DispatchProvider::getRecords(const std::string& provider, int count, bool reset) {
    auto recordsOut = std::make_shared<Variant>(0);
    Variant packet = server_->call("AS_GetRecords", {Variant(codePageToUtf16(provider)), Variant(count),
                                                     Variant::ref(recordsOut), Variant(reset ? kResetCursor : 0)});
    return wire::decodeDataPacket(encoded(packet, "data packet"));
}

ApplyResult DispatchProvider::applyUpdates(const std::string& provider, const Delta& delta, int maxErrors) {
    auto errorCount = std::make_shared<Variant>(0);
    Variant result = server_->call("AS_ApplyUpdates", {Variant(codePageToUtf16(provider)), Variant(wire::encodeDelta(delta)),
                                                       Variant(maxErrors), Variant::ref(errorCount)});
    return wire::decodeApplyResult(encoded(result, "apply result"));
}

ProviderDispatch::ProviderDispatch(std::shared_ptr<ProviderConnection> providers) : providers_(std::move(providers)) {}

Variant ProviderDispatch::invoke(std::string_view name, std::span<Variant> args) {
    auto arg = [&](std::size_t i) -> const Variant& {
        if (i >= args.size()) throw EOleError(std::string(name) + ": missing argument");
        return args[i].deref();
    };
    if (sameName(name, "AS_DataRequest")) return providers_->dataRequest(arg(0).toString(), arg(1));
    if (sameName(name, "AS_GetRecords")) {
        int options = args.size() > 3 ? static_cast<int>(arg(3).toInt()) : 0;
        DataPacket packet = providers_->getRecords(arg(0).toString(), static_cast<int>(arg(1).toInt()),
                                                   (options & kResetCursor) != 0);
        if (args.size() > 2) args[2].assignThrough(Variant(static_cast<long long>(packet.rows.size())));
        return Variant(wire::encodeDataPacket(packet));
    }
    if (sameName(name, "AS_ApplyUpdates")) {
        Delta delta = wire::decodeDelta(encoded(arg(1), "delta"));
        ApplyResult result = providers_->applyUpdates(arg(0).toString(), delta, static_cast<int>(arg(2).toInt()));
        if (args.size() > 3) args[3].assignThrough(Variant(result.errorCount));
        return Variant(wire::encodeApplyResult(result));
    }
    throw EOleError("Unknown member " + std::string(name));
}

void ProviderDispatch::putProperty(std::string_view name, const Variant&) {
    throw EOleError("Unknown property " + std::string(name));
}

}  // namespace corvane
