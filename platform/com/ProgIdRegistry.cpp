#include "platform/com/ProgIdRegistry.h"

#include "platform/core/Exceptions.h"

namespace corvane::com {

ProgIdRegistry& ProgIdRegistry::instance() {
    static ProgIdRegistry registry;
    return registry;
}

void ProgIdRegistry::registerFactory(std::string_view progId, Factory factory) {
    std::lock_guard lock(mutex_);
    factories_.insert_or_assign(std::string(progId), std::move(factory));
}

void ProgIdRegistry::unregister(std::string_view progId) {
    std::lock_guard lock(mutex_);
    auto found = factories_.find(progId);
    if (found != factories_.end()) factories_.erase(found);
}

bool ProgIdRegistry::isRegistered(std::string_view progId) const {
    std::lock_guard lock(mutex_);
    return factories_.find(progId) != factories_.end();
}

DispatchRef ProgIdRegistry::create(std::string_view progId) const {
    Factory factory;
    {
        std::lock_guard lock(mutex_);
        auto found = factories_.find(progId);
        if (found == factories_.end()) throw EOleError("Invalid class string: " + std::string(progId));
        factory = found->second;
    }
    DispatchRef object = factory();
    if (!object) throw EOleError("Server execution failed: " + std::string(progId));
    return object;
}

}  // namespace corvane::com
