#pragma once

// Creates late-bound objects by programmatic id ("COPIS01S.Class1"),
// compared without regard to case. One registry exists per binary (the
// host and each module have their own); tests register in-process objects.

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/com/MemberName.h"
#include "platform/core/Dispatch.h"

namespace corvane::com {

class ProgIdRegistry {
public:
    using Factory = std::function<DispatchRef()>;

    static ProgIdRegistry& instance();

    // Registers (or replaces) the factory of a programmatic id.
    void registerFactory(std::string_view progId, Factory factory);
    void unregister(std::string_view progId);
    bool isRegistered(std::string_view progId) const;
    // A new object; raises EOleError "Invalid class string" for an unknown id.
    DispatchRef create(std::string_view progId) const;

private:
    mutable std::mutex mutex_;
    std::map<std::string, Factory, NameLess> factories_;
};

// CreateOleObject: the registry's object of the id.
inline DispatchRef createOleObject(std::string_view progId) { return ProgIdRegistry::instance().create(progId); }

}  // namespace corvane::com
