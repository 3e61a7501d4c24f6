// Client data sets against the in-process provider: data requests,
// packets and fetching on demand, the change log, apply and reconcile,
// indexes, hashed Locate, nested and linked details.

#include <gtest/gtest.h>

#include "DbTestData.h"
#include "platform/core/CodePage.h"
#include "platform/core/Exceptions.h"
#include "platform/db/DataSource.h"
#include "platform/db/DispatchProvider.h"
#include "tests/support/TestSupport.h"

namespace corvane {
namespace {

Variant request(std::string_view where, std::string_view orderBy) {
    return Variant::arrayOf({Variant(test::wide(where)), Variant(std::string(orderBy))});
}

class ClientDataSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        cds.setName("cdsMain");
        cds.setProviderConnection(provider);
        cds.setProviderName("pvdMain");
    }
    std::string key() { return cds.fieldByName("MB001").asString(); }
    std::vector<std::string> keys() {
        std::vector<std::string> out;
        for (int i = 0; i < cds.recordCount(); ++i)
            out.push_back(cds.withRecordAt(i, [&] { return key(); }));
        return out;
    }
    const RowValues& serverRow(int index) { return provider->table("pvdMain").rows.at(static_cast<std::size_t>(index)); }
    // Another user changes a row on the server meanwhile.
    void changeOnServer(int index, int column, Variant value) {
        provider->table("pvdMain").rows.at(static_cast<std::size_t>(index)).at(static_cast<std::size_t>(column)) = value;
    }

    std::shared_ptr<MemoryProvider> provider = test::resourceProvider(45);
    ClientDataSet cds;
};

TEST_F(ClientDataSetTest, DataRequestSelectsAndOrders) {
    struct Case {
        const char* where;
        const char* orderBy;
        int count;
        const char* first;
    } cases[] = {
        {"", "", 45, "R01"},
        {"1=2", "MB001", 0, ""},
        {"MPSMB.MB003='F2'", "MB001 DESC", 22, "R44"},
        {"MB002='资源7'", "", 1, "R07"},  // the condition travels as UTF-16
        {"MB003='F1' and MB004=4.5", "", 1, "R03"},
    };
    for (const auto& c : cases) {
        cds.close();
        cds.dataRequest(request(c.where, c.orderBy));
        cds.open();
        SCOPED_TRACE(c.where);
        EXPECT_EQ(cds.recordCount(), c.count);
        EXPECT_EQ(key(), c.first);
    }
    EXPECT_EQ(cds.fieldByName("MB002").dataType(), FieldType::String);
    EXPECT_EQ(cds.fieldByName("MB001").size(), 10);

    EXPECT_THROW(cds.dataRequest(Variant("MB001='R01'")), EDatabaseError);
    EXPECT_THROW(cds.dataRequest(Variant::arrayOf({Variant(u"")})), EDatabaseError);
    cds.close();
    cds.setProviderName("");
    EXPECT_THROW(cds.open(), EDatabaseError);
    EXPECT_FALSE(cds.active());
}

TEST_F(ClientDataSetTest, PacketsAndFetchOnDemand) {
    cds.setPacketRecords(20);
    cds.setFetchOnDemand(false);
    cds.open();
    EXPECT_EQ(cds.recordCount(), 20);
    EXPECT_TRUE(cds.moreToFetch());
    cds.last();
    cds.next();
    EXPECT_EQ(cds.recordCount(), 20);  // no fetching on demand
    EXPECT_TRUE(cds.eof());

    EXPECT_EQ(cds.getNextPacket(), 20);
    EXPECT_FALSE(cds.eof());
    EXPECT_EQ(cds.recNo(), 20);  // the position stays
    cds.next();
    EXPECT_EQ(key(), "R21");
    EXPECT_EQ(cds.getNextPacket(), 5);
    EXPECT_FALSE(cds.moreToFetch());
    EXPECT_EQ(cds.getNextPacket(), 0);
    EXPECT_EQ(cds.recordCount(), 45);

    // On demand: stepping past the last fetched row fetches one packet.
    cds.close();
    cds.setFetchOnDemand(true);
    cds.open();
    cds.setRecNo(20);
    int served = provider->packetsServed();
    cds.next();
    EXPECT_EQ(provider->packetsServed(), served + 1);
    EXPECT_EQ(cds.recordCount(), 40);
    EXPECT_EQ(key(), "R21");
    cds.last();  // fetches the rest
    EXPECT_EQ(cds.recordCount(), 45);
    EXPECT_EQ(key(), "R45");
}

