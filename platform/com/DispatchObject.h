#pragma once

// A late-bound object built from a table of members: methods called with
// variant arguments and properties read and written by name. Names compare
// without regard to case. A method writes a by-reference argument with
// args[i].assignThrough(value); arg() reads an argument through its
// reference and gives empty for one the caller left out.
//
//     auto host = std::make_shared<DispatchObject>("Manager");
//     host->addProperty("DependencyVersion", [] { return Variant(8000); });
//     host->addMethod("GetMessage", [](Args a) { return Variant(text(a)); });

#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>

#include "platform/com/MemberName.h"
#include "platform/core/Dispatch.h"

namespace corvane::com {

using Args = std::span<Variant>;

// The argument at index, dereferenced; empty when the caller passed fewer.
const Variant& arg(Args args, std::size_t index);

class DispatchObject : public Dispatch {
public:
    using Method = std::function<Variant(Args)>;
    using Getter = std::function<Variant()>;
    using Setter = std::function<void(const Variant&)>;

    explicit DispatchObject(std::string className = "Object") : className_(std::move(className)) {}

    void addMethod(std::string_view name, Method method);
    // A property; a null setter makes it read-only.
    void addProperty(std::string_view name, Getter getter, Setter setter = nullptr);
    bool hasMember(std::string_view name) const;

    Variant invoke(std::string_view name, std::span<Variant> args) override;
    Variant getProperty(std::string_view name) override;
    void putProperty(std::string_view name, const Variant& value) override;

    const std::string& className() const { return className_; }

private:
    struct Member {
        Method method;
        Getter getter;
        Setter setter;
    };
    [[noreturn]] void raiseUnknown(std::string_view name) const;

    std::string className_;
    std::map<std::string, Member, NameLess> members_;
};

}  // namespace corvane::com
