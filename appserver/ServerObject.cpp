#include "appserver/ServerObject.h"

#include <algorithm>
#include <cctype>

#include "platform/core/AsciiText.h"
#include "platform/core/CodePage.h"

namespace corvane::appserver {

bool CaseInsensitiveLess::operator()(std::string_view a, std::string_view b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

Variant ServerObject::invoke(std::string_view name, std::span<Variant> args) {
    auto it = methods_.find(name);
    if (it == methods_.end()) throw EOleError(className_ + " has no member " + std::string(name));
    return it->second(args);
}

void ServerObject::putProperty(std::string_view name, const Variant& value) {
    auto it = setters_.find(name);
    if (it == setters_.end()) throw EOleError(className_ + " has no writable property " + std::string(name));
    it->second(value.deref());
}

void ServerObject::addMethod(std::string name, Method method) { methods_[std::move(name)] = std::move(method); }

void ServerObject::addWritableProperty(std::string name, std::function<void(const Variant&)> setter) {
    setters_[std::move(name)] = std::move(setter);
}

void ServerObject::expectArgs(std::string_view member, std::span<Variant> args, std::size_t min, std::size_t max) {
    if (args.size() < min || args.size() > max) {
        std::string expected = min == max ? std::to_string(min) : std::to_string(min) + " to " + std::to_string(max);
        throw EOleError(std::string(member) + " expects " + expected + " arguments, got " + std::to_string(args.size()));
    }
}

std::u16string ServerObject::text(std::string_view member, const Variant& arg, std::string_view what) {
    const Variant& v = arg.deref();
    if (v.isNullOrEmpty()) return {};
    if (v.isArray() || v.type() == VarType::Dispatch)
        throw EOleError(std::string(member) + ": " + std::string(what) + " must be a text");
    return v.toWide();
}

std::string ServerObject::utf8(std::string_view member, const Variant& arg, std::string_view what) {
    return utf16ToUtf8(text(member, arg, what));
}

std::string ServerObject::trimmed(std::string_view member, const Variant& arg, std::string_view what) {
    return trimmedCopy(utf8(member, arg, what));
}

std::string ServerObject::upperTrimmed(std::string_view member, const Variant& arg, std::string_view what) {
    return upperAscii(trimmed(member, arg, what));
}

std::int64_t ServerObject::integer(std::string_view member, const Variant& arg, std::string_view what) {
    const Variant& v = arg.deref();
    try {
        if (v.isArray() || v.type() == VarType::Dispatch) throw EConvertError("not a number");
        return v.toInt();
    } catch (const Exception&) {
        throw EOleError(std::string(member) + ": " + std::string(what) + " must be a number");
    }
}

std::vector<Variant> ServerObject::list(std::string_view member, const Variant& arg, std::string_view what,
                                        std::size_t minCount) {
    const Variant& v = arg.deref();
    if (!v.isArray() || v.dimCount() != 1)
        throw EOleError(std::string(member) + ": " + std::string(what) + " must be a one-dimensional array");
    std::vector<Variant> items = v.array().elements();
    if (items.size() < minCount)
        throw EOleError(std::string(member) + ": " + std::string(what) + " needs at least " +
                        std::to_string(minCount) + " elements");
    return items;
}

}  // namespace corvane::appserver