TEST_F(ClientDataSetTest, BeforeScrollMayFetchTheNextPacket) {
    cds.setPacketRecords(20);
    cds.setFetchOnDemand(false);
    cds.setBeforeScroll([](DataSet& ds) {
        auto& client = static_cast<ClientDataSet&>(ds);
        if (ds.state() == DataSetState::Browse && ds.recNo() == ds.recordCount()) client.getNextPacket();
    });
    cds.open();
    cds.setRecNo(20);
    cds.next();
    EXPECT_EQ(key(), "R21");
    EXPECT_EQ(cds.recordCount(), 40);
}

TEST_F(ClientDataSetTest, ChangeLogKeepsOriginalValuesAndBuildsTheDelta) {
    cds.open();
    cds.edit();
    cds.fieldByName("MB002").setAsString("新名");
    cds.fieldByName("FLAG").setAsFloat(-1);
    EXPECT_EQ(cds.fieldByName("MB002").oldValue(), Variant("资源1"));
    cds.post();
    cds.next();
    cds.deleteRecord();
    cds.append();
    cds.fieldByName("MB001").setAsString("R99");
    cds.fieldByName("MB002").setAsString("甲");
    cds.post();
    EXPECT_EQ(cds.changeCount(), 3);
    cds.first();
    EXPECT_EQ(cds.updateStatus(), UpdateStatus::Modified);
    EXPECT_EQ(cds.fieldByName("MB002").oldValue(), Variant("资源1"));

    Delta delta = cds.delta();
    ASSERT_EQ(delta.rows.size(), 3u);
    EXPECT_EQ(delta.rows[0].kind, UpdateKind::Delete);
    EXPECT_EQ(delta.rows[0].original[0], Variant(u"R02"));
    EXPECT_EQ(delta.rows[1].kind, UpdateKind::Modify);
    EXPECT_EQ(delta.rows[1].original[1], Variant(test::wide("资源1")));
    EXPECT_EQ(delta.rows[1].current[1], Variant(test::wide("新名")));
    EXPECT_EQ(delta.rows[1].changed, (std::vector<bool>{false, true, false, false, true}));
    EXPECT_EQ(delta.rows[2].kind, UpdateKind::Insert);
    EXPECT_EQ(delta.rows[2].current[0], Variant(u"R99"));

    EXPECT_EQ(cds.applyUpdates(0), 0);
    EXPECT_EQ(cds.changeCount(), 0);
    EXPECT_EQ(serverRow(0)[1], Variant(test::wide("新名")));
    EXPECT_EQ(serverRow(0)[4], Variant(-1.0));
    EXPECT_EQ(serverRow(1)[0], Variant(u"R03"));  // R02 is gone
    EXPECT_EQ(provider->table("pvdMain").rows.back()[0], Variant(u"R99"));
    EXPECT_EQ(cds.fieldByName("MB002").oldValue(), Variant("新名"));
}

TEST_F(ClientDataSetTest, CancelUpdatesAndRevertRecord) {
    cds.open();
    cds.edit();
    cds.fieldByName("MB002").setAsString("x");
    cds.post();
    cds.next();
    cds.deleteRecord();
    cds.append();
    cds.fieldByName("MB001").setAsString("R99");
    cds.post();
    cds.first();
    cds.revertRecord();
    EXPECT_EQ(test::utf8(cds.fieldByName("MB002").asString()), test::utf8("资源1"));
    EXPECT_EQ(cds.changeCount(), 2);
    cds.cancelUpdates();
    EXPECT_EQ(cds.changeCount(), 0);
    EXPECT_EQ(cds.recordCount(), 45);
    EXPECT_EQ(keys()[1], "R02");  // the deleted record is back in its place
    EXPECT_TRUE(cds.locate("MB001", Variant("R02")));
    EXPECT_FALSE(cds.locate("MB001", Variant("R99")));
}

struct ReconcileCase {
    ReconcileAction action;
    int pendingAfter;
    const char* nameAfter;  // the client's MB002 of R01 after the apply
};

