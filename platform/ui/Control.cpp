#include "platform/ui/Control.h"

#include <algorithm>

#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"

namespace corvane::ui {

CORVANE_DEFINE_CLASS(Font, "TFont", Component,
    p.str("Name", &Font::fontName, &Font::setFontName)
        .integer("Size", &Font::size, &Font::setSize)
        .set("Style", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}, &Font::style, &Font::setStyle)
        .integer("Charset", &Font::charset, &Font::setCharset)
        .integer("Color", &Font::color, &Font::setColor))

void Font::setFontName(const std::string& name) {
    if (name_ == name) return;
    name_ = name;
    fontChanged();
}
void Font::setSize(int size) {
    if (size_ == size) return;
    size_ = size;
    fontChanged();
}
void Font::setStyle(unsigned style) {
    if (style_ == style) return;
    style_ = style;
    fontChanged();
}
void Font::setCharset(int charset) {
    if (charset_ == charset) return;
    charset_ = charset;
    fontChanged();
}
void Font::setColor(Color color) {
    if (color_ == color) return;
    color_ = color;
    fontChanged();
}
void Font::assign(const Font& other) {
    name_ = other.name_;
    size_ = other.size_;
    style_ = other.style_;
    charset_ = other.charset_;
    color_ = other.color_;
    fontChanged();
}
void Font::fontChanged() {
    if (host_) host_->fontChanged();
}

CORVANE_DEFINE_CLASS(Control, "TControl", Component,
    p.integer("Left", &Control::left, &Control::setLeft)
        .integer("Top", &Control::top, &Control::setTop)
        .integer("Width", &Control::width, &Control::setWidth)
        .integer("Height", &Control::height, &Control::setHeight)
        .enumeration("Align", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}, &Control::align,
                     &Control::setAlign)
        .boolean("Visible", &Control::visible, &Control::setVisible)
        .boolean("Enabled", &Control::enabled, &Control::setEnabled)
        .integer("Color", &Control::color, &Control::setColor)
        .object("Font", &Control::fontObject, nullptr)
        .str("Hint", &Control::hint, &Control::setHint)
        .boolean("ShowHint", &Control::showHint, &Control::setShowHint)
        .boolean("TabStop", &Control::tabStop, &Control::setTabStop)
        .integer("TabOrder", &Control::tabOrder, &Control::setTabOrder)
        .object("PopupMenu", &Control::popupMenuObject, &Control::setPopupMenuObject)
        .event("OnClick", &Control::OnClick)
        .event("OnDblClick", &Control::OnDblClick)
        .event("OnEnter", &Control::OnEnter)
        .event("OnExit", &Control::OnExit)
        .event("OnKeyDown", &Control::OnKeyDown)
        .event("OnKeyUp", &Control::OnKeyUp)
        .event("OnKeyPress", &Control::OnKeyPress))

Control::Control() = default;

Control::~Control() {
    link_.reset();
    // Children freed by their owner later must not point back here.
    for (Control* child : controls_) child->parent_ = nullptr;
    if (parent_) parent_->removeChild(this);
}

void Control::beforeDestruction() {
    if (parent_) {
        parent_->removeChild(this);
        parent_ = nullptr;
    }
}

void Control::removeChild(Control* child) {
    std::erase(controls_, child);
    std::erase(tabList_, child);
    structureChanged();
}

void Control::setParent(Control* parent) {
    if (parent_ == parent) return;
    for (Control* p = parent; p; p = p->parent_)
        if (p == this) throw EInvalidOperation("A control cannot be its own parent");
    if (parent_) parent_->removeChild(this);
    parent_ = parent;
    if (parent_) {
        parent_->controls_.push_back(this);
        if (isWindowed()) parent_->tabList_.push_back(this);
        parent_->structureChanged();
        if (align_ != Align::alNone) parent_->realign();
    }
    changed();
}

Form* Control::parentForm() const {
    const Control* c = this;
    while (c->parent_) c = c->parent_;
    return c->isA("TForm") ? static_cast<Form*>(const_cast<Control*>(c)) : nullptr;
}

void Control::setBounds(int left, int top, int width, int height) {
    Rect r{left, top, width, height};
    if (r == bounds_) return;
    const bool resized = r.width != bounds_.width || r.height != bounds_.height;
    bounds_ = r;
    changed();
    if (resized) realign();
    if (parent_ && align_ != Align::alNone) parent_->realign();
}

