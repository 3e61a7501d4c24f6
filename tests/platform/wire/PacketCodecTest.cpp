#include "platform/wire/PacketCodec.h"

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

using namespace corvane;
using namespace corvane::wire;

namespace {

std::vector<ColumnDef> resourceColumns() {
    ColumnDef key{"MB001", FieldType::String, 10, 0, 0, cfKey | cfRequired, {}};
    ColumnDef name{"MB002", FieldType::String, 20, 0, 0, 0, {}};
    ColumnDef joined{"MB003C", FieldType::String, 20, 0, 0, cfReadOnly, {}};
    ColumnDef cap{"MB004", FieldType::Float, 0, 0, 0, 0, {}};
    ColumnDef amount{"AMT", FieldType::BCD, 0, 18, 4, 0, {}};
    ColumnDef detail{"DETAIL", FieldType::DataSet, 0, 0, 0, 0, {ColumnDef{"SEQ", FieldType::Integer, 0, 0, 0, cfKey, {}}}};
    return {key, name, joined, cap, amount, detail};
}

}  // namespace

TEST(WirePackets, DataPacketRoundTripsColumnsRowsAndEnd) {
    DataPacket p;
    p.columns = resourceColumns();
    p.rows.push_back({Variant(u"R01"), Variant(u"\u8d44\u6e90"), Variant::null(), Variant(12.5), Variant(1.25),
                      Variant::arrayOf({Variant::arrayOf({1})})});
    p.rows.push_back({Variant(u"R02"), Variant(u""), Variant(u"F"), Variant(0.0), Variant(), Variant::null()});
    p.endOfData = true;
    EXPECT_EQ(decodeDataPacket(encodeDataPacket(p)), p);

    DataPacket empty;
    empty.columns = resourceColumns();
    EXPECT_EQ(decodeDataPacket(encodeDataPacket(empty)), empty);
}

TEST(WirePackets, RowOfTheWrongWidthIsNotEncoded) {
    DataPacket p;
    p.columns = resourceColumns();
    p.rows.push_back({Variant(u"R01")});
    EXPECT_THROW(encodeDataPacket(p), EWireEncodeError);
}

TEST(WirePackets, DeltaRoundTripsEveryKind) {
    Delta d;
    d.columns = resourceColumns();
    d.columns.resize(4);
    DeltaRow modify{UpdateKind::Modify, {Variant(u"R01"), Variant(u"a"), Variant(u"F1"), Variant(1.0)},
                    {Variant(u"R01"), Variant(u"b"), Variant(u"F1"), Variant(1.0)}, {false, true, false, false}};
    DeltaRow insert{UpdateKind::Insert, {}, {Variant(u"R09"), Variant(u"n"), Variant::null(), Variant(2.0)}, {}};
    DeltaRow remove{UpdateKind::Delete, {Variant(u"R02"), Variant(u"x"), Variant(u"F2"), Variant(3.0)}, {}, {}};
    d.rows = {modify, insert, remove};
    EXPECT_EQ(decodeDelta(encodeDelta(d)), d);
}

TEST(WirePackets, ApplyResultRoundTrips) {
    ApplyResult r;
    r.errorCount = 2;
    r.rolledBack = true;
    r.errors.push_back({0, UpdateKind::Modify, 1, u"\u8bb0\u5f55\u5df2\u88ab\u4ed6\u4eba\u4fee\u6539", u"R01"});
    r.errors.push_back({3, UpdateKind::Insert, 19, u"UNIQUE constraint failed", u""});
    EXPECT_EQ(decodeApplyResult(encodeApplyResult(r)), r);
}

TEST(WirePackets, EveryTruncationOfAValidPacketIsRefused) {
    DataPacket p;
    p.columns = resourceColumns();
    p.rows.push_back({Variant(u"R01"), Variant(u"n"), Variant(u"F"), Variant(1.0), Variant(2), Variant::null()});
    std::string bytes = encodeDataPacket(p);
    for (std::size_t n = 0; n < bytes.size(); ++n)
        EXPECT_THROW(decodeDataPacket(std::string_view(bytes).substr(0, n)), EWireDecodeError) << n;

    Delta d;
    d.columns = resourceColumns();
    d.rows.push_back({UpdateKind::Delete, {Variant(u"R01")}, {}, {}});
    std::string delta = encodeDelta(d);
    for (std::size_t n = 0; n < delta.size(); ++n)
        EXPECT_THROW(decodeDelta(std::string_view(delta).substr(0, n)), EWireDecodeError) << n;
}

TEST(WirePackets, MalformedFieldsAreRefused) {
    DataPacket p;
    p.columns = resourceColumns();
    std::string bytes = encodeDataPacket(p);
    std::string badType = bytes;
    // version, column count, name length, "MB001", then the type byte.
    badType[1 + 1 + 1 + 5] = '\x40';
    EXPECT_THROW(decodeDataPacket(badType), EWireDecodeError);
    std::string badVersion = bytes;
    badVersion[0] = '\x07';
    EXPECT_THROW(decodeDataPacket(badVersion), EWireDecodeError);

    Delta d;
    d.columns = {ColumnDef{"A", FieldType::String, 1, 0, 0, 0, {}}};
    d.rows.push_back({UpdateKind::Modify, {Variant(1), Variant(2)}, {}, {}});  // wider than its columns
    EXPECT_THROW(decodeDelta(encodeDelta(d)), EWireDecodeError);
}
