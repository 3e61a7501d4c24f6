#include "platform/com/DispatchObject.h"

#include "platform/core/Exceptions.h"

namespace corvane::com {

const Variant& arg(Args args, std::size_t index) {
    static const Variant kMissing;
    return index < args.size() ? args[index].deref() : kMissing;
}

void DispatchObject::addMethod(std::string_view name, Method method) {
    members_[std::string(name)] = Member{std::move(method), nullptr, nullptr};
}

void DispatchObject::addProperty(std::string_view name, Getter getter, Setter setter) {
    members_[std::string(name)] = Member{nullptr, std::move(getter), std::move(setter)};
}

bool DispatchObject::hasMember(std::string_view name) const { return members_.find(name) != members_.end(); }

void DispatchObject::raiseUnknown(std::string_view name) const {
    throw EOleError("Unknown name \"" + std::string(name) + "\" of " + className_);
}

Variant DispatchObject::invoke(std::string_view name, std::span<Variant> args) {
    auto found = members_.find(name);
    if (found == members_.end()) raiseUnknown(name);
    const Member& member = found->second;
    if (member.method) return member.method(args);
    if (args.empty() && member.getter) return member.getter();
    throw EOleError("Member \"" + std::string(name) + "\" of " + className_ + " takes no arguments");
}

Variant DispatchObject::getProperty(std::string_view name) {
    auto found = members_.find(name);
    if (found == members_.end()) raiseUnknown(name);
    if (found->second.getter) return found->second.getter();
    return found->second.method(std::span<Variant>{});
}

void DispatchObject::putProperty(std::string_view name, const Variant& value) {
    auto found = members_.find(name);
    if (found == members_.end()) raiseUnknown(name);
    if (!found->second.setter)
        throw EOleError("Property \"" + std::string(name) + "\" of " + className_ + " is read-only");
    found->second.setter(value);
}

}  // namespace corvane::com