void Control::setAlign(Align align) {
    if (align_ == align) return;
    align_ = align;
    if (parent_) parent_->realign();
    changed();
}

void Control::realign() {
    if (aligning_) return;  // a child placed here asks again; once is enough
    aligning_ = true;
    int top = 0, bottom = clientHeight(), left = 0, right = clientWidth();
    auto place = [](Control* c, int l, int t, int w, int h) {
        Rect r{l, t, std::max(0, w), std::max(0, h)};
        if (r == c->bounds_) return;
        c->bounds_ = r;
        c->changed();
        c->realign();
    };
    for (Align pass : {Align::alTop, Align::alBottom, Align::alLeft, Align::alRight, Align::alClient})
        for (Control* c : controls_) {
            if (c->align_ != pass || !c->visible_) continue;
            switch (pass) {
            case Align::alTop: place(c, left, top, right - left, c->height()); top += c->height(); break;
            case Align::alBottom: bottom -= c->height(); place(c, left, bottom, right - left, c->height()); break;
            case Align::alLeft: place(c, left, top, c->width(), bottom - top); left += c->width(); break;
            case Align::alRight: right -= c->width(); place(c, right, top, c->width(), bottom - top); break;
            case Align::alClient: place(c, left, top, right - left, bottom - top); break;
            case Align::alNone: break;
            }
        }
    aligning_ = false;
}

void Control::setVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    changed();
    if (parent_ && align_ != Align::alNone) parent_->realign();
}

void Control::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    changed();
}

bool Control::isShowing() const { return visible_ && parent_ && parent_->isShowing(); }

bool Control::isEffectivelyEnabled() const {
    return enabled_ && (!parent_ || parent_->isEffectivelyEnabled());
}

void Control::setColor(Color color) {
    if (color_ == color) return;
    color_ = color;
    changed();
}

void Control::setHint(const std::string& hint) {
    if (hint_ == hint) return;
    hint_ = hint;
    changed();
}

PopupMenu* Control::popupMenu() const {
    Component* menu = popupMenu_.get();
    return menu && menu->isA("TPopupMenu") ? static_cast<PopupMenu*>(menu) : nullptr;
}
void Control::setPopupMenu(PopupMenu* menu) { popupMenu_ = menu; }
Component* Control::popupMenuObject() const { return popupMenu_.get(); }
void Control::setPopupMenuObject(Component* menu) {
    popupMenu_ = menu && menu->isA("TPopupMenu") ? menu : nullptr;
}

void Control::setCaption(const std::string& caption) {
    if (caption_ == caption) return;
    caption_ = caption;
    changed();
    OnChange(this);
}

void Control::setTabStop(bool tabStop) {
    if (tabStop_ == tabStop) return;
    tabStop_ = tabStop;
    changed();
}

int Control::tabOrder() const {
    if (!parent_) return isWindowed() ? 0 : -1;
    auto& list = parent_->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void Control::setTabOrder(int order) {
    if (!parent_ || !isWindowed()) return;
    auto& list = parent_->tabList_;
    std::erase(list, this);
    order = std::clamp(order, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + order, this);
}

bool Control::canFocus() const {
    return isWindowed() && isShowing() && isEffectivelyEnabled() && parentForm() != nullptr;
}

bool Control::focused() const {
    Form* form = parentForm();
    return form && form->activeControl() == this;
}

void Control::setFocus() {
    Form* form = parentForm();
    if (!form || !canFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    form->setActiveControl(this);
}

void Control::setDataSource(DataSource* source) {
    if (dataSource() == source) return;
    if (!link_) {
        link_ = std::make_unique<FieldDataLink>();
        link_->setFieldName(dataField_);
        link_->onDataChange = [this] { dataChanged(); };
        link_->onEditingChange = [this] { changed(); };
    }
    link_->setDataSource(source);
    changed();
}

void Control::setDataField(const std::string& field) {
    if (dataField_ == field) return;
    dataField_ = field;
    if (link_) link_->setFieldName(field);
    changed();
}

void Control::setReadOnly(bool readOnly) {
    if (readOnly_ == readOnly) return;
    readOnly_ = readOnly;
    changed();
}

void Control::click() { OnClick(this); }

void Control::keyDown(int& key, unsigned shift) { OnKeyDown(this, key, shift); }

void Control::keyPress(char& key) { OnKeyPress(this, key); }

}  // namespace corvane::ui
