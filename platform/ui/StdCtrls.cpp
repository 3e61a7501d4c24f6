#include "platform/ui/StdCtrls.h"

#include <algorithm>

#include "platform/ui/DialogService.h"
#include "platform/ui/Form.h"

namespace corvane::ui {

#define CORVANE_DATA_PROPS(Class)                                           \
    p.dataSource("DataSource", &Class::dataSource, &Class::setDataSource)   \
        .str("DataField", &Class::dataField, &Class::setDataField)

static const std::vector<std::string> kAlignments{"taLeftJustify", "taRightJustify", "taCenter"};

CORVANE_DEFINE_CLASS(Panel, "TPanel", Control,
    p.str("Caption", &Panel::caption, &Panel::setCaption)
        .enumeration("Alignment", kAlignments, &Panel::alignment, &Panel::setAlignment))

CORVANE_DEFINE_CLASS(Label, "TLabel", Control,
    p.str("Caption", &Label::caption, &Label::setCaption)
        .object("FocusControl", &Label::focusControlObject, &Label::setFocusControlObject)
        .enumeration("Alignment", kAlignments, &Label::alignment, &Label::setAlignment)
        .boolean("Transparent", &Label::transparent, &Label::setTransparent))

CORVANE_DEFINE_CLASS(DBText, "TDBText", Label, CORVANE_DATA_PROPS(DBText))

void DBText::dataChanged() {
    FieldDataLink* link = dataLink();
    setCaption(link ? link->fieldText(false) : std::string());
}

namespace {
std::vector<std::string> splitValues(const std::string& list) {
    std::vector<std::string> values;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = list.find(';', start);
        values.push_back(list.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return values;
        start = end + 1;
    }
}
// Puts the control's data set into editing; false when it stays browsing.
bool startEditing(Control& control) {
    DataSource* source = control.dataSource();
    Field* field = control.field();
    if (!source || !field || field->readOnly() || control.readOnly()) return false;
    DataSet* ds = source->dataSet();
    if (ds->isEditing()) return true;
    return source->edit();
}
}  // namespace

CORVANE_DEFINE_CLASS(DBLabel, "TDBLabel", Label,
    p.object("FocusControl", &DBLabel::focusControlObject, &DBLabel::setFocusControlObject)
        .boolean("AutoAlign", &DBLabel::autoAlign, &DBLabel::setAutoAlign)
        .boolean("AutoCaption", &DBLabel::autoCaption, &DBLabel::setAutoCaption)
        .integer("Gap", &DBLabel::gap, &DBLabel::setGap)
        .enumeration("Pos", {"psTop", "psLeft", "psRight", "psBottom"}, &DBLabel::pos, &DBLabel::setPos))

DBLabel::DBLabel() { setCaption("挂靠标签"); }

void DBLabel::setFocusControl(Control* control) {
    if (control == focusControl()) return;
    if (control && parent())
        for (Control* sibling : parent()->controls())
            if (sibling != this && sibling->isA("TDBLabel") && static_cast<DBLabel*>(sibling)->focusControl() == control)
                throw EInvalidOperation("不能同时有两个 DBLabel 指到同一个 Control.");
    Label::setFocusControlObject(control);
    align();
}

void DBLabel::align() {
    Control* c = focusControl();
    if (!autoAlign_ || !c) return;
    const int h = height(), w = width();
    auto besideTop = [&] { return h == c->height() ? c->top() : std::max(0, c->top() + (c->height() - h) / 2); };
    switch (pos_) {
    case LabelPos::psTop: setBounds(c->left(), std::max(0, c->top() - h - gap_), w, h); break;
    case LabelPos::psBottom: setBounds(c->left(), std::max(0, c->top() + c->height() + gap_), w, h); break;
    case LabelPos::psLeft: setBounds(c->left() - w - gap_, besideTop(), w, h); break;
    case LabelPos::psRight: setBounds(std::max(0, c->left() + c->width() + gap_), besideTop(), w, h); break;
    }
}

CORVANE_DEFINE_CLASS(Edit, "TEdit", Control,
    p.str("Text", &Edit::text, &Edit::setText)
        .boolean("ReadOnly", &Edit::readOnly, &Edit::setReadOnly)
        .integer("MaxLength", &Edit::maxLength, &Edit::setMaxLength)
        .event("OnChange", &Edit::OnChange))

bool Edit::typeText(const std::string& text) {
    if (readOnly() || !isEffectivelyEnabled()) return false;
    std::string typed = text;
    if (maxLength_ > 0 && static_cast<int>(typed.size()) > maxLength_) typed.resize(static_cast<std::size_t>(maxLength_));
    setText(typed);
    selStart_ = static_cast<int>(typed.size());
    selLength_ = 0;
    return true;
}

CORVANE_DEFINE_CLASS(DBEdit, "TDBEdit", Edit, CORVANE_DATA_PROPS(DBEdit))

bool DBEdit::isReadOnly() const {
    Field* f = field();
    DataSet* ds = dataLink() ? dataLink()->dataSet() : nullptr;
    return readOnly() || (f && f->readOnly()) || (ds && ds->readOnly());
}

bool DBEdit::typeText(const std::string& text) {
    FieldDataLink* link = dataLink();
    if (!link || !link->dataSource()) return Edit::typeText(text);
    if (isReadOnly() || !isEffectivelyEnabled() || !field()) return false;
    link->setPendingText(text);
    return Edit::typeText(text);
}

void DBEdit::doEnter() {
    Edit::doEnter();
    dataChanged();  // the edit text while focused
}

void DBEdit::doExit() {
    if (FieldDataLink* link = dataLink()) link->updateRecord();  // a validation error keeps the focus
    Edit::doExit();
    dataChanged();
}

void DBEdit::dataChanged() {
    FieldDataLink* link = dataLink();
    if (!link) return;
    std::string shown = link->fieldText(focused());
    if (shown != text()) Control::setCaption(shown);
    changed();
}

CORVANE_DEFINE_CLASS(MaskEdit, "TMaskEdit", Edit, p.str("EditMask", &MaskEdit::editMask, &MaskEdit::setEditMask))

CORVANE_DEFINE_CLASS(ComboBox, "TComboBox", Control,
    p.str("Text", &ComboBox::text, &ComboBox::setText)
        .str("Items", &ComboBox::itemsText, &ComboBox::setItemsText)
        .integer("ItemIndex", &ComboBox::itemIndex, &ComboBox::setItemIndex)
        .enumeration("Style", {"csDropDown", "csSimple", "csDropDownList"}, &ComboBox::style, &ComboBox::setStyle)
        .event("OnChange", &ComboBox::OnChange))

void ComboBox::setItems(std::vector<std::string> items) {
    items_ = std::move(items);
    if (itemIndex_ >= static_cast<int>(items_.size())) itemIndex_ = -1;
    changed();
}

std::string ComboBox::itemsText() const {
    std::string text;
    for (const auto& item : items_) text += item + "\r\n";
    return text;
}

void ComboBox::setItemsText(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    setItems(std::move(lines));
}

void ComboBox::setItemIndex(int index) {
    if (index < -1 || index >= static_cast<int>(items_.size())) index = -1;
    if (index == itemIndex_) return;
    itemIndex_ = index;
    if (index >= 0) setText(items_[static_cast<std::size_t>(index)]);
    changed();
}

void ComboBox::pick(int index) {
    if (!isEffectivelyEnabled() || index < 0 || index >= static_cast<int>(items_.size())) return;
    itemIndex_ = -1;
    setItemIndex(index);
    click();
}

CORVANE_DEFINE_CLASS(DBComboBox, "TDBComboBox", ComboBox,
    CORVANE_DATA_PROPS(DBComboBox).boolean("ReadOnly", &DBComboBox::readOnly, &DBComboBox::setReadOnly))

void DBComboBox::pick(int index) {
    if (!dataLink() || !dataLink()->dataSource()) return ComboBox::pick(index);
    if (index < 0 || index >= static_cast<int>(items().size()) || !isEffectivelyEnabled()) return;
    if (!startEditing(*this)) return;
    field()->setText(items()[static_cast<std::size_t>(index)]);
    ComboBox::pick(index);
}

void DBComboBox::dataChanged() {
    FieldDataLink* link = dataLink();
    if (!link) return;
    const std::string shown = link->fieldText(false);
    auto it = std::find(items().begin(), items().end(), shown);
    if (it != items().end()) setItemIndex(static_cast<int>(it - items().begin()));
    else setItemIndex(-1);
    if (text() != shown) setText(shown);
    changed();
}

static const std::vector<std::string> kCheckStates{"cbUnchecked", "cbChecked", "cbGrayed"};

CORVANE_DEFINE_CLASS(CheckBox, "TCheckBox", Control,
    p.str("Caption", &CheckBox::caption, &CheckBox::setCaption)
        .boolean("Checked", &CheckBox::checked, &CheckBox::setChecked)
        .enumeration("State", kCheckStates, &CheckBox::state, &CheckBox::setState)
        .boolean("AllowGrayed", &CheckBox::allowGrayed, &CheckBox::setAllowGrayed))

void CheckBox::setState(CheckState s) {
    if (state_ == s) return;
    state_ = s;
    changed();
}

void CheckBox::click() {
    switch (state_) {
    case CheckState::cbUnchecked: setState(allowGrayed_ ? CheckState::cbGrayed : CheckState::cbChecked); break;
    case CheckState::cbChecked: setState(CheckState::cbUnchecked); break;
    case CheckState::cbGrayed: setState(CheckState::cbChecked); break;
    }
    Control::click();
}

CORVANE_DEFINE_CLASS(DBCheckBox, "TDBCheckBox", CheckBox,
    CORVANE_DATA_PROPS(DBCheckBox)
        .boolean("ReadOnly", &DBCheckBox::readOnly, &DBCheckBox::setReadOnly)
        .str("ValueChecked", &DBCheckBox::valueChecked, &DBCheckBox::setValueChecked)
        .str("ValueUnchecked", &DBCheckBox::valueUnchecked, &DBCheckBox::setValueUnchecked))

void DBCheckBox::dataChanged() {
    Field* f = field();
    CheckState state = CheckState::cbUnchecked;
    if (f && !f->isNull()) {
        if (f->dataType() == FieldType::Boolean) {
            state = f->asBoolean() ? CheckState::cbChecked : CheckState::cbUnchecked;
        } else {
            const std::string text = f->text();
            state = CheckState::cbGrayed;
            for (const auto& v : splitValues(valueChecked_))
                if (sameText(v, text)) state = CheckState::cbChecked;
            if (state == CheckState::cbGrayed)
                for (const auto& v : splitValues(valueUnchecked_))
                    if (sameText(v, text)) state = CheckState::cbUnchecked;
        }
    }
    setState(state);
}

void DBCheckBox::click() {
    if (!dataLink() || !dataLink()->dataSource()) return CheckBox::click();
    if (!isEffectivelyEnabled() || !startEditing(*this)) return;
    Field* f = field();
    CheckState next = state() == CheckState::cbChecked
                          ? CheckState::cbUnchecked
                          : (state() == CheckState::cbUnchecked && allowGrayed() ? CheckState::cbGrayed
                                                                                   : CheckState::cbChecked);
    if (next == CheckState::cbGrayed) f->clear();
    else if (f->dataType() == FieldType::Boolean) f->setAsBoolean(next == CheckState::cbChecked);
    else f->setText(splitValues(next == CheckState::cbChecked ? valueChecked_ : valueUnchecked_).front());
    setState(next);
    OnClick(this);
}

CORVANE_DEFINE_CLASS(RadioButton, "TRadioButton", Control,
    p.str("Caption", &RadioButton::caption, &RadioButton::setCaption)
        .boolean("Checked", &RadioButton::checked, &RadioButton::setChecked))

void RadioButton::setChecked(bool checked) {
    if (checked_ == checked) return;
    checked_ = checked;
    setTabStop(checked);
    if (checked && parent())
        for (Control* sibling : parent()->controls())
            if (sibling != this && sibling->isA("TRadioButton")) static_cast<RadioButton*>(sibling)->setChecked(false);
    changed();
}

void RadioButton::click() {
    setChecked(true);
    Control::click();
}

CORVANE_DEFINE_CLASS(RadioGroup, "TRadioGroup", Control,
    p.str("Caption", &RadioGroup::caption, &RadioGroup::setCaption)
        .integer("ItemIndex", &RadioGroup::itemIndex, &RadioGroup::setItemIndex)
        .integer("Columns", &RadioGroup::columns, &RadioGroup::setColumns))

void RadioGroup::setItemIndex(int index) {
    if (index < -1 || index >= static_cast<int>(items_.size())) index = -1;
    if (index == itemIndex_) return;
    itemIndex_ = index;
    changed();
    OnClick(this);
}

CORVANE_DEFINE_CLASS(DBRadioGroup, "TDBRadioGroup", RadioGroup,
    CORVANE_DATA_PROPS(DBRadioGroup).boolean("ReadOnly", &DBRadioGroup::readOnly, &DBRadioGroup::setReadOnly))

void DBRadioGroup::dataChanged() {
    Field* f = field();
    int index = -1;
    if (f && !f->isNull()) {
        const std::string text = f->text();
        const auto& keys = values_.empty() ? items() : values_;
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (keys[i] == text) index = static_cast<int>(i);
    }
    setItemIndex(index);
}

void DBRadioGroup::pick(int index) {
    if (index < 0 || index >= static_cast<int>(items().size()) || !isEffectivelyEnabled()) return;
    if (dataLink() && dataLink()->dataSource()) {
        if (!startEditing(*this)) return;
        const auto& keys = values_.size() > static_cast<std::size_t>(index) ? values_ : items();
        field()->setText(keys[static_cast<std::size_t>(index)]);
    }
    setItemIndex(index);
}

CORVANE_DEFINE_CLASS(Button, "TButton", Control,
    p.str("Caption", &Button::caption, &Button::setCaption)
        .boolean("Default", &Button::isDefault, &Button::setDefault)
        .boolean("Cancel", &Button::cancel, &Button::setCancel)
        .integer("ModalResult", &Button::modalResult, &Button::setModalResult))

void Button::click() {
    if (!isEffectivelyEnabled()) return;
    Control::click();
    if (modalResult_ != 0)
        if (Form* form = parentForm()) form->setModalResult(modalResult_);
}

CORVANE_DEFINE_CLASS(SpeedButton, "TSpeedButton", Control,
    p.str("Caption", &SpeedButton::caption, &SpeedButton::setCaption)
        .integer("GlyphIndex", &SpeedButton::glyphIndex, &SpeedButton::setGlyphIndex)
        .integer("NumGlyphs", &SpeedButton::numGlyphs, &SpeedButton::setNumGlyphs)
        .boolean("Flat", &SpeedButton::flat, &SpeedButton::setFlat)
        .boolean("Down", &SpeedButton::down, &SpeedButton::setDown)
        .integer("GroupIndex", &SpeedButton::groupIndex, &SpeedButton::setGroupIndex))

void SpeedButton::setGlyph(Picture picture) {
    glyph_ = std::move(picture);
    changed();
}

void SpeedButton::setGlyphIndex(int index) {
    if (index == glyphIndex_) return;
    glyphIndex_ = index;
    setCaption(std::to_string(index));
    Application* app = applicationOf(*this);
    const PictureStore* store = app ? app->pictureStore() : nullptr;
    if (index <= 0 || !store || index > store->maxPictureId()) {
        setGlyph(Picture());
        return;
    }
    Picture picture;
    if (!store->loadPicture(index, picture) || picture.isEmpty()) {
        setGlyph(Picture());
        if (app && app->dialogService()) {
            MessageDialogRequest request;
            request.type = MsgDlgType::Error;
            request.text = "读取 BMP 发生错误";
            app->dialogService()->messageDialog(request);
        }
        return;
    }
    setCaption("");
    numGlyphs_ = std::max(1, picture.width / picture.height);
    setGlyph(std::move(picture));
}

void SpeedButton::click() {
    if (!isEffectivelyEnabled()) return;
    if (groupIndex_ != 0) setDown(true);
    Control::click();
}

}  // namespace corvane::ui
