#pragma once

// The request/reply envelope of the remote-object protocol. A client
// creates an object by its programmatic name, then invokes its members,
// reads and writes its properties, and releases it. Arguments travel by
// value; those passed by reference come back in the reply and the client
// writes them through.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Variant.h"

namespace corvane::wire {

enum class RequestKind : std::uint8_t { Create = 1, Invoke = 2, GetProperty = 3, PutProperty = 4, Release = 5 };

struct Request {
    RequestKind kind = RequestKind::Invoke;
    std::uint32_t objectId = 0;  // 0 for Create
    std::string name;            // member or programmatic name (ASCII)
    std::vector<Variant> args;
    std::vector<bool> byRef;     // one flag per argument
};

struct Reply {
    bool ok = true;
    Variant result;                  // Create: the new object's id
    std::vector<Variant> outArgs;    // by-reference arguments in order, ok only
    std::string errorClass;          // the server's exception class
    std::u16string errorMessage;
};

std::string encodeRequest(const Request& request);
Request decodeRequest(std::string_view data);
std::string encodeReply(const Reply& reply);
Reply decodeReply(std::string_view data);

}  // namespace corvane::wire
