#pragma once

// Published properties: every component class describes the properties it
// publishes (name, kind, enumeration names, accessors) in a ClassInfo that
// chains to its parent class's, so a property is found by name on the class
// or any ancestor.

#include <functional>
#include <type_traits>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Variant.h"
#include "platform/ui/MethodRef.h"

namespace corvane {
class DataSource;
}

namespace corvane::ui {

class Component;

// The kind of a published property (numbers as the streaming format keeps
// them; 0 is "no such property").
enum class TypeKind : int {
    Unknown = 0,
    Integer = 1,
    Char = 2,
    Enumeration = 3,
    Float = 4,
    String = 5,
    Set = 6,
    Class = 7,
    Method = 8,
};

struct PropInfo {
    std::string name;
    TypeKind kind = TypeKind::Unknown;
    std::vector<std::string> enumNames;  // enumerations and sets
    // Scalars (integers, enumerations as ordinals, sets as bit masks, floats, texts).
    std::function<Variant(const Component&)> get;
    std::function<void(Component&, const Variant&)> set;
    // Object properties.
    std::function<Component*(const Component&)> getObject;
    std::function<void(Component&, Component*)> setObject;
    // Data sources of data-aware controls (object properties too).
    std::function<DataSource*(const Component&)> getDataSource;
    std::function<void(Component&, DataSource*)> setDataSource;
    // Events.
    std::function<MethodRef(const Component&)> getMethod;
    std::function<bool(Component&, const MethodRef&)> setMethod;

    bool readOnly() const { return !set && !setObject && !setMethod && !setDataSource; }
};

class ClassInfo {
public:
    ClassInfo(std::string name, const ClassInfo* parent) : name_(std::move(name)), parent_(parent) {}

    const std::string& name() const { return name_; }
    const ClassInfo* parent() const { return parent_; }
    // The property of this class or the nearest ancestor (case-insensitive).
    const PropInfo* find(std::string_view propName) const;
    // Every published property, ancestors' first.
    std::vector<const PropInfo*> allProps() const;
    // True when this class is, or descends from, the named class.
    bool inheritsFrom(std::string_view className) const;

    void add(PropInfo prop) { props_.push_back(std::move(prop)); }

private:
    std::string name_;
    const ClassInfo* parent_;
    std::vector<PropInfo> props_;
};

bool sameText(std::string_view a, std::string_view b);

// Typed helpers that describe a class's properties through its member
// functions: published<TPanel>(info).str("Caption", &TPanel::caption, &TPanel::setCaption).
template <class C>
class Publisher {
public:
    explicit Publisher(ClassInfo& info) : info_(info) {}

