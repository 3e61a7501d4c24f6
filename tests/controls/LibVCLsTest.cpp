// Property access by name, event suspension, forced field text and the
// helpers for the controls bound to fields.

#include <gtest/gtest.h>

#include <map>

#include "controls/LibVCLs.h"
#include "platform/ui/Form.h"
#include "platform/ui/StdCtrls.h"
#include "tests/support/TestSupport.h"

namespace corvane {
namespace {

TEST(PropByName, MissingObjectsNamesAndPropertiesNeverRaise) {
    ui::Label label;
    label.setCaption("工厂");
    EXPECT_EQ(GetStrPropByName(&label, "Caption"), "工厂");
    EXPECT_EQ(GetStrPropByName(&label, "DataField"), "");
    EXPECT_EQ(GetStrPropByName(&label, "Left"), "");  // not a text property
    EXPECT_EQ(GetStrPropByName(nullptr, "Caption"), "");
    EXPECT_EQ(GetStrPropByName(&label, ""), "");
    SetStrPropByName(&label, "DataField", "MB001");
    SetStrPropByName(nullptr, "Caption", "x");
    SetStrPropByName(&label, "Caption", "名称");
    EXPECT_EQ(label.caption(), "名称");

    SetOrdPropByName(&label, "Left", 32);
    EXPECT_EQ(GetOrdPropByName(&label, "Left"), 32);
    EXPECT_EQ(GetOrdPropByName(&label, "Visible"), 1);
    EXPECT_EQ(GetOrdPropByName(&label, "Caption"), 0);
    EXPECT_EQ(GetOrdPropByName(&label, "Nothing"), 0);

    EXPECT_TRUE(HasPropByName(&label, "font.charset"));
    EXPECT_FALSE(HasPropByName(&label, "ImeName"));
    EXPECT_EQ(GetPropKindByName(&label, "Caption"), static_cast<int>(ui::TypeKind::String));
    EXPECT_EQ(GetPropKindByName(&label, "Font"), static_cast<int>(ui::TypeKind::Class));
    EXPECT_EQ(GetPropKindByName(&label, "OnClick"), static_cast<int>(ui::TypeKind::Method));
    EXPECT_EQ(GetPropKindByName(&label, "Nothing"), 0);
    EXPECT_EQ(GetObjectPropByName(&label, "Font"), &label.font());
    EXPECT_TRUE(GetMethodPropByName(&label, "OnNothing").isEmpty());

    DataSource source("dsMain");
    ui::DBEdit edit;
    SetDataSourcePropByName(&edit, "DataSource", &source);
    EXPECT_EQ(GetDataSourcePropByName(&edit, "DataSource"), &source);
    EXPECT_EQ(GetDataSourcePropByName(&label, "DataSource"), nullptr);
}

// A data set with every handler the suspension covers counting its calls.
struct CountedEvents {
    DataSet cds{"cdsMain"};
    DataSource ds{"dsMain"};
    std::map<std::string, int> calls;

