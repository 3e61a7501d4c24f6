#pragma once

// The host's three service objects, late-bound like the rest of the host:
//   validator     CheckValue, QueryData, QueryMaxSeq, property BaseLimited
//   lookup window F2GetData, GetPhrase2, GetCalcValue, ShowCharaters
//   gateway       GETCOUNTER, GetSysInfo
// Checks, lookups and SQL services answer through the application server
// ("CorvaneGateway.Class1" and the lookup server "F2WindowS.Class1"), so
// every check runs against the same database as the program's data. The
// lookup window lets the user choose through a Chooser.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/core/Dispatch.h"
#include "workcenter/services/Chooser.h"

namespace corvane::host {

struct HostServiceObjects {
    DispatchRef validator;
    DispatchRef lookupWindow;
    DispatchRef gateway;
};

// Builds the objects on the given server objects (remote or in-process).
DispatchRef makeValidator(DispatchRef serverGateway);
DispatchRef makeLookupWindow(DispatchRef lookupServer, std::shared_ptr<Chooser> chooser);
DispatchRef makeGateway(DispatchRef serverGateway);

// Connects once to the application server at address:port and builds the
// three objects on that connection. Raises EOleError when the server
// cannot be reached.
HostServiceObjects connectHostServices(const std::string& address, std::uint16_t port,
                                       std::shared_ptr<Chooser> chooser);

}  // namespace corvane::host
