#include "platform/ui/Component.h"

#include <algorithm>

namespace corvane::ui {

const ClassInfo& Component::staticClassInfo() {
    static const ClassInfo info = [] {
        ClassInfo c("TComponent", nullptr);
        Publisher<Component>(c)
            .str("Name", &Component::name, &Component::setName)
            .integer("Tag", &Component::tag, &Component::setTag);
        return c;
    }();
    return info;
}

Component::Component() : life_(std::make_shared<int>(0)) {}

Component::~Component() {
    destroyOwned();
    if (observer_) observer_->componentDestroyed(*this);
}

void Component::destroyOwned() {
    while (!components_.empty()) {
        std::unique_ptr<Component> last = std::move(components_.back());
        components_.pop_back();
        last->owner_ = nullptr;
        if (!last->destroying_) {
            last->destroying_ = true;
            last->beforeDestruction();
        }
        last.reset();
    }
}

void Component::setName(std::string name) {
    if (name_ == name) return;
    name_ = std::move(name);
    changed();
}

Component* Component::findComponent(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (const auto& c : components_)
        if (sameText(c->name_, name)) return c.get();
    return nullptr;
}

void Component::insertComponent(std::unique_ptr<Component> component) {
    if (!component) return;
    if (component->owner_) throw EInvalidOperation("Component already has an owner");
    component->owner_ = this;
    components_.push_back(std::move(component));
}

std::unique_ptr<Component> Component::removeComponent(Component* component) {
    auto it = std::find_if(components_.begin(), components_.end(),
                           [&](const auto& c) { return c.get() == component; });
    if (it == components_.end()) return nullptr;
    std::unique_ptr<Component> removed = std::move(*it);
    components_.erase(it);
    removed->owner_ = nullptr;
    return removed;
}

void Component::free() {
    if (destroying_) return;
    destroying_ = true;
    beforeDestruction();
    if (owner_) {
        std::unique_ptr<Component> self = owner_->removeComponent(this);
        self.reset();
    } else {
        delete this;
    }
}

void Component::changed() {
    if (observer_ && !destroying_) observer_->componentChanged(*this);
}

void Component::structureChanged() {
    if (observer_ && !destroying_) observer_->structureChanged(*this);
}

const Component* Component::resolve(std::string_view& name) const {
    const Component* target = this;
    for (auto dot = name.find('.'); dot != std::string_view::npos; dot = name.find('.')) {
        target = target->objectProp(name.substr(0, dot));
        if (!target) return nullptr;
        name.remove_prefix(dot + 1);
    }
    return target;
}

bool Component::hasProp(std::string_view name) const { return propKind(name) != TypeKind::Unknown; }

TypeKind Component::propKind(std::string_view name) const {
    const Component* target = resolve(name);
    const PropInfo* p = target ? target->findProp(name) : nullptr;
    return p ? p->kind : TypeKind::Unknown;
}

Variant Component::prop(std::string_view name) const {
    const Component* target = resolve(name);
    const PropInfo* p = target ? target->findProp(name) : nullptr;
    if (!p || !p->get) return Variant();
    return p->get(*target);
}

bool Component::setProp(std::string_view name, const Variant& value) {
    Component* target = const_cast<Component*>(resolve(name));
    const PropInfo* p = target ? target->findProp(name) : nullptr;
    if (!p || !p->set) return false;
    p->set(*target, value);
    return true;
}

Component* Component::objectProp(std::string_view name) const {
    if (name.find('.') != std::string_view::npos) {
        const Component* target = resolve(name);
        return target ? target->objectProp(name) : nullptr;
    }
    const PropInfo* p = findProp(name);
    return p && p->getObject ? p->getObject(*this) : nullptr;
}

bool Component::setObjectProp(std::string_view name, Component* value) {
    Component* target = const_cast<Component*>(resolve(name));
    const PropInfo* p = target ? target->findProp(name) : nullptr;
    if (!p || !p->setObject) return false;
    p->setObject(*target, value);
    return true;
}

DataSource* Component::dataSourceProp(std::string_view name) const {
    const Component* target = resolve(name);
    const PropInfo* p = target ? target->findProp(name) : nullptr;
    return p && p->getDataSource ? p->getDataSource(*target) : nullptr;
}

bool Component::setDataSourceProp(std::string_view name, DataSource* value) {
    Component* target = const_cast<Component*>(resolve(name));
    const PropInfo* p = target ? target->findProp(name) : nullptr;
    if (!p || !p->setDataSource) return false;
    p->setDataSource(*target, value);
    return true;
}

MethodRef Component::methodProp(std::string_view name) const {
    const Component* target = resolve(name);
    const PropInfo* p = target ? target->findProp(name) : nullptr;
    return p && p->getMethod ? p->getMethod(*target) : MethodRef();
}

bool Component::setMethodProp(std::string_view name, const MethodRef& handler) {
    Component* target = const_cast<Component*>(resolve(name));
    const PropInfo* p = target ? target->findProp(name) : nullptr;
    return p && p->setMethod && p->setMethod(*target, handler);
}

std::string Component::enumName(std::string_view name) const {
    const Component* target = resolve(name);
    const PropInfo* p = target ? target->findProp(name) : nullptr;
    if (!p || p->kind != TypeKind::Enumeration || !p->get) return {};
    auto ordinal = p->get(*target).toInt();
    if (ordinal < 0 || ordinal >= static_cast<std::int64_t>(p->enumNames.size())) return {};
    return p->enumNames[static_cast<std::size_t>(ordinal)];
}

}  // namespace corvane::ui
