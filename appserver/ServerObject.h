#pragma once

// Base of the objects the application server hands to its clients: a
// member table by name (compared without regard to case) and helpers that
// check argument shapes, so a wrong call gets a clear error instead of a
// misread argument.

#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>

#include "platform/core/Dispatch.h"
#include "platform/core/Exceptions.h"

namespace corvane::appserver {

struct CaseInsensitiveLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

class ServerObject : public Dispatch {
public:
    using Method = std::function<Variant(std::span<Variant>)>;

    explicit ServerObject(std::string className) : className_(std::move(className)) {}

    Variant invoke(std::string_view name, std::span<Variant> args) override;
    void putProperty(std::string_view name, const Variant& value) override;

protected:
    void addMethod(std::string name, Method method);
    void addWritableProperty(std::string name, std::function<void(const Variant&)> setter);

    // Argument helpers; they raise EOleError naming the member.
    static void expectArgs(std::string_view member, std::span<Variant> args, std::size_t min, std::size_t max);
    static std::u16string text(std::string_view member, const Variant& arg, std::string_view what);
    static std::string utf8(std::string_view member, const Variant& arg, std::string_view what);
    // The text without blanks at its ends; upperTrimmed() also in upper case
    // (ids of programs and services).
    static std::string trimmed(std::string_view member, const Variant& arg, std::string_view what);
    static std::string upperTrimmed(std::string_view member, const Variant& arg, std::string_view what);
    static std::int64_t integer(std::string_view member, const Variant& arg, std::string_view what);
    // A one-dimensional array's elements, in index order.
    static std::vector<Variant> list(std::string_view member, const Variant& arg, std::string_view what,
                                     std::size_t minCount = 0);

private:
    std::string className_;
    std::map<std::string, Method, CaseInsensitiveLess> methods_;
    std::map<std::string, std::function<void(const Variant&)>, CaseInsensitiveLess> setters_;
};

}  // namespace corvane::appserver
