// The data-set state machine, navigation, events, bookmarks, persistent,
// calculated and lookup fields.

#include <gtest/gtest.h>

#include "DbTestData.h"
#include "platform/core/Exceptions.h"
#include "platform/db/DataSource.h"
#include "tests/support/TestSupport.h"

namespace corvane {
namespace {

class DataSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        cds.setName("cdsMain");
        test::openOn(cds, provider);
    }
    // Records the events of every data-set slot by name.
    void recordEvents() {
        for (const std::string& name : cds.events().names()) {
            if (name == "OnReconcileError") continue;
            cds.setEvent(name, [this, name](DataSet&) { log.push_back(name); });
        }
    }
    std::vector<std::string> keys() {
        std::vector<std::string> out;
        for (int i = 0; i < cds.recordCount(); ++i)
            out.push_back(cds.withRecordAt(i, [&] { return cds.fieldByName("MB001").asString(); }));
        return out;
    }
    std::shared_ptr<MemoryProvider> provider = test::resourceProvider(5);
    ClientDataSet cds;
    std::vector<std::string> log;
};

TEST_F(DataSetTest, StateMachine) {
    struct Step {
        const char* op;
        DataSetState state;
        int count;
        const char* current;
    } steps[] = {
        {"edit", DataSetState::Edit, 5, "R01"},     {"cancel", DataSetState::Browse, 5, "R01"},
        {"next", DataSetState::Browse, 5, "R02"},   {"insert", DataSetState::Insert, 6, ""},
        {"cancel", DataSetState::Browse, 5, "R02"}, {"append", DataSetState::Insert, 6, "R09"},
        {"post", DataSetState::Browse, 6, "R09"},   {"delete", DataSetState::Browse, 5, "R05"},
        {"close", DataSetState::Inactive, 0, ""},   {"open", DataSetState::Browse, 5, "R01"},
    };
    for (const Step& step : steps) {
        std::string op = step.op;
        if (op == "edit") cds.edit();
        else if (op == "cancel") cds.cancel();
        else if (op == "next") cds.next();
        else if (op == "insert") cds.insert();
        else if (op == "append") cds.append(), cds.fieldByName("MB001").setAsString("R09");
        else if (op == "post") cds.post();
        else if (op == "delete") cds.deleteRecord();
        else if (op == "close") cds.close();
        else if (op == "open") cds.open();
        SCOPED_TRACE(op);
        EXPECT_EQ(cds.state(), step.state);
        EXPECT_EQ(cds.recordCount(), step.count);
        if (cds.active()) {
            EXPECT_EQ(cds.fieldByName("MB001").asString(), step.current);
        }
    }
}

TEST_F(DataSetTest, EditThenCancelRestoresAndInsertGoesBeforeTheCurrentRecord) {
    cds.next();
    cds.edit();
    cds.fieldByName("MB002").setAsString("changed");
    cds.cancel();
    EXPECT_EQ(test::utf8(cds.fieldByName("MB002").asString()), test::utf8("资源2"));
    cds.insert();
    cds.fieldByName("MB001").setAsString("R00");
    cds.post();
    EXPECT_EQ(keys(), (std::vector<std::string>{"R01", "R00", "R02", "R03", "R04", "R05"}));
    EXPECT_EQ(cds.recNo(), 2);
}

TEST_F(DataSetTest, NavigationEdges) {
    EXPECT_TRUE(cds.bof());
    EXPECT_FALSE(cds.eof());
    EXPECT_EQ(cds.moveBy(-1), 0);
    cds.last();
    EXPECT_TRUE(cds.eof());
    EXPECT_EQ(cds.recNo(), 5);
    cds.next();  // already at the end
    EXPECT_EQ(cds.recNo(), 5);
    cds.prior();
    EXPECT_FALSE(cds.eof());
    EXPECT_FALSE(cds.bof());
    EXPECT_EQ(cds.recNo(), 4);
    cds.first();
    EXPECT_TRUE(cds.bof());
    cds.setRecNo(3);
    EXPECT_EQ(cds.fieldByName("MB001").asString(), "R03");
    EXPECT_EQ(cds.moveBy(10), 2);
    EXPECT_TRUE(cds.eof());

    cds.setData(test::resourcePacket(0));
    EXPECT_TRUE(cds.isEmpty());
    EXPECT_TRUE(cds.bof() && cds.eof());
    EXPECT_EQ(cds.recNo(), 0);
    EXPECT_THROW(cds.deleteRecord(), EDatabaseError);
    cds.edit();  // an empty data set inserts instead
    EXPECT_EQ(cds.state(), DataSetState::Insert);
}