class ReconcileTest : public ClientDataSetTest, public ::testing::WithParamInterface<ReconcileCase> {};

TEST_P(ReconcileTest, RefusedChangeFollowsTheAction) {
    const ReconcileCase& c = GetParam();
    cds.open();
    cds.edit();
    cds.fieldByName("MB002").setAsString("mine");
    cds.post();
    changeOnServer(0, 1, Variant(u"theirs"));

    std::vector<std::string> seen;
    cds.setOnReconcileError([&](ClientDataSet& ds, const EReconcileError& e, UpdateKind kind, ReconcileAction& action) {
        EXPECT_EQ(kind, UpdateKind::Modify);
        EXPECT_EQ(ds.fieldByName("MB001").asString(), "R01");  // positioned on the refused record
        seen.push_back(e.message() + "|" + e.context() + "|" + std::to_string(e.errorCode()) + "|" +
                       std::to_string(e.previousError()));
        action = c.action;
    });
    EXPECT_EQ(cds.applyUpdates(0), 1);
    EXPECT_EQ(seen, (std::vector<std::string>{"Record changed by another user|row 0|2|0"}));
    EXPECT_EQ(cds.changeCount(), c.pendingAfter);
    cds.first();
    EXPECT_EQ(test::utf8(cds.fieldByName("MB002").asString()), test::utf8(c.nameAfter));
    EXPECT_EQ(serverRow(0)[1], Variant(u"theirs"));
}

INSTANTIATE_TEST_SUITE_P(Actions, ReconcileTest,
                         ::testing::Values(ReconcileCase{ReconcileAction::Skip, 1, "mine"},
                                           ReconcileCase{ReconcileAction::Abort, 1, "mine"},
                                           ReconcileCase{ReconcileAction::Cancel, 0, "资源1"},
                                           ReconcileCase{ReconcileAction::Merge, 0, "mine"}));

TEST_F(ClientDataSetTest, SkippedChangesCanBeMendedAndAppliedAgain) {
    provider->setRefuseHook([](const DeltaRow& row) -> std::optional<MemoryProvider::Refusal> {
        if (row.current.size() > 3 && row.current[3].toDouble() < 0) return MemoryProvider::Refusal{100012, u"negative"};
        return std::nullopt;
    });
    std::vector<int> previous;
    cds.setOnReconcileError([&](ClientDataSet&, const EReconcileError& e, UpdateKind, ReconcileAction&) {
        previous.push_back(e.previousError());
    });
    cds.open();
    cds.edit();
    cds.fieldByName("MB004").setAsFloat(-5);
    cds.post();
    EXPECT_EQ(cds.applyUpdates(-1), 1);
    EXPECT_EQ(cds.applyUpdates(-1), 1);  // still refused: its previous error is known now
    EXPECT_EQ(previous, (std::vector<int>{0, 100012}));
    cds.edit();
    cds.fieldByName("MB004").setAsFloat(5);
    cds.post();
    EXPECT_EQ(cds.applyUpdates(-1), 0);
    EXPECT_EQ(cds.changeCount(), 0);
    EXPECT_EQ(serverRow(0)[3], Variant(5.0));
}

TEST_F(ClientDataSetTest, TooManyErrorsRollBackEverything) {
    cds.open();
    for (int row : {0, 1}) {
        cds.setRecNo(row + 1);
        cds.edit();
        cds.fieldByName("MB002").setAsString("mine");
        cds.post();
    }
    changeOnServer(1, 1, Variant(u"theirs"));
    EXPECT_EQ(cds.applyUpdates(0), 1);
    EXPECT_EQ(cds.changeCount(), 2);  // nothing was stored
    EXPECT_EQ(serverRow(0)[1], Variant(test::wide("资源1")));
    EXPECT_EQ(cds.applyUpdates(1), 1);  // one allowed: the other is stored
    EXPECT_EQ(cds.changeCount(), 1);
    EXPECT_EQ(serverRow(0)[1], Variant(u"mine"));
}

