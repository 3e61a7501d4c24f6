// The control kinds: toggling, exclusive radio buttons, combo items, menus
// built at run time, tool buttons with menus, grids, status bars, speed
// button pictures and attached labels.

#include <gtest/gtest.h>

#include "platform/ui/ComCtrls.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/Form.h"
#include "platform/ui/Grids.h"
#include "platform/ui/Menu.h"
#include "platform/ui/StdCtrls.h"

namespace corvane::ui {
namespace {

TEST(CheckBox, ClicksCycleThroughStates) {
    struct Case {
        bool allowGrayed;
        std::vector<CheckState> states;
    };
    for (const Case& c : {Case{false, {CheckState::cbChecked, CheckState::cbUnchecked, CheckState::cbChecked}},
                          Case{true, {CheckState::cbGrayed, CheckState::cbChecked, CheckState::cbUnchecked}}}) {
        CheckBox box;
        box.setAllowGrayed(c.allowGrayed);
        int clicks = 0;
        box.OnClick = [&](Component*) { ++clicks; };
        for (CheckState expected : c.states) {
            box.click();
            EXPECT_EQ(box.state(), expected);
        }
        EXPECT_EQ(clicks, 3);
    }
}

TEST(RadioButton, CheckingOneUnchecksItsSiblingsOnly) {
    auto form = makeComponent<Form>();
    Panel& a = form->create<Panel>();
    Panel& b = form->create<Panel>();
    a.setParent(form.get());
    b.setParent(form.get());
    RadioButton& r1 = form->create<RadioButton>();
    RadioButton& r2 = form->create<RadioButton>();
    RadioButton& other = form->create<RadioButton>();
    r1.setParent(&a);
    r2.setParent(&a);
    other.setParent(&b);
    other.setChecked(true);
    r1.click();
    r2.click();
    EXPECT_FALSE(r1.checked());
    EXPECT_TRUE(r2.checked());
    EXPECT_TRUE(other.checked());
    EXPECT_TRUE(r2.tabStop());  // only the checked one is a tab stop
    EXPECT_FALSE(r1.tabStop());
}

TEST(ComboBox, ItemsByTextAndPicking) {
    ComboBox combo;
    EXPECT_TRUE(combo.setProp("Items", Variant("甲\r\n乙\r\n丙")));
    ASSERT_EQ(combo.items().size(), 3u);
    int changes = 0;
    combo.OnChange = [&](Component*) { ++changes; };
    combo.pick(1);
    EXPECT_EQ(combo.text(), "乙");
    EXPECT_EQ(combo.itemIndex(), 1);
    EXPECT_EQ(changes, 1);
    combo.setItemIndex(7);
    EXPECT_EQ(combo.itemIndex(), -1);
    combo.setEnabled(false);
    combo.pick(2);
    EXPECT_EQ(combo.itemIndex(), -1);
}

TEST(Menu, ItemsBuiltAtRunTimeAndClearedAgain) {
    auto form = makeComponent<Form>();
    PopupMenu& popup = form->create<PopupMenu>();
    std::vector<std::string> clicked;
    for (int i = 0; i < 3; ++i) {
        MenuItem& item = popup.items().addNew("mnu" + std::to_string(i), "方案" + std::to_string(i));
        item.OnClick = [&clicked](Component* c) { clicked.push_back(c->name()); };
    }
    ASSERT_EQ(popup.items().count(), 3);
    popup.items().item(2)->click();
    popup.items().item(1)->setEnabled(false);
    popup.items().item(1)->click();
    EXPECT_EQ(clicked, (std::vector<std::string>{"mnu2"}));
    ComponentRef<MenuItem> first(popup.items().item(0));
    popup.items().clear();
    EXPECT_EQ(popup.items().count(), 0);
    EXPECT_FALSE(first);
}

TEST(ToolBar, ButtonsInPlaceOrderAndDropDownMenus) {
    auto form = makeComponent<Form>();
    ToolBar& bar = form->create<ToolBar>();
    bar.setParent(form.get());
    ToolButton& query = form->create<ToolButton>();
    ToolButton& add = form->create<ToolButton>();
    query.setParent(&bar);
    add.setParent(&bar);
    query.setLeft(23);
    add.setLeft(0);
    EXPECT_EQ(bar.buttons(), (std::vector<ToolButton*>{&add, &query}));

    PopupMenu& conditions = form->create<PopupMenu>();
    int popups = 0, clicks = 0;
    conditions.OnPopup = [&](Component*) { ++popups; };
    query.OnClick = [&](Component*) { ++clicks; };
    query.setDropdownMenuObject(&conditions);
    query.setStyle(ToolButtonStyle::tbsDropDown);
    query.click();
    query.dropDown();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(popups, 1);
    query.setStyle(ToolButtonStyle::tbsButton);  // a plain button with a menu opens it
    query.click();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(popups, 2);
    EXPECT_EQ(conditions.popupComponent(), &query);
    bar.setEnabled(false);
    query.click();
    EXPECT_EQ(popups, 2);
}

class TableRows : public GridRowSource {
public:
    std::vector<std::string> fields{"MB001", "MB002"};
    std::vector<std::vector<std::string>> rows{{"R01", "车床"}, {"R02", "铣床"}, {"R03", "钻床"}};
    int current = 0;
    bool isActive() const override { return true; }
    int rowCount() const override { return static_cast<int>(rows.size()); }
    int fieldCount() const override { return static_cast<int>(fields.size()); }
    std::string fieldName(int f) const override { return fields[static_cast<std::size_t>(f)]; }
    std::string displayText(int r, int f) const override { return rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(f)]; }
    int currentRow() const override { return current; }
    void setCurrentRow(int r) override { current = r; }
    bool setText(int r, int f, const std::string& text) override {
        rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(f)] = text;
        return true;
    }
};