TEST_F(DataSetTest, EventsRunInOrder) {
    recordEvents();
    struct Case {
        const char* op;
        std::vector<std::string> events;
    } cases[] = {
        {"edit", {"BeforeEdit", "AfterEdit"}},
        {"post", {"BeforePost", "AfterPost"}},
        {"next", {"BeforeScroll", "AfterScroll"}},
        {"insert", {"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll"}},
        {"cancel", {"BeforeCancel", "AfterCancel"}},
        {"delete", {"BeforeDelete", "BeforeScroll", "AfterDelete", "AfterScroll"}},
        {"close", {"BeforeClose", "AfterClose"}},
        {"open", {"BeforeOpen", "AfterOpen", "AfterScroll"}},
    };
    for (const auto& c : cases) {
        log.clear();
        std::string op = c.op;
        if (op == "edit") cds.edit(), cds.fieldByName("MB002").setAsString("x");
        else if (op == "post") cds.post();
        else if (op == "next") cds.next();
        else if (op == "insert") cds.insert();
        else if (op == "cancel") cds.cancel();
        else if (op == "delete") cds.deleteRecord();
        else if (op == "close") cds.close();
        else if (op == "open") cds.open();
        EXPECT_EQ(log, c.events) << op;
    }
}

TEST_F(DataSetTest, SilentAbortFromBeforePostCancelsThePostOnly) {
    bool refuse = true;
    int afterPost = 0;
    cds.setBeforePost([&](DataSet&) {
        if (refuse) throw EAbort();
    });
    cds.setAfterPost([&](DataSet&) { ++afterPost; });
    cds.edit();
    cds.fieldByName("MB002").setAsString("new");
    EXPECT_THROW(cds.post(), EAbort);
    EXPECT_EQ(cds.state(), DataSetState::Edit);
    EXPECT_EQ(cds.fieldByName("MB002").asString(), "new");
    EXPECT_TRUE(cds.modified());
    EXPECT_EQ(afterPost, 0);
    EXPECT_EQ(cds.changeCount(), 0);
    refuse = false;
    cds.post();
    EXPECT_EQ(afterPost, 1);
    EXPECT_EQ(cds.changeCount(), 1);
}

TEST_F(DataSetTest, NewRecordDefaultsLeaveTheRecordUnmodified) {
    cds.setOnNewRecord([](DataSet& ds) {
        ds.fieldByName("MB004").setAsString("0");
        ds.fieldByName("FLAG").setAsInteger(-1);
    });
    cds.append();
    EXPECT_FALSE(cds.modified());
    EXPECT_EQ(cds.fieldByName("FLAG").asInteger(), -1);
    cds.next();  // leaving an unmodified insert drops it
    EXPECT_EQ(cds.recordCount(), 5);

    cds.setOnNewRecord([](DataSet&) { throw EAbort(); });
    EXPECT_THROW(cds.insert(), EAbort);
    EXPECT_EQ(cds.state(), DataSetState::Browse);
    EXPECT_EQ(cds.recordCount(), 5);
}

TEST_F(DataSetTest, RequiredFieldsMustHaveAValueAtPost) {
    Field& factory = cds.fieldByName("MB003");
    factory.setRequired(true);
    factory.setDisplayLabel("工厂");
    cds.append();
    cds.fieldByName("MB001").setAsString("R10");
    try {
        cds.post();
        FAIL() << "posted without a factory";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("工厂"), std::string::npos);
    }
    EXPECT_EQ(cds.state(), DataSetState::Insert);
    factory.setAsString("F1");
    cds.post();
    EXPECT_EQ(cds.recordCount(), 6);
}

TEST_F(DataSetTest, BookmarksFollowTheirRecord) {
    cds.setRecNo(3);
    Bookmark mark = cds.bookmark();
    cds.first();
    cds.insert();
    cds.fieldByName("MB001").setAsString("R00");
    cds.post();
    cds.setIndexFieldNames("MB002");
    cds.gotoBookmark(mark);
    EXPECT_EQ(cds.fieldByName("MB001").asString(), "R03");
    EXPECT_TRUE(cds.bookmarkValid(mark));
    cds.deleteRecord();
    EXPECT_FALSE(cds.bookmarkValid(mark));
    EXPECT_THROW(cds.gotoBookmark(mark), EDatabaseError);
}