TEST_F(ClientDataSetTest, InsertWithAnExistingKeyIsRefused) {
    cds.open();
    cds.append();
    cds.fieldByName("MB001").setAsString("R01");
    cds.post();
    UpdateKind seen = UpdateKind::Modify;
    cds.setOnReconcileError([&](ClientDataSet&, const EReconcileError&, UpdateKind kind, ReconcileAction& action) {
        seen = kind;
        action = ReconcileAction::Cancel;
    });
    EXPECT_EQ(cds.applyUpdates(0), 1);
    EXPECT_EQ(seen, UpdateKind::Insert);
    EXPECT_EQ(cds.recordCount(), 45);
    EXPECT_EQ(cds.changeCount(), 0);
}

TEST_F(ClientDataSetTest, IndexesOrderTheRecords) {
    cds.dataRequest(request("MB004<0", ""));  // unsupported by the memory provider
    EXPECT_THROW(cds.open(), EDatabaseError);
    cds.dataRequest(request("", ""));
    cds.open();
    cds.setIndexFieldNames("MB003;MB001");
    EXPECT_EQ(keys()[0], "R01");
    EXPECT_EQ(keys()[23], "R02");  // 23 rows of F1, then F2
    cds.addIndex("byCapacityDesc", "MB003;MB004", 0, "MB004");
    cds.setIndexName("byCapacityDesc");
    EXPECT_TRUE(cds.indexFieldNames().empty());
    EXPECT_EQ(keys()[0], "R45");
    EXPECT_EQ(keys()[23], "R44");
    EXPECT_THROW(cds.setIndexName("nope"), EDatabaseError);
    EXPECT_EQ(cds.indexName(), "byCapacityDesc");

    // A posted record moves to its place and stays current.
    cds.first();
    cds.edit();
    cds.fieldByName("MB004").setAsFloat(0);
    cds.post();
    EXPECT_EQ(key(), "R45");
    EXPECT_EQ(cds.recNo(), 23);
    cds.append();
    cds.fieldByName("MB001").setAsString("R99");
    cds.fieldByName("MB003").setAsString("F1");
    cds.fieldByName("MB004").setAsFloat(1000);
    cds.post();
    EXPECT_EQ(cds.recNo(), 1);

    cds.setIndexFieldNames("");
    EXPECT_EQ(keys()[0], "R01");
    cds.setIndexFieldNames("MB002");  // null first, then texts by their bytes
    EXPECT_EQ(keys()[0], "R99");
    EXPECT_EQ(keys()[1], "R01");
    EXPECT_EQ(keys()[2], "R10");
    EXPECT_THROW(cds.setIndexFieldNames("NOPE"), EDatabaseError);
    EXPECT_EQ(cds.indexFieldNames(), "MB002");
}

TEST_F(ClientDataSetTest, LocateByOneOrSeveralFields) {
    cds.open();
    struct Case {
        const char* fields;
        Variant values;
        DataSet::LocateOptions options;
        const char* found;
    } cases[] = {
        {"MB001", Variant("R17"), {}, "R17"},
        {"mb001", Variant("r17"), {true, false}, "R17"},
        {"MB001", Variant("r17"), {}, nullptr},
        {"MB003;MB004", Variant::arrayOf({Variant("F2"), Variant(6.0)}), {}, "R04"},
        {"MB003;MB004", Variant::arrayOf({Variant("F2"), Variant("6")}), {}, "R04"},
        {"MB003;MB004", Variant::arrayOf({Variant("F1"), Variant(6.0)}), {}, nullptr},
        {"MB003", Variant("F2"), {}, "R02"},            // the first in the current order
        {"MB002", Variant("资源4"), {false, true}, "R04"},  // partial: 资源4 before 资源40..45
        {"MB004", Variant("abc"), {}, nullptr},          // unreadable number: nothing matches
        {"MB003", Variant::null(), {}, nullptr},
    };
    for (const auto& c : cases) {
        cds.first();
        bool found = cds.locate(c.fields, c.values, c.options);
        SCOPED_TRACE(c.fields);
        EXPECT_EQ(found, c.found != nullptr);
        // A failed locate does not move.
        EXPECT_EQ(key(), c.found ? c.found : "R01");
    }
    EXPECT_THROW(cds.locate("NOPE", Variant("x")), EDatabaseError);
}

