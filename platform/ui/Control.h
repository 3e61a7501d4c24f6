#pragma once

// Visual controls: parent and children, bounds, own and effective
// visibility and enabled state, colour, font, hint, tab stop and order,
// focus, and the data binding of data-aware controls.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/db/DataSource.h"
#include "platform/ui/Component.h"

namespace corvane::ui {

class Control;
class Form;
class PopupMenu;

// Colours as blue-green-red values; system colours have the high bit set.
using Color = std::int32_t;
constexpr Color sysColor(int index) { return static_cast<Color>(0x80000000u | static_cast<unsigned>(index)); }
constexpr Color rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }
constexpr Color clBlack = 0x000000, clWhite = 0xFFFFFF, clRed = 0x0000FF, clBlue = 0xFF0000,
                clGreen = 0x008000, clGray = 0x808080, clSilver = 0xC0C0C0, clNone = 0x1FFFFFFF;
constexpr Color clScrollBar = sysColor(0), clActiveCaption = sysColor(2), clInactiveCaption = sysColor(3),
                clWindow = sysColor(5), clWindowText = sysColor(8), clCaptionText = sysColor(9),
                clHighlight = sysColor(13), clHighlightText = sysColor(14), clBtnFace = sysColor(15),
                clBtnShadow = sysColor(16), clGrayText = sysColor(17), clBtnText = sysColor(18),
                clInactiveCaptionText = sysColor(19), clBtnHighlight = sysColor(20);

// Shift state of keys and clicks (a set).
enum ShiftState : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4 };
// Key codes of the keys the forms route.
enum KeyCode : int {
    VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_ESCAPE = 0x1B, VK_SPACE = 0x20,
    VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26,
    VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_INSERT = 0x2D, VK_DELETE = 0x2E,
    VK_F1 = 0x70, VK_F2, VK_F3, VK_F4, VK_F5, VK_F6, VK_F7, VK_F8, VK_F9, VK_F10, VK_F11, VK_F12,
};
// A menu shortcut: key code with modifier bits.
using ShortCut = int;
constexpr int scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
constexpr ShortCut shortCut(int key, unsigned shift) {
    return key | ((shift & ssShift) ? scShift : 0) | ((shift & ssCtrl) ? scCtrl : 0) | ((shift & ssAlt) ? scAlt : 0);
}

enum FontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// Where a control docks inside its parent.
enum class Align { alNone, alTop, alBottom, alLeft, alRight, alClient };

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// A control's font; a persistent object published as "Font".
class Font : public Component {
    CORVANE_COMPONENT()
public:
    explicit Font(Control* host = nullptr) : host_(host) {}

    const std::string& fontName() const { return name_; }
    void setFontName(const std::string& name);
    int size() const { return size_; }
    void setSize(int size);
    unsigned style() const { return style_; }
    void setStyle(unsigned style);
    int charset() const { return charset_; }
    void setCharset(int charset);
    Color color() const { return color_; }
    void setColor(Color color);
    void assign(const Font& other);

private:
    void fontChanged();
    Control* host_;
    std::string name_ = "宋体";
    int size_ = 9;
    unsigned style_ = 0;
    int charset_ = 134;  // GB2312
    Color color_ = clWindowText;
};

using NotifyEvent = Event<void(Component* sender)>;
using KeyEvent = Event<void(Component* sender, int& key, unsigned shift)>;
using KeyPressEvent = Event<void(Component* sender, char& key)>;

class Control : public Component {
    CORVANE_COMPONENT()
public:
    Control();
    ~Control() override;

    // Parent and children (the parent does not own; the owner does).
    Control* parent() const { return parent_; }
    void setParent(Control* parent);
    const std::vector<Control*>& controls() const { return controls_; }
    Form* parentForm() const;