TEST_F(DataSetTest, PersistentFieldsBindByName) {
    ClientDataSet typed("cdsMain");
    Field& name = typed.addField("mb002", FieldType::String, 20);
    typed.addField("MB001", FieldType::String, 10);
    typed.addField("MB003", FieldType::String, 6);
    typed.addField("MB004", FieldType::Float);
    typed.addField("FLAG", FieldType::Float);
    name.setDisplayLabel("资源名称");
    typed.setData(test::resourcePacket(2));
    EXPECT_EQ(typed.field(0).fieldName(), "mb002");  // fields keep their own order
    EXPECT_EQ(test::utf8(name.asString()), test::utf8("资源1"));
    EXPECT_EQ(&typed.fieldByName("MB002"), &name);
    typed.close();
    EXPECT_EQ(typed.fieldCount(), 5);  // persistent fields outlive the close

    ClientDataSet missing("cdsMain");
    missing.addField("MB001", FieldType::String, 10);
    try {
        missing.setData(test::resourcePacket(1));
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("MB002"), std::string::npos);
    }
    EXPECT_FALSE(missing.active());

    ClientDataSet extra("cdsMain");
    for (const ColumnDef& c : test::resourceColumns()) extra.addField(c.name, c.type, c.size);
    extra.addField("MB009", FieldType::String, 4);
    EXPECT_THROW(extra.setData(test::resourcePacket(1)), EDatabaseError);

    ClientDataSet dynamicFields("cdsMain");
    dynamicFields.setData(test::resourcePacket(1));
    EXPECT_EQ(dynamicFields.fieldCount(), 5);
    dynamicFields.close();
    EXPECT_EQ(dynamicFields.fieldCount(), 0);
}

TEST_F(DataSetTest, CalculatedAndLookupFields) {
    ClientDataSet factories("cdsFactory");
    factories.setData(DataPacket{{ColumnDef{"MA001", FieldType::String, 6, 0, 0, cfKey, {}},
                                  ColumnDef{"MA002", FieldType::String, 20, 0, 0, 0, {}}},
                                 {{Variant(u"F1"), Variant(test::wide("一厂"))}, {Variant(u"F2"), Variant(test::wide("二厂"))}},
                                 true});
    ClientDataSet main("cdsMain");
    for (const ColumnDef& c : test::resourceColumns()) main.addField(c.name, c.type, c.size);
    Field& twice = main.addField("TWICE", FieldType::Float, 0, FieldKind::Calculated);
    Field& factoryName = main.addField("MB003C", FieldType::String, 20, FieldKind::Lookup);
    factoryName.setLookupDataSet(&factories);
    factoryName.setKeyFields("MB003");
    factoryName.setLookupKeyFields("MA001");
    factoryName.setLookupResultField("MA002");
    main.setOnCalcFields([](DataSet& ds) {
        EXPECT_EQ(ds.state(), DataSetState::CalcFields);
        ds.fieldByName("TWICE").setAsFloat(ds.fieldByName("MB004").asFloat() * 2);
    });
    main.setData(test::resourcePacket(3));
    EXPECT_EQ(twice.asFloat(), 3);
    EXPECT_EQ(test::utf8(factoryName.asString()), test::utf8("一厂"));
    main.next();
    EXPECT_EQ(test::utf8(factoryName.asString()), test::utf8("二厂"));
    main.edit();
    main.fieldByName("MB004").setAsFloat(10);
    main.fieldByName("MB003").setAsString("F1");
    EXPECT_EQ(twice.asFloat(), 20);
    EXPECT_EQ(test::utf8(factoryName.asString()), test::utf8("一厂"));
    EXPECT_THROW(twice.setAsFloat(1), EDatabaseError);  // only OnCalcFields writes it
    main.post();
    EXPECT_EQ(main.withRecordAt(0, [&] { return twice.asFloat(); }), 3);
}

TEST_F(DataSetTest, DisableControlsNestsAndSendsOneChange) {
    DataSource source;
    int changes = 0;
    source.setOnDataChange([&](DataSource&, Field*) { ++changes; });
    source.setDataSet(&cds);
    cds.disableControls();
    cds.disableControls();
    cds.next();
    cds.next();
    cds.enableControls();
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(cds.controlsDisabled());
    cds.enableControls();
    EXPECT_EQ(changes, 1);
    cds.enableControls();  // unbalanced: ignored
    cds.next();
    EXPECT_EQ(changes, 2);
}

}  // namespace
}  // namespace corvane
