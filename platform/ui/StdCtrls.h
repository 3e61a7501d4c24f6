#pragma once

// The standard controls: panel, labels (plain, data text and the label
// that attaches itself to a control), edits (plain, data-aware, masked),
// combo boxes, check boxes, radio buttons and groups, buttons and speed
// buttons with numbered pictures.

#include <string>
#include <vector>

#include "platform/ui/Application.h"
#include "platform/ui/Control.h"

namespace corvane::ui {

enum class Alignment { taLeftJustify, taRightJustify, taCenter };

class Panel : public Control {
    CORVANE_COMPONENT()
public:
    Panel() { setBounds(0, 0, 185, 41); }
    Alignment alignment() const { return alignment_; }
    void setAlignment(Alignment a) { alignment_ = a; changed(); }
private:
    Alignment alignment_ = Alignment::taCenter;
};

class Label : public Control {
    CORVANE_COMPONENT()
public:
    Label() { setBounds(0, 0, 36, 13); }
    bool isWindowed() const override { return false; }
    Component* focusControlObject() const { return focusControl_.get(); }
    void setFocusControlObject(Component* c) { focusControl_ = c && c->isA("TControl") ? static_cast<Control*>(c) : nullptr; }
    Control* focusControl() const { return focusControl_.get(); }
    Alignment alignment() const { return alignment_; }
    void setAlignment(Alignment a) { alignment_ = a; changed(); }
    bool transparent() const { return transparent_; }
    void setTransparent(bool t) { transparent_ = t; changed(); }
private:
    ComponentRef<Control> focusControl_;
    Alignment alignment_ = Alignment::taLeftJustify;
    bool transparent_ = false;
};

// Shows a field's text (read through the data source by the data layer).
class DBText : public Label {
    CORVANE_COMPONENT()
public:
    void dataChanged() override;
};

// A label that places itself beside a control and (with AutoCaption) takes
// the field's display label.
enum class LabelPos { psTop, psLeft, psRight, psBottom };
class DBLabel : public Label {
    CORVANE_COMPONENT()
public:
    DBLabel();
    // Refused (EInvalidOperation) when another data label on the same
    // parent already serves the control.
    void setFocusControl(Control* control);
    void setFocusControlObject(Component* c) { setFocusControl(c && c->isA("TControl") ? static_cast<Control*>(c) : nullptr); }
    bool autoAlign() const { return autoAlign_; }
    void setAutoAlign(bool a) { autoAlign_ = a; align(); }
    bool autoCaption() const { return autoCaption_; }
    void setAutoCaption(bool a) { autoCaption_ = a; }
    int gap() const { return gap_; }
    void setGap(int g) { gap_ = g; align(); }
    LabelPos pos() const { return pos_; }
    void setPos(LabelPos p) { pos_ = p; align(); }
    // Places the label beside its control.
    void align();
private:
    bool autoAlign_ = true;
    bool autoCaption_ = true;
    int gap_ = 4;
    LabelPos pos_ = LabelPos::psLeft;
};

class Edit : public Control {
    CORVANE_COMPONENT()
public:
    Edit() { setTabStop(true); setColor(clWindow); setBounds(0, 0, 121, 21); }
    int maxLength() const { return maxLength_; }
    void setMaxLength(int n) { maxLength_ = n; changed(); }
    char passwordChar() const { return passwordChar_; }
    void setPasswordChar(char c) { passwordChar_ = c; changed(); }
    // Text as a person types it: refused when read-only or disabled. A
    // data-aware edit puts its data set into editing first (an error passes
    // on) and writes the field when the focus leaves.
    virtual bool typeText(const std::string& text);
    void selectAll() { selStart_ = 0; selLength_ = static_cast<int>(text().size()); }
    int selStart() const { return selStart_; }
    int selLength() const { return selLength_; }
private:
    int maxLength_ = 0;
    char passwordChar_ = 0;
    int selStart_ = 0, selLength_ = 0;
};

// The field binding shared by the data-aware edits and combos: shows the
// field's text, keeps typed text pending and writes it on exit.
class DBEdit : public Edit {
    CORVANE_COMPONENT()
public:
    bool typeText(const std::string& text) override;
    void doEnter() override;
    void doExit() override;
    void dataChanged() override;
    // Read-only also when the field or the data set is.
    bool isReadOnly() const;
};

class MaskEdit : public Edit {
    CORVANE_COMPONENT()
public:
    const std::string& editMask() const { return editMask_; }
    void setEditMask(const std::string& m) { editMask_ = m; changed(); }
private:
    std::string editMask_;
};

enum class ComboStyle { csDropDown, csSimple, csDropDownList };
class ComboBox : public Control {
    CORVANE_COMPONENT()
public:
    ComboBox() { setTabStop(true); setColor(clWindow); setBounds(0, 0, 145, 21); }
    const std::vector<std::string>& items() const { return items_; }
    void setItems(std::vector<std::string> items);
    // Items as lines joined by "\r\n" (the published "Items.Text").
    std::string itemsText() const;
    void setItemsText(const std::string& text);
    int itemIndex() const { return itemIndex_; }
    // Selects an item (its text becomes the combo's text); -1 for none.
    void setItemIndex(int index);
    ComboStyle style() const { return style_; }
    void setStyle(ComboStyle s) { style_ = s; changed(); }
    // Picks what a person picks: fires OnChange and OnClick.
    virtual void pick(int index);
private:
    std::vector<std::string> items_;
    int itemIndex_ = -1;
    ComboStyle style_ = ComboStyle::csDropDown;
};

class DBComboBox : public ComboBox {
    CORVANE_COMPONENT()
public:
    // Writes the picked text to the field at once (editing first).
    void pick(int index);
    void dataChanged() override;
};

enum class CheckState { cbUnchecked, cbChecked, cbGrayed };
class CheckBox : public Control {
    CORVANE_COMPONENT()
public:
    CheckBox() { setTabStop(true); setBounds(0, 0, 97, 17); }
    bool checked() const { return state_ == CheckState::cbChecked; }
    void setChecked(bool c) { setState(c ? CheckState::cbChecked : CheckState::cbUnchecked); }
    CheckState state() const { return state_; }
    void setState(CheckState s);
    bool allowGrayed() const { return allowGrayed_; }
    void setAllowGrayed(bool a) { allowGrayed_ = a; }
    // A click toggles: unchecked -> grayed (when allowed) or checked, checked -> unchecked, grayed -> checked.
    void click() override;
private:
    CheckState state_ = CheckState::cbUnchecked;
    bool allowGrayed_ = false;
};

class DBCheckBox : public CheckBox {
    CORVANE_COMPONENT()
public:
    const std::string& valueChecked() const { return valueChecked_; }
    void setValueChecked(const std::string& v) { valueChecked_ = v; }
    const std::string& valueUnchecked() const { return valueUnchecked_; }
    void setValueUnchecked(const std::string& v) { valueUnchecked_ = v; }
    // Field to state: no field or null -> unchecked; booleans as they are;
    // texts compared (any case) with each ';'-separated checked value, then
    // unchecked value; no match -> grayed.
    void dataChanged() override;
    // Toggling edits the data set first (a refusal changes nothing) and
    // writes the first checked or unchecked value (grayed clears the field).
    void click() override;
private:
    std::string valueChecked_ = "True", valueUnchecked_ = "False";
};

class RadioButton : public Control {
    CORVANE_COMPONENT()
public:
    RadioButton() { setBounds(0, 0, 113, 17); }
    bool checked() const { return checked_; }
    // Checking one unchecks the other radio buttons of the same parent.
    void setChecked(bool checked);
    void click() override;
private:
    bool checked_ = false;
};

class RadioGroup : public Control {
    CORVANE_COMPONENT()
public:
    RadioGroup() { setTabStop(true); setBounds(0, 0, 185, 105); }
    const std::vector<std::string>& items() const { return items_; }
    void setItems(std::vector<std::string> items) { items_ = std::move(items); changed(); }
    int itemIndex() const { return itemIndex_; }
    void setItemIndex(int index);
    int columns() const { return columns_; }
    void setColumns(int c) { columns_ = c; changed(); }
private:
    std::vector<std::string> items_;
    int itemIndex_ = -1;
    int columns_ = 1;
};

class DBRadioGroup : public RadioGroup {
    CORVANE_COMPONENT()
public:
    const std::vector<std::string>& values() const { return values_; }
    void setValues(std::vector<std::string> v) { values_ = std::move(v); }
    void dataChanged() override;
    // A person picking an item: the field gets its value (or caption).
    void pick(int index);
private:
    std::vector<std::string> values_;
};

class Button : public Control {
    CORVANE_COMPONENT()
public:
    Button() { setTabStop(true); setBounds(0, 0, 75, 25); }
    bool isDefault() const { return default_; }
    void setDefault(bool d) { default_ = d; }
    bool cancel() const { return cancel_; }
    void setCancel(bool c) { cancel_ = c; }
    int modalResult() const { return modalResult_; }
    void setModalResult(int r) { modalResult_ = r; }
    // Runs OnClick, then hands the button's modal result to its form.
    void click() override;
private:
    bool default_ = false, cancel_ = false;
    int modalResult_ = 0;
};

// A flat button whose picture is taken by number from the application's
// picture store.
class SpeedButton : public Control {
    CORVANE_COMPONENT()
public:
    SpeedButton() { setBounds(0, 0, 23, 22); }
    bool isWindowed() const override { return false; }
    int glyphIndex() const { return glyphIndex_; }
    // The caption becomes the number; a number outside the store clears the
    // picture; a picture read clears the caption and sets NumGlyphs to
    // width / height; a read error reports "读取 BMP 发生错误".
    void setGlyphIndex(int index);
    const Picture& glyph() const { return glyph_; }
    void setGlyph(Picture picture);
    int numGlyphs() const { return numGlyphs_; }
    void setNumGlyphs(int n) { numGlyphs_ = n < 1 ? 1 : n; changed(); }
    bool flat() const { return flat_; }
    void setFlat(bool f) { flat_ = f; changed(); }
    bool down() const { return down_; }
    void setDown(bool d) { down_ = d; changed(); }
    int groupIndex() const { return groupIndex_; }
    void setGroupIndex(int g) { groupIndex_ = g; }
    void click() override;
private:
    int glyphIndex_ = 0;
    Picture glyph_;
    int numGlyphs_ = 1;
    bool flat_ = false, down_ = false;
    int groupIndex_ = 0;
};

}  // namespace corvane::ui