TEST_F(ClientDataSetTest, LocateFollowsChangesAfterTheIndexIsBuilt) {
    cds.open();
    ASSERT_TRUE(cds.locate("MB001", Variant("R05")));
    cds.edit();
    cds.fieldByName("MB001").setAsString("X05");
    cds.post();
    EXPECT_FALSE(cds.locate("MB001", Variant("R05")));
    EXPECT_TRUE(cds.locate("MB001", Variant("X05")));
    cds.deleteRecord();
    EXPECT_FALSE(cds.locate("MB001", Variant("X05")));
    cds.append();
    cds.fieldByName("MB001").setAsString("N01");
    cds.post();
    cds.first();
    EXPECT_TRUE(cds.locate("MB001", Variant("N01")));
    EXPECT_EQ(cds.recNo(), 45);
    cds.setIndexFieldNames("MB001");
    EXPECT_TRUE(cds.locate("MB001", Variant("N01")));
    EXPECT_EQ(cds.recNo(), 1);
    EXPECT_EQ(cds.lookup("MB001", Variant("R07"), "MB004"), Variant(10.5));
    EXPECT_TRUE(cds.lookup("MB001", Variant("none"), "MB004").isNull());
}

// A master whose rows hold their detail rows in a nested column.
DataPacket nestedPacket() {
    ColumnDef detail{"DETAIL", FieldType::DataSet, 0, 0, 0, 0,
                     {ColumnDef{"LINE", FieldType::Integer, 0, 0, 0, cfKey, {}},
                      ColumnDef{"TEXT", FieldType::String, 10, 0, 0, 0, {}}}};
    DataPacket packet;
    packet.columns = {ColumnDef{"ID", FieldType::String, 4, 0, 0, cfKey, {}}, detail};
    auto lines = [](std::initializer_list<int> numbers) {
        std::vector<Variant> rows;
        for (int n : numbers) rows.push_back(Variant::arrayOf({Variant(n), Variant(u"line" + std::u16string(1, char16_t(u'0' + n)))}));
        return Variant::arrayOf(rows);
    };
    packet.rows = {{Variant(u"A"), lines({1, 2})}, {Variant(u"B"), lines({})}, {Variant(u"C"), lines({1, 2, 3})}};
    packet.endOfData = true;
    return packet;
}

TEST(NestedDataSetTest, DetailRowsGoWithTheirParent) {
    ClientDataSet master("cdsMain");
    ClientDataSet detail("cdsBody1");
    master.setData(nestedPacket());
    detail.setDataSetField(&master.fieldByName("DETAIL"));
    detail.open();
    EXPECT_EQ(detail.recordCount(), 2);
    master.next();
    EXPECT_TRUE(detail.isEmpty());
    master.next();
    EXPECT_EQ(detail.recordCount(), 3);
    EXPECT_EQ(detail.fieldByName("TEXT").asString(), "line1");

    detail.last();
    detail.edit();
    detail.fieldByName("TEXT").setAsString("changed");
    detail.post();
    detail.append();
    detail.fieldByName("LINE").setAsInteger(4);
    detail.post();
    EXPECT_EQ(detail.changeCount(), 2);
    EXPECT_EQ(master.changeCount(), 2);

    Delta delta = master.delta();
    ASSERT_EQ(delta.rows.size(), 1u);
    EXPECT_EQ(delta.rows[0].kind, UpdateKind::Modify);
    EXPECT_EQ(delta.rows[0].changed, (std::vector<bool>{false, true}));
    const Variant& rows = delta.rows[0].current[1];
    ASSERT_EQ(rows.length(), 4);
    EXPECT_EQ(rows[2][1], Variant(u"changed"));
    EXPECT_EQ(delta.rows[0].original[1].length(), 3);

    master.first();
    EXPECT_EQ(detail.recordCount(), 2);
    master.last();
    EXPECT_EQ(detail.recordCount(), 4);  // the nested rows stayed with C
    master.deleteRecord();
    EXPECT_EQ(master.delta().rows.at(0).kind, UpdateKind::Delete);
    EXPECT_EQ(master.changeCount(), 1);  // C's pending nested rows went with it
    EXPECT_EQ(detail.recordCount(), 0);  // now on B
    master.close();
    EXPECT_FALSE(detail.active());
}

