// Data sources and data links: what controls hear, and a control's
// pending text written to its field before the record posts.

#include <gtest/gtest.h>

#include "DbTestData.h"
#include "platform/core/Exceptions.h"
#include "platform/db/DataSetTableModel.h"
#include "platform/db/DataSource.h"
#include "tests/support/TestSupport.h"

namespace corvane {
namespace {

class DataSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        cds.setName("cdsMain");
        test::openOn(cds, provider);
        source.setDataSet(&cds);
        link.setFieldName("MB004");
        link.setDataSource(&source);
        link.onDataChange = [this] { ++refreshes; };
    }
    std::shared_ptr<MemoryProvider> provider = test::resourceProvider(3);
    ClientDataSet cds;
    DataSource source;
    FieldDataLink link;
    int refreshes = 0;
};

TEST_F(DataSourceTest, EventsOfTheDataSource) {
    std::vector<std::string> seen;
    source.setOnStateChange([&](DataSource& s) { seen.push_back(std::string("state ") + dataSetStateName(s.state())); });
    source.setOnDataChange([&](DataSource&, Field* f) { seen.push_back("data " + (f ? f->fieldName() : std::string("*"))); });
    cds.next();
    cds.edit();
    cds.fieldByName("MB002").setAsString("x");
    cds.post();
    cds.close();
    EXPECT_EQ(seen, (std::vector<std::string>{"data *", "state Edit", "data MB002", "state Browse", "data *",
                                              "state Inactive", "data *"}));
    EXPECT_TRUE(source.events().has("onDataChange"));
    EXPECT_TRUE(source.events().has("OnStateChange"));
}

TEST_F(DataSourceTest, PendingTextIsWrittenBeforeThePost) {
    EXPECT_EQ(link.fieldText(false), "1.5");
    link.setPendingText("12");  // typing starts editing (AutoEdit)
    EXPECT_EQ(cds.state(), DataSetState::Edit);
    EXPECT_EQ(link.fieldText(true), "12");
    EXPECT_EQ(cds.fieldByName("MB004").asFloat(), 1.5);
    cds.post();
    EXPECT_EQ(cds.fieldByName("MB004").asFloat(), 12);
    EXPECT_FALSE(link.modified());
    EXPECT_EQ(cds.changeCount(), 1);
}

TEST_F(DataSourceTest, RefusedPendingTextStopsThePostAndStaysPending) {
    cds.fieldByName("MB004").setOnValidate([](Field& f) {
        if (f.asInteger() < 0) throw EAbort();
    });
    link.setPendingText("-3");
    EXPECT_THROW(cds.post(), EAbort);
    EXPECT_EQ(cds.state(), DataSetState::Edit);
    EXPECT_TRUE(link.modified());
    EXPECT_EQ(link.pendingText(), "-3");
    link.setPendingText("abc");
    EXPECT_THROW(link.updateRecord(), EConvertError);
    link.setPendingText("3");
    link.updateRecord();  // leaving the control
    EXPECT_EQ(cds.fieldByName("MB004").asFloat(), 3);
    cds.cancel();
    EXPECT_EQ(cds.fieldByName("MB004").asFloat(), 1.5);
    EXPECT_FALSE(link.modified());
}

TEST_F(DataSourceTest, LinksHearScrollsAndLetGoWhenDestroyed) {
    int before = refreshes;
    cds.next();
    EXPECT_GT(refreshes, before);
    EXPECT_EQ(link.fieldText(false), "3");
    {
        FieldDataLink temporary;
        temporary.setDataSource(&source);
        EXPECT_EQ(source.links().size(), 2u);
    }
    EXPECT_EQ(source.links().size(), 1u);
    source.setAutoEdit(false);
    EXPECT_THROW(link.setPendingText("1"), EDatabaseError);
    source.setEnabled(false);
    before = refreshes;
    cds.next();
    EXPECT_EQ(refreshes, before);
}

class Listener : public TableModelListener {
public:
    void modelReset() override { ++resets; }
    void rowsChanged(int first, int) override { changed.push_back(first); }
    void currentRowChanged(int row) override { current.push_back(row); }
    int resets = 0;
    std::vector<int> changed;
    std::vector<int> current;
};

TEST_F(DataSourceTest, TableModelShowsVisibleFieldsAndEdits) {
    DataSetTableModel model(&source);
    Listener listener;
    model.setListener(&listener);
    cds.fieldByName("FLAG").setVisible(false);
    cds.fieldByName("MB004").setDisplayFormat("#,##0.00");
    cds.fieldByName("MB002").setDisplayLabel("资源名称");
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.columnCount(), 4);
    EXPECT_EQ(test::utf8(model.headerText(1)), test::utf8("资源名称"));
    EXPECT_EQ(model.columnWidth(0), 10);
    EXPECT_EQ(model.displayText(2, 3), "4.50");
    EXPECT_EQ(model.editText(2, 3), "4.50");  // no edit format: the display format
    EXPECT_EQ(model.displayText(9, 0), "");
    EXPECT_EQ(model.currentRow(), 0);
    EXPECT_GT(listener.resets, 0);

    model.setCurrentRow(2);
    EXPECT_EQ(cds.recNo(), 3);
    EXPECT_EQ(listener.current.back(), 2);
    model.setText(1, 3, "7");
    EXPECT_EQ(cds.recNo(), 2);
    EXPECT_EQ(cds.state(), DataSetState::Edit);
    EXPECT_EQ(model.displayText(1, 3), "7.00");
    EXPECT_FALSE(listener.changed.empty());
    EXPECT_THROW(model.setText(1, 3, "x"), EConvertError);
    cds.post();
    cds.fieldByName("MB001").setReadOnly(true);
    EXPECT_TRUE(model.readOnly(0));
    EXPECT_FALSE(model.readOnly(1));
    cds.close();
    EXPECT_EQ(model.rowCount(), 0);
}

}  // namespace
}  // namespace corvane