TEST(DBGrid, ColumnsTitleClicksSelectionAndCellColours) {
    TableRows rows;
    DBGrid grid;
    grid.setRowSource(&rows);
    ASSERT_EQ(grid.columns().size(), 2u);
    EXPECT_EQ(grid.cellText(1, 1), "铣床");

    std::string titled;
    grid.OnTitleButtonClick = [&](Component*, const std::string& f) { titled = f; };
    grid.titleClick(1);
    EXPECT_EQ(titled, "MB002");

    grid.toggleRowSelected(0);
    EXPECT_TRUE(grid.selectedRows().empty());  // not a multi-select grid
    grid.setOptions(grid.options() | dgMultiSelect);
    grid.toggleRowSelected(0);
    grid.toggleRowSelected(2);
    grid.toggleRowSelected(0);
    grid.selectRow(9, true);
    EXPECT_EQ(grid.selectedRows(), (std::set<int>{2}));

    grid.OnCalcCellColors = [](Component*, const std::string& field, int row, bool highlight, CellStyle& s) {
        if (field == "MB001") s.brush = rgb(0, 200, 200);
        if (highlight) s.fontStyle |= fsBold;
        if (row == 2) s.fontColor = clBlue;
    };
    grid.cellClick(2, 0);
    EXPECT_EQ(rows.current, 2);
    CellStyle key = grid.cellStyle(2, 0);
    EXPECT_EQ(key.brush, rgb(0, 200, 200));
    EXPECT_EQ(key.fontStyle, static_cast<unsigned>(fsBold));
    EXPECT_EQ(key.fontColor, clBlue);
    EXPECT_EQ(grid.cellStyle(0, 1).brush, grid.color());

    EXPECT_TRUE(grid.editCell(0, 1, "刨床"));
    EXPECT_EQ(rows.rows[0][1], "刨床");
    grid.setReadOnly(true);
    EXPECT_FALSE(grid.editCell(0, 1, "x"));
}

TEST(StatusBar, PanelsKeepTextAndWidth) {
    StatusBar status;
    status.addPanel("浏览", 60);
    status.addPanel("", 100);
    status.setPanelText(1, "0/0");
    status.setPanelWidth(1, 310);
    EXPECT_EQ(status.panel(1).text, "0/0");
    EXPECT_EQ(status.panel(1).width, 310);
    EXPECT_THROW(status.setPanelText(5, "x"), std::out_of_range);
}

