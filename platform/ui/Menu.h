#pragma once

// Menus: main menus, popup menus and their items, built at design time or
// at run time. An item's shortcut fires only while it and every item above
// it are enabled.

#include <string>
#include <vector>

#include "platform/ui/Control.h"

namespace corvane::ui {

class MenuItem : public Component {
    CORVANE_COMPONENT()
public:
    MenuItem() = default;
    ~MenuItem() override;

    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& caption);
    ShortCut shortCut() const { return shortCut_; }
    void setShortCut(ShortCut shortCut);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool visible() const { return visible_; }
    void setVisible(bool visible);
    bool checked() const { return checked_; }
    void setChecked(bool checked);
    bool radioItem() const { return radioItem_; }
    void setRadioItem(bool radio) { radioItem_ = radio; }
    int groupIndex() const { return groupIndex_; }
    void setGroupIndex(int index) { groupIndex_ = index; }
    int imageIndex() const { return imageIndex_; }
    void setImageIndex(int index);
    const std::string& hint() const { return hint_; }
    void setHint(const std::string& hint) { hint_ = hint; }
    bool isSeparator() const { return caption_ == "-"; }

    // Sub-items (not owned: their owner frees them; items made by
    // addNew are owned by this item).
    MenuItem* parentItem() const { return parent_; }
    int count() const { return static_cast<int>(items_.size()); }
    MenuItem* item(int index) const { return items_.at(index); }
    const std::vector<MenuItem*>& items() const { return items_; }
    void add(MenuItem& item);
    void insert(int index, MenuItem& item);
    void remove(MenuItem& item);
    // A new item owned by this one, appended.
    MenuItem& addNew(const std::string& name, const std::string& caption);
    // Removes and frees every sub-item this item owns; others are detached.
    void clear();
    int indexOf(const MenuItem* item) const;
    MenuItem* find(const std::string& caption) const;

    // Enabled here and in every item above.
    bool isEffectivelyEnabled() const;
    // Runs the item's action (nothing when disabled).
    virtual void click();
    // The enabled item with this shortcut below (or at) this one; null if none.
    MenuItem* findShortCut(ShortCut sc, bool& foundDisabled);

    NotifyEvent OnClick;

protected:
    void beforeDestruction() override;

private:
    void notifyRoot();

    std::string caption_;
    ShortCut shortCut_ = 0;
    bool enabled_ = true;
    bool visible_ = true;
    bool checked_ = false;
    bool radioItem_ = false;
    int groupIndex_ = 0;
    int imageIndex_ = -1;
    std::string hint_;
    MenuItem* parent_ = nullptr;
    std::vector<MenuItem*> items_;
};

class Menu : public Component {
    CORVANE_COMPONENT()
public:
    Menu();
    MenuItem& items() { return *items_; }
    const MenuItem& items() const { return *items_; }
    Component* itemsObject() const { return items_; }
    Component* imagesObject() const { return images_.get(); }
    void setImagesObject(Component* images) { images_ = images; }
    // Fires the enabled item with this shortcut; false when none took it.
    bool dispatchShortCut(ShortCut sc);

private:
    MenuItem* items_;
    ComponentRef<Component> images_;
};

class MainMenu : public Menu {
    CORVANE_COMPONENT()
};

class PopupMenu : public Menu {
    CORVANE_COMPONENT()
public:
    // Shows the menu at a point of the screen (the renderer opens it).
    void popup(int x, int y);
    Component* popupComponent() const { return popupComponent_.get(); }
    void setPopupComponent(Component* c) { popupComponent_ = c; }

    NotifyEvent OnPopup;

private:
    ComponentRef<Component> popupComponent_;
};

}  // namespace corvane::ui
