#include "platform/ui/Menu.h"

#include <algorithm>

namespace corvane::ui {

CORVANE_DEFINE_CLASS(MenuItem, "TMenuItem", Component,
    p.str("Caption", &MenuItem::caption, &MenuItem::setCaption)
        .integer("ShortCut", &MenuItem::shortCut, &MenuItem::setShortCut)
        .boolean("Enabled", &MenuItem::enabled, &MenuItem::setEnabled)
        .boolean("Visible", &MenuItem::visible, &MenuItem::setVisible)
        .boolean("Checked", &MenuItem::checked, &MenuItem::setChecked)
        .boolean("RadioItem", &MenuItem::radioItem, &MenuItem::setRadioItem)
        .integer("GroupIndex", &MenuItem::groupIndex, &MenuItem::setGroupIndex)
        .integer("ImageIndex", &MenuItem::imageIndex, &MenuItem::setImageIndex)
        .str("Hint", &MenuItem::hint, &MenuItem::setHint)
        .event("OnClick", &MenuItem::OnClick))

MenuItem::~MenuItem() {
    for (MenuItem* child : items_) child->parent_ = nullptr;
    if (parent_) std::erase(parent_->items_, this);
}

void MenuItem::beforeDestruction() {
    if (parent_) {
        std::erase(parent_->items_, this);
        parent_->notifyRoot();
        parent_ = nullptr;
    }
}

// Tells the renderer of the top item (which mirrors the whole tree).
void MenuItem::notifyRoot() {
    MenuItem* top = this;
    while (top->parent_) top = top->parent_;
    top->structureChanged();
    if (top != this) structureChanged();
}

void MenuItem::setCaption(const std::string& caption) {
    if (caption_ == caption) return;
    caption_ = caption;
    changed();
}
void MenuItem::setShortCut(ShortCut shortCut) {
    if (shortCut_ == shortCut) return;
    shortCut_ = shortCut;
    changed();
}
void MenuItem::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    changed();
}
void MenuItem::setVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    changed();
}
void MenuItem::setChecked(bool checked) {
    if (checked_ == checked) return;
    checked_ = checked;
    if (checked && radioItem_ && parent_)
        for (MenuItem* sibling : parent_->items_)
            if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_) sibling->setChecked(false);
    changed();
}
void MenuItem::setImageIndex(int index) {
    if (imageIndex_ == index) return;
    imageIndex_ = index;
    changed();
}

void MenuItem::add(MenuItem& item) { insert(count(), item); }

void MenuItem::insert(int index, MenuItem& item) {
    if (item.parent_) throw EInvalidOperation("Menu item is already inserted");
    for (MenuItem* p = this; p; p = p->parent_)
        if (p == &item) throw EInvalidOperation("A menu item cannot hold itself");
    index = std::clamp(index, 0, count());
    items_.insert(items_.begin() + index, &item);
    item.parent_ = this;
    notifyRoot();
}

void MenuItem::remove(MenuItem& item) {
    if (item.parent_ != this) return;
    std::erase(items_, &item);
    item.parent_ = nullptr;
    notifyRoot();
}

MenuItem& MenuItem::addNew(const std::string& name, const std::string& caption) {
    MenuItem& item = create<MenuItem>();
    item.setName(name);
    item.setCaption(caption);
    add(item);
    return item;
}

void MenuItem::clear() {
    std::vector<MenuItem*> children = items_;
    for (MenuItem* child : children) {
        remove(*child);
        if (child->owner() == this) child->free();
    }
}

int MenuItem::indexOf(const MenuItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

MenuItem* MenuItem::find(const std::string& caption) const {
    for (MenuItem* child : items_)
        if (child->caption_ == caption) return child;
    return nullptr;
}

bool MenuItem::isEffectivelyEnabled() const {
    for (const MenuItem* p = this; p; p = p->parent_)
        if (!p->enabled_) return false;
    return true;
}

void MenuItem::click() {
    if (!isEffectivelyEnabled()) return;
    OnClick(this);
}

MenuItem* MenuItem::findShortCut(ShortCut sc, bool& foundDisabled) {
    for (MenuItem* child : items_) {
        if (sc != 0 && child->shortCut_ == sc) {
            if (child->isEffectivelyEnabled()) return child;
            foundDisabled = true;
        }
        if (MenuItem* below = child->findShortCut(sc, foundDisabled)) return below;
    }
    return nullptr;
}

CORVANE_DEFINE_CLASS(Menu, "TMenu", Component,
    p.object("Items", &Menu::itemsObject, nullptr)
        .object("Images", &Menu::imagesObject, &Menu::setImagesObject))

Menu::Menu() : items_(&create<MenuItem>()) {}

bool Menu::dispatchShortCut(ShortCut sc) {
    bool disabled = false;
    MenuItem* item = items_->findShortCut(sc, disabled);
    if (!item) return false;
    // Opening the menus above lets them update their items first.
    std::vector<MenuItem*> chain;
    for (MenuItem* p = item->parentItem(); p && p != items_; p = p->parentItem()) chain.push_back(p);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) (*it)->OnClick(*it);
    if (!item->isEffectivelyEnabled()) return false;  // an opening handler disabled it
    item->click();
    return true;
}

CORVANE_DEFINE_CLASS(MainMenu, "TMainMenu", Menu, (void)p)

void PopupMenu::popup(int x, int y) {
    (void)x;
    (void)y;
    OnPopup(this);
    changed();
}

CORVANE_DEFINE_CLASS(PopupMenu, "TPopupMenu", Menu, p.event("OnPopup", &PopupMenu::OnPopup))

}  // namespace corvane::ui
