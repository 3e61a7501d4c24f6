#pragma once

// The client data set's way to its providers: send a data request, fetch
// packets of rows, apply a delta. The application server's object answers
// these through its members AS_DataRequest, AS_GetRecords and
// AS_ApplyUpdates (see DispatchProvider); tests may serve them in process
// (MemoryProvider).

#include <string>

#include "platform/core/DataPacket.h"
#include "platform/core/Variant.h"

namespace corvane {

class ProviderConnection {
public:
    virtual ~ProviderConnection() = default;

    // Hands the provider the request ([where as UTF-16, order by]) the next
    // fresh query runs with; returns the provider's answer.
    virtual Variant dataRequest(const std::string& provider, const Variant& request) = 0;
    // The next count rows (-1: all remaining); reset starts a fresh query.
    virtual DataPacket getRecords(const std::string& provider, int count, bool reset) = 0;
    // Stores the delta; errors beyond maxErrors (-1: any number) roll the
    // whole apply back.
    virtual ApplyResult applyUpdates(const std::string& provider, const Delta& delta, int maxErrors) = 0;
};

}  // namespace corvane
