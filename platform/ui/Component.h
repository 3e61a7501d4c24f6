#pragma once

// The root of the component model: a named object with an owner that frees
// what it owns, a class-name chain for "is a" tests, and its published
// properties and events readable and writable by name.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/core/Variant.h"
#include "platform/ui/ClassInfo.h"

namespace corvane::ui {

class Component;
struct Message;

// Raised for an operation the component cannot do in its present state.
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
    const char* className() const override { return "EInvalidOperation"; }
};

// Told about changes a renderer mirrors (set by the renderer, never global).
class ComponentObserver {
public:
    virtual ~ComponentObserver() = default;
    virtual void componentChanged(Component& component) = 0;
    // Children were added, removed or reordered.
    virtual void structureChanged(Component& component) = 0;
    virtual void componentDestroyed(Component& component) = 0;
};

// A reference to a component that becomes null when the component is freed.
template <class T>
class ComponentRef {
public:
    ComponentRef() = default;
    ComponentRef(T* component);
    T* get() const { return life_.expired() ? nullptr : ptr_; }
    T* operator->() const { return get(); }
    explicit operator bool() const { return get() != nullptr; }

private:
    T* ptr_ = nullptr;
    std::weak_ptr<const void> life_;
};

class Component {
public:
    Component();
    virtual ~Component();
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    static const ClassInfo& staticClassInfo();
    virtual const ClassInfo& classInfo() const { return staticClassInfo(); }
    const std::string& className() const { return classInfo().name(); }
    // True when the class or one of its ancestors has this name (any case).
    bool isA(std::string_view className) const { return classInfo().inheritsFrom(className); }

    const std::string& name() const { return name_; }
    void setName(std::string name);
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    // Ownership: the owner frees what it owns, last created first.
    Component* owner() const { return owner_; }
    int componentCount() const { return static_cast<int>(components_.size()); }
    Component* component(int index) const { return components_.at(index).get(); }
    Component* findComponent(std::string_view name) const;
    template <class T, class... Args>
    T& create(Args&&... args) {
        auto made = std::make_unique<T>(std::forward<Args>(args)...);
        T& ref = *made;
        insertComponent(std::move(made));
        return ref;
    }
    void insertComponent(std::unique_ptr<Component> component);
    std::unique_ptr<Component> removeComponent(Component* component);
    // Frees this component: runs its destruction hooks and leaves its owner.
    // Top-level components (no owner) are deleted.
    void free();

    // Published properties by name. A missing property reads as empty and
    // a write to it returns false; nothing here raises for a missing name.
    // A dotted name ("Font.Name") walks object properties.
    const PropInfo* findProp(std::string_view name) const { return classInfo().find(name); }
    bool hasProp(std::string_view name) const;
    TypeKind propKind(std::string_view name) const;
    Variant prop(std::string_view name) const;
    bool setProp(std::string_view name, const Variant& value);
    Component* objectProp(std::string_view name) const;
    bool setObjectProp(std::string_view name, Component* value);
    DataSource* dataSourceProp(std::string_view name) const;
    bool setDataSourceProp(std::string_view name, DataSource* value);
    MethodRef methodProp(std::string_view name) const;
    bool setMethodProp(std::string_view name, const MethodRef& handler);
    // The name of an enumeration property's value ("" for other kinds).
    std::string enumName(std::string_view name) const;

    // A token that expires when this component is freed.
    std::weak_ptr<const void> lifeToken() const { return life_; }

    // Handles a message posted to this component (see Application).
    virtual void dispatchMessage(Message& message) { (void)message; }

    void setObserver(ComponentObserver* observer) { observer_ = observer; }
    ComponentObserver* observer() const { return observer_; }

protected:
    // Called before the component is freed, while every subclass is still
    // intact (so handlers of descendants may run).
    virtual void beforeDestruction() {}
    void changed();
    void structureChanged();
    // Frees every owned component now. A class whose members its owned
    // components may still reach while they go calls this in its own
    // destructor, before those members are gone.
    void destroyOwned();

private:
    // Resolves "A.B.C" to the component holding C and the last name.
    const Component* resolve(std::string_view& name) const;

    std::string name_;
    int tag_ = 0;
    Component* owner_ = nullptr;
    std::vector<std::unique_ptr<Component>> components_;
    std::shared_ptr<const void> life_;
    ComponentObserver* observer_ = nullptr;
    bool destroying_ = false;
};

template <class T>
ComponentRef<T>::ComponentRef(T* component)
    : ptr_(component), life_(component ? component->lifeToken() : std::weak_ptr<const void>()) {}

// Frees a top-level component with its destruction hooks.
struct ComponentDeleter {
    void operator()(Component* c) const { if (c) c->free(); }
};
template <class T>
using ComponentPtr = std::unique_ptr<T, ComponentDeleter>;
template <class T, class... Args>
ComponentPtr<T> makeComponent(Args&&... args) {
    return ComponentPtr<T>(new T(std::forward<Args>(args)...));
}

}  // namespace corvane::ui
