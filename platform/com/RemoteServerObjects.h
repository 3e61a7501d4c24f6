#pragma once

// Makes the application server's objects creatable by programmatic id, as
// local automation servers would be: "COPIS01S.Class1", "F2WindowS.Class1"
// and "CorvaneGateway.Class1" then create the object on the server at
// address:port, each on a connection (a server session) of its own.

#include <cstdint>
#include <string>

#include "platform/com/ProgIdRegistry.h"

namespace corvane::com {

void registerRemoteServerObjects(ProgIdRegistry& registry, const std::string& address, std::uint16_t port);

}  // namespace corvane::com