    template <class G, class S>
    Publisher& str(std::string name, G get, S set) {
        return scalar(std::move(name), TypeKind::String, {},
                      [get](const C& c) { return Variant(std::string(std::invoke(get, c))); },
                      [set](C& c, const Variant& v) { std::invoke(set, c, v.toString()); });
    }
    template <class G, class S>
    Publisher& integer(std::string name, G get, S set) {
        return scalar(std::move(name), TypeKind::Integer, {},
                      [get](const C& c) { return Variant(static_cast<long long>(std::invoke(get, c))); },
                      [set](C& c, const Variant& v) { std::invoke(set, c, static_cast<int>(v.toInt())); });
    }
    template <class G, class S>
    Publisher& floating(std::string name, G get, S set) {
        return scalar(std::move(name), TypeKind::Float, {},
                      [get](const C& c) { return Variant(static_cast<double>(std::invoke(get, c))); },
                      [set](C& c, const Variant& v) { std::invoke(set, c, v.toDouble()); });
    }
    template <class G, class S>
    Publisher& boolean(std::string name, G get, S set) {
        return scalar(std::move(name), TypeKind::Enumeration, {"False", "True"},
                      [get](const C& c) { return Variant(std::invoke(get, c) ? 1 : 0); },
                      [set](C& c, const Variant& v) { std::invoke(set, c, v.toInt() != 0); });
    }
    // An enumeration kept as an int-convertible value.
    template <class G, class S>
    Publisher& enumeration(std::string name, std::vector<std::string> names, G get, S set) {
        using E = std::decay_t<std::invoke_result_t<G, const C&>>;
        return scalar(std::move(name), TypeKind::Enumeration, std::move(names),
                      [get](const C& c) { return Variant(static_cast<int>(std::invoke(get, c))); },
                      [set](C& c, const Variant& v) { std::invoke(set, c, static_cast<E>(v.toInt())); });
    }
    // A set kept as a bit mask (element n is bit n).
    template <class G, class S>
    Publisher& set(std::string name, std::vector<std::string> names, G get, S set) {
        return scalar(std::move(name), TypeKind::Set, std::move(names),
                      [get](const C& c) { return Variant(static_cast<long long>(std::invoke(get, c))); },
                      [set](C& c, const Variant& v) { std::invoke(set, c, static_cast<unsigned>(v.toInt())); });
    }
    template <class G, class S>
    Publisher& object(std::string name, G get, S set) {
        PropInfo p;
        p.name = std::move(name);
        p.kind = TypeKind::Class;
        p.getObject = [get](const Component& c) -> Component* { return std::invoke(get, static_cast<const C&>(c)); };
        if constexpr (!std::is_same_v<S, std::nullptr_t>)
            p.setObject = [set](Component& c, Component* v) { std::invoke(set, static_cast<C&>(c), v); };
        info_.add(std::move(p));
        return *this;
    }
    template <class G, class S>
    Publisher& dataSource(std::string name, G get, S set) {
        PropInfo p;
        p.name = std::move(name);
        p.kind = TypeKind::Class;
        p.getDataSource = [get](const Component& c) { return std::invoke(get, static_cast<const C&>(c)); };
        p.setDataSource = [set](Component& c, DataSource* v) { std::invoke(set, static_cast<C&>(c), v); };
        info_.add(std::move(p));
        return *this;
    }
    template <class E, class B>
    Publisher& event(std::string name, E B::*member) {
        PropInfo p;
        p.name = std::move(name);
        p.kind = TypeKind::Method;
        p.getMethod = [member](const Component& c) { return (static_cast<const C&>(c).*member).ref(); };
        p.setMethod = [member](Component& c, const MethodRef& m) {
            return (static_cast<C&>(c).*member).assign(m);
        };
        info_.add(std::move(p));
        return *this;
    }

private:
    template <class G, class S>
    Publisher& scalar(std::string name, TypeKind kind, std::vector<std::string> names, G get, S set) {
        PropInfo p;
        p.name = std::move(name);
        p.kind = kind;
        p.enumNames = std::move(names);
        p.get = [get](const Component& c) { return get(static_cast<const C&>(c)); };
        p.set = [set](Component& c, const Variant& v) { set(static_cast<C&>(c), v); };
        info_.add(std::move(p));
        return *this;
    }

    ClassInfo& info_;
};

}  // namespace corvane::ui

// Declares a component class's published class description.
#define CORVANE_COMPONENT()                                                  \
public:                                                                      \
    static const ::corvane::ui::ClassInfo& staticClassInfo();                \
    const ::corvane::ui::ClassInfo& classInfo() const override { return staticClassInfo(); }

// Defines it: CORVANE_DEFINE_CLASS(Panel, "TPanel", Control, p.str(...).integer(...))
#define CORVANE_DEFINE_CLASS(Class, Name, Base, ...)                         \
    const ::corvane::ui::ClassInfo& Class::staticClassInfo() {               \
        static const ::corvane::ui::ClassInfo info = [] {                    \
            ::corvane::ui::ClassInfo c(Name, &Base::staticClassInfo());      \
            [[maybe_unused]] ::corvane::ui::Publisher<Class> p(c);           \
            __VA_ARGS__;                                                     \
            return c;                                                        \
        }();                                                                 \
        return info;                                                         \
    }