    CountedEvents() {
        cds.addField("MB001", FieldType::String, 10);
        for (const std::string& name : dataSetEventNames())
            cds.setEvent(name, [this, name](DataSet&) { ++calls[name]; });
        cds.setEvent("AfterDelete", [this](DataSet&) { ++calls["AfterDelete"]; });
        ds.setDataSet(&cds);
        ds.setOnDataChange([this](DataSource&, Field*) { ++calls["OnDataChange"]; });
        ds.setOnStateChange([this](DataSource&) { ++calls["OnStateChange"]; });
    }
    int total() const {
        int sum = 0;
        for (const auto& [name, count] : calls) sum += count;
        return sum;
    }
    void openAndPost() {
        cds.open();
        cds.append();
        cds.fieldByName("MB001").setAsString("R01");
        cds.post();
        cds.edit();
        cds.post();
    }
};

TEST(EventSuspension, SourceEventsAreOffUntilRestored) {
    CountedEvents e;
    SavedEvents saved = SaveSourceEvents(&e.ds);
    EXPECT_EQ(saved.entries.size(), 12u);
    e.openAndPost();
    EXPECT_EQ(e.total(), 0);
    RestoreSourceEvents(&e.ds, saved);
    e.cds.edit();
    e.cds.post();
    for (const char* name : {"BeforeEdit", "AfterEdit", "BeforePost", "AfterPost"}) EXPECT_EQ(e.calls[name], 1) << name;
    EXPECT_EQ(e.calls["OnStateChange"], 2);  // to Edit and back to Browse
}

TEST(EventSuspension, DataSetEventsLeaveTheDataSourceAlone) {
    CountedEvents e;
    SavedEvents saved = SaveDataSetEvents(&e.cds);
    EXPECT_EQ(saved.entries.size(), 10u);
    e.openAndPost();
    EXPECT_EQ(e.calls["AfterPost"], 0);
    EXPECT_GT(e.calls["OnStateChange"], 0);
    RestoreDataSetEvents(&e.cds, saved);
    e.cds.edit();
    e.cds.post();
    EXPECT_EQ(e.calls["AfterPost"], 1);
}

TEST(EventSuspension, NamedEventsSkipUnknownNamesAndRestoreOnScopeExit) {
    CountedEvents e;
    e.cds.open();
    e.cds.append();
    e.cds.post();
    const int scrolls = e.calls["AfterScroll"];
    {
        ScopedNamedEvents off(&e.cds, {"AfterDelete", "BeforeScroll", "NoSuchEvent", "AfterScroll"});
        e.cds.deleteRecord();
        EXPECT_EQ(e.calls["AfterDelete"], 0);
        EXPECT_EQ(e.calls["AfterScroll"], scrolls);
    }
    e.cds.append();
    e.cds.post();
    e.cds.deleteRecord();
    EXPECT_EQ(e.calls["AfterDelete"], 1);
    EXPECT_EQ(SaveNamedEvents(nullptr, {"AfterPost"}).entries.size(), 0u);
}

struct ForceCase {
    const char* name;
    FieldType type;
    int size;
    std::string text;
    bool asEditText;
    std::string stored;
};

class ForceText : public ::testing::TestWithParam<ForceCase> {};

TEST_P(ForceText, WritesReadOnlyFieldsAndCutsTextsOnly) {
    const ForceCase& c = GetParam();
    DataSet cds("cdsMain");
    Field& field = cds.addField("F", c.type, c.size);
    cds.open();
    cds.append();
    field.setReadOnly(true);
    EXPECT_TRUE(ForceFieldText(&field, c.text, c.asEditText));
    EXPECT_TRUE(field.readOnly());
    EXPECT_EQ(field.asString(), c.stored) << test::utf8(field.asString());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ForceText,
    ::testing::Values(
        // Byte 10 is the first half of a Chinese character: 9 bytes stay.
        ForceCase{"CutBeforeDoubleByte", FieldType::String, 10, "ABC车床钻床", false, "ABC车床钻"},
        ForceCase{"CutAtSize", FieldType::String, 10, "ABCDEFGHIJKL", false, "ABCDEFGHIJ"},
        ForceCase{"ShortTextStays", FieldType::String, 10, "R01", false, "R01"},
        ForceCase{"MemoNeverCut", FieldType::Memo, 10, "ABCDEFGHIJKL", false, "ABCDEFGHIJKL"},
        ForceCase{"IntegerNeverCut", FieldType::Integer, 4, "1234567", false, "1234567"},
        ForceCase{"FloatAsEditText", FieldType::Float, 0, "1,234.5", true, "1234.5"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ForceText, NoFieldIsFalseAndAnErrorKeepsTheReadOnlyFlag) {
    EXPECT_FALSE(ForceFieldText(nullptr, "x", false));
    DataSet cds("cdsMain");
    Field& field = cds.addField("N", FieldType::Integer);
    cds.open();
    cds.append();
    field.setReadOnly(true);
    EXPECT_ANY_THROW(ForceFieldText(&field, "abc", true));
    EXPECT_TRUE(field.readOnly());
}

class FieldControls : public ::testing::Test {
protected:
    ui::ComponentPtr<ui::Form> form = ui::makeComponent<ui::Form>();
    ui::DBEdit& edit = bind<ui::DBEdit>("edMB001", "MB001");
    ui::DBComboBox& combo = bind<ui::DBComboBox>("cboMB002", "mb002");
    ui::DBCheckBox& check = bind<ui::DBCheckBox>("chkMB003", "MB003");
    ui::DBEdit& other = bind<ui::DBEdit>("edMB009", "MB009");

    template <class T>
    T& bind(const std::string& name, const std::string& field) {
        T& c = form->create<T>();
        c.setName(name);
        c.setParent(form.get());
        c.setDataField(field);
        c.setColor(ui::clWindow);
        return c;
    }
};

TEST_F(FieldControls, ColourSkipsCombosAndCheckBoxesUnlessItIsTheKeyColour) {
    ColorFieldControls(form.get(), "MB001; MB002 ;MB003", ';', ui::clRed);
    EXPECT_EQ(edit.color(), ui::clRed);
    EXPECT_EQ(combo.color(), ui::clWindow);
    EXPECT_EQ(check.color(), ui::clWindow);
    ColorFieldControls(form.get(), "MB001,MB002,MB003", ',', ui::rgb(0, 200, 200));
    EXPECT_EQ(combo.color(), ui::rgb(0, 200, 200));
    EXPECT_EQ(check.color(), ui::rgb(0, 200, 200));
    // An empty name ends the list.
    ColorFieldControls(form.get(), "MB001;;MB009", ';', ui::rgb(255, 255, 175));
    EXPECT_EQ(edit.color(), ui::rgb(255, 255, 175));
    EXPECT_EQ(other.color(), ui::clWindow);
    ColorFieldControls(nullptr, "MB001", ';', ui::clRed);
}

TEST_F(FieldControls, EnableTakesTheNameBeforeTheFirstBlank) {
    EnableFieldControls(form.get(), " MB001 资源编号;MB009 备注;", ';', false);
    EXPECT_FALSE(edit.enabled());
    EXPECT_FALSE(other.enabled());
    EXPECT_TRUE(combo.enabled());
    EnableFieldControls(form.get(), "mb001", ';', true);
    EXPECT_TRUE(edit.enabled());
}

class GridFit : public ::testing::Test {
protected:
    DataSet cds{"cdsMain"};
    DataSource ds{"dsMain"};
    ui::ComponentPtr<ui::Form> form = ui::makeComponent<ui::Form>();
    ui::Panel& panel = form->create<ui::Panel>();
    ui::DBGrid& grid = form->create<ui::DBGrid>();

    void SetUp() override {
        for (const char* name : {"MB001", "MB002", "MB003"}) cds.addField(name, FieldType::String, 10);
        cds.open();
        ds.setDataSet(&cds);
        panel.setParent(form.get());
        panel.setBounds(0, 0, 500, 300);
        grid.setParent(&panel);
        grid.setBounds(0, 0, 404, 200);  // client width 400
        grid.addColumn("MB001", "编号", 60);
        grid.addColumn("MB002", "名称", 100);
        grid.addColumn("MB003", "工厂", 50);
        grid.setDataSource(&ds);
    }
};

TEST_F(GridFit, SpareWidthGoesToTheVisibleColumnsOnly) {
    grid.columns()[2].visible = false;
    // sum = 60 + 100 + 2 (one per visible column) + 17 + 2 = 181; spare 219 / 2 = 109
    FitGridColumns(&grid);
    EXPECT_EQ(grid.columns()[0].width, 169);
    EXPECT_EQ(grid.columns()[1].width, 209);
    EXPECT_EQ(grid.columns()[2].width, 50);
    EXPECT_TRUE(grid.enabled());
    EXPECT_EQ(panel.width(), 500);
}

TEST_F(GridFit, ColumnsWiderThanTheGridWidenItsParent) {
    grid.setColumnWidth(1, 400);
    FitGridColumns(&grid);  // 60 + 400 + 50 + 3 + 17 + 2
    EXPECT_EQ(panel.width(), 532);
    EXPECT_EQ(grid.columns()[0].width, 60);
    cds.close();
    grid.setColumnWidth(1, 10);
    FitGridColumns(&grid);  // a closed data set changes nothing
    EXPECT_EQ(grid.columns()[0].width, 60);
}

struct Checks : CheckItems {
    std::vector<std::pair<std::string, bool>> items;
    int count() const override { return static_cast<int>(items.size()); }
    std::string itemText(int i) const override { return items[static_cast<std::size_t>(i)].first; }
    bool checked(int i) const override { return items[static_cast<std::size_t>(i)].second; }
};

TEST(CopySelectedChecks, AddsCheckedItemsNotYetThere) {
    Checks source;
    source.items = {{"MB001", true}, {"MB002", false}, {"MB003", true}, {"MB004", true}};
    std::vector<std::string> target{"MB003"};
    CopySelectedChecks(target, source);
    EXPECT_EQ(target, (std::vector<std::string>{"MB003", "MB001", "MB004"}));
}

TEST(IsBrowsingWithData, OpenBrowsingAndNotEmpty) {
    EXPECT_FALSE(IsBrowsingWithData(nullptr));
    DataSet cds("cdsMain");
    cds.addField("MB001", FieldType::String, 10);
    EXPECT_FALSE(IsBrowsingWithData(&cds));  // closed
    cds.open();
    EXPECT_FALSE(IsBrowsingWithData(&cds));  // empty
    cds.append();
    EXPECT_FALSE(IsBrowsingWithData(&cds));  // inserting
    cds.post();
    EXPECT_TRUE(IsBrowsingWithData(&cds));
}

}  // namespace
}  // namespace corvane
