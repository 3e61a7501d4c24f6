#pragma once

// Providers reached through the application server's object: the data
// request, packets and deltas go through its members AS_DataRequest,
// AS_GetRecords and AS_ApplyUpdates, packets and deltas encoded as byte
// strings by the wire format. The object may be the remote proxy of the
// server (over TCP) or any local object answering those members.
//
// ProviderDispatch is such a local object: it answers the three members
// from a provider connection held in process (a MemoryProvider in tests),
// so that a client data set goes through the same encoded path as with
// the real server.

#include <memory>

#include "platform/core/Dispatch.h"
#include "platform/db/ProviderConnection.h"

namespace corvane {

class DispatchProvider : public ProviderConnection {
public:
    explicit DispatchProvider(DispatchRef server);
    const DispatchRef& server() const { return server_; }

    Variant dataRequest(const std::string& provider, const Variant& request) override;
    DataPacket getRecords(const std::string& provider, int count, bool reset) override;
    ApplyResult applyUpdates(const std::string& provider, const Delta& delta, int maxErrors) override;

private:
    DispatchRef server_;
};

class ProviderDispatch : public Dispatch {
public:
    explicit ProviderDispatch(std::shared_ptr<ProviderConnection> providers);

    Variant invoke(std::string_view name, std::span<Variant> args) override;
    void putProperty(std::string_view name, const Variant& value) override;

private:
    std::shared_ptr<ProviderConnection> providers_;
};

}  // namespace corvane