TEST(NestedDataSetTest, MasterRecordIsNeededToInsertNestedRows) {
    ClientDataSet master("cdsMain");
    DataPacket packet = nestedPacket();
    packet.rows.clear();
    master.setData(packet);
    ClientDataSet detail("cdsBody1");
    detail.setDataSetField(&master.fieldByName("DETAIL"));
    detail.open();
    EXPECT_THROW(detail.append(), EDatabaseError);
    master.append();
    master.fieldByName("ID").setAsString("N");
    detail.append();
    detail.fieldByName("LINE").setAsInteger(1);
    detail.post();
    master.post();
    EXPECT_EQ(master.delta().rows.at(0).kind, UpdateKind::Insert);
    EXPECT_EQ(master.delta().rows.at(0).current[1].length(), 1);
}

TEST(LinkedDetailTest, ShowsTheRowsOfTheMastersCurrentRecord) {
    ClientDataSet master("cdsMain");
    master.setData(test::resourcePacket(4));
    DataSource dsMain;
    dsMain.setDataSet(&master);
    ClientDataSet detail("cdsColor");
    detail.setData(DataPacket{{ColumnDef{"MB001", FieldType::String, 10, 0, 0, 0, {}},
                               ColumnDef{"COLOR", FieldType::Integer, 0, 0, 0, 0, {}}},
                              {{Variant(u"R01"), Variant(1)}, {Variant(u"R02"), Variant(2)}, {Variant(u"R01"), Variant(3)}},
                              true});
    detail.setMasterSource(&dsMain);
    detail.setMasterFields("MB001");
    EXPECT_EQ(detail.recordCount(), 2);
    master.next();
    EXPECT_EQ(detail.recordCount(), 1);
    EXPECT_EQ(detail.fieldByName("COLOR").asInteger(), 2);
    master.next();
    EXPECT_TRUE(detail.isEmpty());
    detail.append();  // link fields come from the master
    EXPECT_EQ(detail.fieldByName("MB001").asString(), "R03");
    detail.fieldByName("COLOR").setAsInteger(9);
    detail.post();
    master.first();
    EXPECT_EQ(detail.recordCount(), 2);
    master.last();
    EXPECT_EQ(detail.recordCount(), 0);
    master.prior();
    EXPECT_EQ(detail.recordCount(), 1);
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

// The same provider behind an object answering AS_DataRequest,
// AS_GetRecords and AS_ApplyUpdates: packets and deltas go through the
// wire encoding, as with the application server.
class EncodedPathTest : public ClientDataSetTest {
protected:
    void SetUp() override {
        cds.setName("cdsMain");
        cds.setRemoteServer(std::make_shared<ProviderDispatch>(provider));
        cds.setProviderName("pvdMain");
    }
};

TEST_F(EncodedPathTest, PacketsChangesAndReconcileTravelEncoded) {
    cds.setPacketRecords(20);
    cds.dataRequest(request("MB003='F1'", "MB001"));
    cds.open();
    EXPECT_EQ(cds.recordCount(), 20);
    EXPECT_EQ(test::utf8(cds.fieldByName("MB002").asString()), test::utf8("资源1"));
    cds.last();  // fetch on demand
    EXPECT_EQ(cds.recordCount(), 23);

    cds.first();
    cds.edit();
    cds.fieldByName("MB002").setAsString("甲乙");
    cds.post();
    cds.next();
    cds.edit();
    cds.fieldByName("MB002").setAsString("丙");
    cds.post();
    changeOnServer(2, 1, Variant(u"theirs"));  // R03, the second change
    std::vector<std::string> messages;
    cds.setOnReconcileError([&](ClientDataSet&, const EReconcileError& e, UpdateKind, ReconcileAction&) {
        messages.push_back(e.message());
    });
    EXPECT_EQ(cds.applyUpdates(-1), 1);
    EXPECT_EQ(messages, (std::vector<std::string>{"Record changed by another user"}));
    EXPECT_EQ(cds.changeCount(), 1);
    EXPECT_EQ(serverRow(0)[1], Variant(test::wide("甲乙")));
    cds.close();
    cds.setProviderName("nope");
    EXPECT_THROW(cds.open(), EDatabaseError);  // the provider's error comes through
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

TEST(NestedDataSetTest, NestedRowsTravelEncodedAndComeBackApplied) {
    auto provider = std::make_shared<MemoryProvider>();
    DataPacket packet = nestedPacket();
    provider->addProvider("pvdBody", MemoryProvider::Table{packet.columns, packet.rows});
    ClientDataSet master("cdsMain");
    master.setRemoteServer(std::make_shared<ProviderDispatch>(provider));
    master.setProviderName("pvdBody");
    master.open();
    ClientDataSet detail("cdsBody1");
    detail.setDataSetField(&master.fieldByName("DETAIL"));
    detail.open();
    master.last();
    ASSERT_EQ(detail.recordCount(), 3);
    detail.deleteRecord();  // line1: the rows as fetched keep their order
    EXPECT_EQ(master.applyUpdates(0), 0);
    EXPECT_EQ(master.changeCount(), 0);
    const Variant& stored = provider->table("pvdBody").rows[2][1];
    ASSERT_EQ(stored.length(), 2);
    EXPECT_EQ(stored[0][1], Variant(u"line2"));

    master.close();
    master.open();
    master.last();
    detail.open();
    EXPECT_EQ(detail.recordCount(), 2);
}

TEST(LinkedDetailTest, ForgetsAMasterSourceThatGoesAway) {
    ClientDataSet master("cdsMain");
    master.setData(test::resourcePacket(2));
    ClientDataSet detail("cdsDetail");
    detail.setData(test::resourcePacket(3));
    {
        DataSource dsMain;
        dsMain.setDataSet(&master);
        detail.setMasterSource(&dsMain);
        detail.setMasterFields("MB001");
        EXPECT_EQ(detail.recordCount(), 1);
    }
    EXPECT_EQ(detail.masterSource(), nullptr);
    EXPECT_EQ(detail.recordCount(), 3);
    detail.setMasterFields("MB002");
    EXPECT_EQ(detail.recordCount(), 3);
}

TEST(LocateTest, CaseIsFoldedForLettersOnlyNeverInsideAChineseCharacter) {
    // "\x81\x41" and "\x81\x61" are two different double-byte characters
    // whose second bytes look like 'A' and 'a'.
    ClientDataSet cds("cdsMain");
    cds.setData(DataPacket{{ColumnDef{"T", FieldType::String, 8, 0, 0, 0, {}}},
                           {{Variant(codePageToUtf16("x\x81\x41"))}, {Variant(u"Ab")}},
                           true});
    DataSet::LocateOptions ci{true, false};
    EXPECT_FALSE(cds.locate("T", Variant("x\x81\x61"), ci));
    EXPECT_TRUE(cds.locate("T", Variant("X\x81\x41"), ci));
    EXPECT_TRUE(cds.locate("T", Variant("aB"), ci));
    EXPECT_FALSE(cds.locate("T", Variant("X\x81"), DataSet::LocateOptions{true, true}));  // half a character
    EXPECT_TRUE(cds.locate("T", Variant("a"), DataSet::LocateOptions{true, true}));
}

TEST(IndexOrderTest, TextsNullsDirectionAndCase) {
    ClientDataSet cds("cdsMain");
    DataPacket packet;
    packet.columns = {ColumnDef{"T", FieldType::String, 4, 0, 0, 0, {}}, ColumnDef{"N", FieldType::Integer, 0, 0, 0, 0, {}}};
    for (auto [t, n] : std::initializer_list<std::pair<const char16_t*, int>>{
             {u"b", 0}, {u"A", 1}, {nullptr, 2}, {u"a", 3}, {u"B", 4}})
        packet.rows.push_back({t ? Variant(t) : Variant::null(), Variant(n)});
    cds.setData(packet);
    cds.addIndex("desc", "T", ixDescending);
    cds.addIndex("ci", "T", ixCaseInsensitive);
    cds.addIndex("ciDesc", "T", ixCaseInsensitive | ixDescending);
    cds.addIndex("twoKeys", "N;T", 0, "N");
    auto order = [&] {
        std::string out;
        for (int i = 0; i < cds.recordCount(); ++i)
            out += std::to_string(cds.withRecordAt(i, [&] { return cds.fieldByName("N").asInteger(); }));
        return out;
    };
    struct Case {
        const char* index;
        const char* order;
    } cases[] = {{"", "21430"}, {"desc", "03412"}, {"ci", "21304"}, {"ciDesc", "04132"}, {"twoKeys", "43210"}};
    for (const auto& c : cases) {
        if (*c.index) cds.setIndexName(c.index);
        else cds.setIndexFieldNames("T");
        EXPECT_EQ(order(), c.order) << c.index;
    }
}

}  // namespace
}  // namespace corvane