    const Rect& bounds() const { return bounds_; }
    void setBounds(int left, int top, int width, int height);
    int left() const { return bounds_.left; }
    int top() const { return bounds_.top; }
    int width() const { return bounds_.width; }
    int height() const { return bounds_.height; }
    void setLeft(int v) { setBounds(v, top(), width(), height()); }
    void setTop(int v) { setBounds(left(), v, width(), height()); }
    void setWidth(int v) { setBounds(left(), top(), v, height()); }
    void setHeight(int v) { setBounds(left(), top(), width(), v); }
    Align align() const { return align_; }
    void setAlign(Align align);
    // Places the docked children: top and bottom ones across the full
    // width, left and right ones in the height left, the client one in the rest.
    virtual void realign();
    virtual int clientWidth() const { return width(); }
    virtual int clientHeight() const { return height(); }

    // Own flags and the effective state (this control and all its parents).
    bool visible() const { return visible_; }
    virtual void setVisible(bool visible);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    virtual bool isShowing() const;
    bool isEffectivelyEnabled() const;

    Color color() const { return color_; }
    void setColor(Color color);
    Font& font() { return font_; }
    const Font& font() const { return font_; }
    Font* fontObject() const { return const_cast<Font*>(&font_); }
    const std::string& hint() const { return hint_; }
    void setHint(const std::string& hint);
    bool showHint() const { return showHint_; }
    void setShowHint(bool show) { showHint_ = show; }
    PopupMenu* popupMenu() const;
    void setPopupMenu(PopupMenu* menu);
    Component* popupMenuObject() const;
    void setPopupMenuObject(Component* menu);

    // The text a control shows: a caption or an edit's text.
    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& caption);
    const std::string& text() const { return caption_; }
    void setText(const std::string& text) { setCaption(text); }

    // Focus and tab order. Windowed controls take the focus.
    virtual bool isWindowed() const { return true; }
    bool tabStop() const { return tabStop_; }
    void setTabStop(bool tabStop);
    int tabOrder() const;
    void setTabOrder(int order);
    // Windowed children in tab order.
    const std::vector<Control*>& tabList() const { return tabList_; }
    virtual bool canFocus() const;
    bool focused() const;
    // Raises EInvalidOperation when the control cannot take the focus.
    void setFocus();

    // Data binding of data-aware controls: a field link to the data
    // source's data set; DataField names the field.
    DataSource* dataSource() const { return link_ ? link_->dataSource() : nullptr; }
    void setDataSource(DataSource* source);
    const std::string& dataField() const { return dataField_; }
    void setDataField(const std::string& field);
    FieldDataLink* dataLink() const { return link_.get(); }
    // The bound field; null while unbound or the data set is closed.
    Field* field() const { return link_ ? link_->field() : nullptr; }
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly);

    // User input the renderer and the key routing feed in.
    virtual void click();
    virtual void dblClick() { OnDblClick(this); }
    virtual void keyDown(int& key, unsigned shift);
    virtual void keyPress(char& key);
    virtual void doEnter() { OnEnter(this); }
    virtual void doExit() { OnExit(this); }
    // The bound field's value or the data set's state changed.
    virtual void dataChanged() { changed(); }

    NotifyEvent OnClick, OnDblClick, OnEnter, OnExit, OnChange;
    KeyEvent OnKeyDown, OnKeyUp;
    KeyPressEvent OnKeyPress;

protected:
    void beforeDestruction() override;
    void fontChanged() { changed(); }
    friend class Font;

private:
    void removeChild(Control* child);

    Control* parent_ = nullptr;
    std::vector<Control*> controls_;
    std::vector<Control*> tabList_;
    Rect bounds_;
    Align align_ = Align::alNone;
    bool aligning_ = false;
    bool visible_ = true;
    bool enabled_ = true;
    Color color_ = clBtnFace;
    Font font_{this};
    std::string hint_;
    bool showHint_ = true;
    ComponentRef<Component> popupMenu_;
    std::string caption_;
    bool tabStop_ = false;
    std::unique_ptr<FieldDataLink> link_;
    std::string dataField_;
    bool readOnly_ = false;
};

}  // namespace corvane::ui