class NumberedPictures : public PictureStore {
public:
    int maxPictureId() const override { return 64; }
    bool loadPicture(int id, Picture& p) const override {
        if (id == 13) return false;
        p.width = 32;
        p.height = 16;
        p.argb.assign(32 * 16, 0xFF000000u | static_cast<unsigned>(id));
        return true;
    }
};

class RecordingDialogs : public DialogService {
public:
    std::vector<std::string> texts;
    int messageDialog(const MessageDialogRequest& r) override {
        texts.push_back(r.text);
        return mrOk;
    }
    int showModal(Form&) override { return mrCancel; }
};

TEST(SpeedButton, PicturesByNumber) {
    Application app;
    NumberedPictures pictures;
    RecordingDialogs dialogs;
    app.setPictureStore(&pictures);
    app.setDialogService(&dialogs);
    Form& form = app.createForm<Form>();
    SpeedButton& button = form.create<SpeedButton>();
    button.setParent(&form);
    struct Case {
        int index;
        std::string caption;
        bool hasPicture;
        int numGlyphs;
    };
    for (const Case& c : {Case{63, "", true, 2}, Case{0, "0", false, 2}, Case{65, "65", false, 2},
                          Case{13, "13", false, 2}, Case{8, "", true, 2}}) {
        SCOPED_TRACE(c.index);
        button.setGlyphIndex(c.index);
        EXPECT_EQ(button.caption(), c.caption);
        EXPECT_EQ(!button.glyph().isEmpty(), c.hasPicture);
        EXPECT_EQ(button.numGlyphs(), c.numGlyphs);
    }
    EXPECT_EQ(dialogs.texts, (std::vector<std::string>{"读取 BMP 发生错误"}));
}

TEST(DBLabel, PlacesItselfBesideItsControl) {
    auto form = makeComponent<Form>();
    DBEdit& edit = form->create<DBEdit>();
    edit.setParent(form.get());
    edit.setBounds(60, 80, 121, 21);
    struct Case {
        LabelPos pos;
        int left, top;
    };
    for (const Case& c : {Case{LabelPos::psLeft, 32, 84}, Case{LabelPos::psTop, 60, 63},
                          Case{LabelPos::psRight, 185, 84}, Case{LabelPos::psBottom, 60, 105}}) {
        DBLabel& label = form->create<DBLabel>();
        label.setParent(form.get());
        label.setBounds(0, 0, 24, 13);
        label.setPos(c.pos);
        label.setFocusControl(&edit);
        EXPECT_EQ(label.left(), c.left);
        EXPECT_EQ(label.top(), c.top);
        if (c.pos != LabelPos::psBottom) label.setFocusControl(nullptr);
    }
    DBLabel& second = form->create<DBLabel>();
    second.setParent(form.get());
    EXPECT_THROW(second.setFocusControl(&edit), EInvalidOperation);
}

}  // namespace
}  // namespace corvane::ui

namespace corvane::ui {
namespace {

TEST(Align, DockedControlsShareTheParentsArea) {
    auto form = makeComponent<Form>();
    form->setBounds(0, 0, 600, 400);
    ToolBar& bar = form->create<ToolBar>();
    StatusBar& status = form->create<StatusBar>();
    PageControl& pages = form->create<PageControl>();
    Panel& head = form->create<Panel>();
    for (Control* c : std::initializer_list<Control*>{&bar, &status, &pages, &head}) c->setParent(form.get());
    bar.setAlign(Align::alTop);
    status.setAlign(Align::alBottom);
    pages.setAlign(Align::alClient);
    head.setHeight(50);
    head.setAlign(Align::alTop);
    EXPECT_EQ(bar.bounds(), (Rect{0, 0, 600, 29}));
    EXPECT_EQ(head.bounds(), (Rect{0, 29, 600, 50}));
    EXPECT_EQ(status.bounds(), (Rect{0, 381, 600, 19}));
    EXPECT_EQ(pages.bounds(), (Rect{0, 79, 600, 302}));
    head.setVisible(false);
    EXPECT_EQ(pages.bounds(), (Rect{0, 29, 600, 352}));
    form->resize(800, 500);
    EXPECT_EQ(status.bounds(), (Rect{0, 481, 800, 19}));
    EXPECT_EQ(pages.width(), 800);
}

}  // namespace
}  // namespace corvane::ui
