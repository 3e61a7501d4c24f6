#include "platform/com/RemoteServerObjects.h"

#include "platform/com/RemoteDispatch.h"

namespace corvane::com {

void registerRemoteServerObjects(ProgIdRegistry& registry, const std::string& address, std::uint16_t port) {
    for (const char* progId : {"COPIS01S.Class1", "F2WindowS.Class1", "CorvaneGateway.Class1"}) {
        std::string id = progId;
        registry.registerFactory(id, [address, port, id] { return createRemoteObject(address, port, id); });
    }
}

}  // namespace corvane::com
