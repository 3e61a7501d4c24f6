#pragma once

// A late-bound object: members are called and properties read or written by
// name with variant arguments. Names compare without regard to case. An
// argument made with Variant::ref() is passed by reference: the callee
// writes into it with assignThrough().

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/core/Variant.h"

namespace corvane {

class Dispatch : public std::enable_shared_from_this<Dispatch> {
public:
    virtual ~Dispatch() = default;

    // Calls a method, or reads a property when there are no arguments.
    // A member the object lacks raises EOleError naming the member.
    virtual Variant invoke(std::string_view name, std::span<Variant> args) = 0;
    virtual Variant getProperty(std::string_view name) { return invoke(name, {}); }
    virtual void putProperty(std::string_view name, const Variant& value) = 0;

    // Convenience for calls with arguments given in place.
    Variant call(std::string_view name, std::initializer_list<Variant> args) {
        std::vector<Variant> list(args);
        return invoke(name, list);
    }
};

}  // namespace corvane
