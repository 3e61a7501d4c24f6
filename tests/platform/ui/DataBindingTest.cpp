// Data-aware controls bound to a data set through a data source.

#include <gtest/gtest.h>

#include "platform/db/DataSet.h"
#include "platform/db/DataSource.h"
#include "platform/ui/Form.h"
#include "platform/ui/Grids.h"
#include "platform/ui/StdCtrls.h"

namespace corvane::ui {
namespace {

struct Bound {
    Application app;
    DataSet cds{"cdsMain"};
    DataSource ds{"dsMain"};
    Form* form = nullptr;
    DBEdit* edName = nullptr;
    DBEdit* edCap = nullptr;
    DBCheckBox* flag = nullptr;

    Bound() {
        cds.addField("MB001", FieldType::String, 10);
        cds.addField("MB002", FieldType::String, 20);
        cds.addField("MB004", FieldType::Float);
        cds.addField("MB010", FieldType::String, 1);
        cds.open();
        for (auto [code, name, flagValue] : {std::tuple{"R01", "车床", "Y"}, {"R02", "铣床", "n"}, {"R03", "钻床", "X"}}) {
            cds.append();
            cds.fieldByName("MB001").setAsString(code);
            cds.fieldByName("MB002").setAsString(name);
            cds.fieldByName("MB004").setAsFloat(8);
            cds.fieldByName("MB010").setAsString(flagValue);
            cds.post();
        }
        cds.first();
        ds.setDataSet(&cds);
        form = &app.createForm<Form>();
        edName = &bind<DBEdit>("MB002");
        edCap = &bind<DBEdit>("MB004");
        flag = &bind<DBCheckBox>("MB010");
        flag->setValueChecked("Y");
        flag->setValueUnchecked("N");
        flag->dataChanged();
        form->show();
    }
    template <class T>
    T& bind(const std::string& field) {
        T& c = form->create<T>();
        c.setParent(form);
        c.setDataField(field);
        c.setDataSource(&ds);
        return c;
    }
};

TEST(DataBinding, EditShowsTheFieldAndWritesTypedTextOnExit) {
    Bound b;
    EXPECT_EQ(b.edName->text(), "车床");
    b.edName->setFocus();
    ASSERT_TRUE(b.edName->typeText("刨床"));
    EXPECT_EQ(b.cds.state(), DataSetState::Edit);
    EXPECT_EQ(b.cds.fieldByName("MB002").asString(), "车床");  // pending until the focus leaves
    b.edCap->setFocus();
    EXPECT_EQ(b.cds.fieldByName("MB002").asString(), "刨床");
    b.cds.post();
    b.cds.next();
    EXPECT_EQ(b.edName->text(), "铣床");
}

TEST(DataBinding, AFailedValidationKeepsTheFocusAndTheText) {
    Bound b;
    b.cds.fieldByName("MB004").setOnValidate([](Field& f) {
        if (f.asFloat() < 0) throw EAbort();
    });
    b.edCap->setFocus();
    ASSERT_TRUE(b.edCap->typeText("-5"));
    EXPECT_THROW(b.edName->setFocus(), EAbort);
    EXPECT_TRUE(b.edCap->focused());
    EXPECT_EQ(b.edCap->text(), "-5");
    EXPECT_DOUBLE_EQ(b.cds.fieldByName("MB004").asFloat(), 8);
}

TEST(DataBinding, ReadOnlyFieldRefusesTyping) {
    Bound b;
    b.cds.fieldByName("MB002").setReadOnly(true);
    EXPECT_FALSE(b.edName->typeText("x"));
    EXPECT_EQ(b.cds.state(), DataSetState::Browse);
}

TEST(DataBinding, CheckBoxReadsYesNoFlagsAndWritesTheCheckedValue) {
    Bound b;
    EXPECT_EQ(b.flag->state(), CheckState::cbChecked);  // "Y"
    b.cds.next();
    EXPECT_EQ(b.flag->state(), CheckState::cbUnchecked);  // "n", any case
    b.cds.next();
    EXPECT_EQ(b.flag->state(), CheckState::cbGrayed);  // "X"
    b.flag->click();
    EXPECT_EQ(b.flag->state(), CheckState::cbChecked);
    EXPECT_EQ(b.cds.fieldByName("MB010").asString(), "Y");
    b.flag->setValueChecked("T;Y");
    b.flag->click();
    b.flag->click();
    EXPECT_EQ(b.cds.fieldByName("MB010").asString(), "T");
}

TEST(DataBinding, GridShowsTheDataSetsRowsAndFollowsTheCurrentRow) {
    Bound b;
    DBGrid& grid = b.bind<DBGrid>("");
    ASSERT_EQ(grid.columns().size(), 4u);
    EXPECT_EQ(grid.columns()[1].fieldName, "MB002");
    EXPECT_EQ(grid.cellText(2, 1), "钻床");
    grid.cellClick(1, 0);
    EXPECT_EQ(b.cds.recNo(), 2);
    EXPECT_EQ(b.edName->text(), "铣床");
    ASSERT_TRUE(grid.editCell(1, 1, "磨床"));
    EXPECT_EQ(b.cds.state(), DataSetState::Edit);
    EXPECT_EQ(grid.cellText(1, 1), "磨床");
    b.cds.cancel();
    EXPECT_EQ(grid.cellText(1, 1), "铣床");
}

}  // namespace
}  // namespace corvane::ui
