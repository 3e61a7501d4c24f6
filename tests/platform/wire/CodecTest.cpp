#include "platform/wire/Codec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/core/Dispatch.h"

#include "tests/support/TestSupport.h"

using namespace corvane;
using namespace corvane::wire;

namespace {

Variant roundTrip(const Variant& v) { return decodeVariant(encodeVariant(v)); }

}  // namespace

TEST(WireCodec, EveryScalarKindRoundTrips) {
    const Variant cases[] = {
        Variant(),
        Variant::null(),
        Variant(0),
        Variant(-1),
        Variant(static_cast<long long>(std::numeric_limits<std::int64_t>::min())),
        Variant(static_cast<long long>(std::numeric_limits<std::int64_t>::max())),
        Variant(3.25),
        Variant(-0.0),
        Variant(std::numeric_limits<double>::infinity()),
        Variant(true),
        Variant(false),
        Variant::date(45000.5),
        Variant(std::string("\xd7\xca\xd4\xb4")),  // GBK bytes stay bytes
        Variant(std::string()),
        Variant(std::u16string(u"\u8d44\u6e90 R01")),
        Variant(std::u16string(u"\U0001F600")),  // surrogate pair
    };
    for (const Variant& v : cases) {
        Variant back = roundTrip(v);
        EXPECT_EQ(back.type(), v.type());
        EXPECT_EQ(back, v);
    }
}

TEST(WireCodec, NaNRoundTripsAsNaN) {
    Variant back = roundTrip(Variant(std::nan("")));
    ASSERT_EQ(back.type(), VarType::Float);
    EXPECT_TRUE(std::isnan(back.toDouble()));
}

TEST(WireCodec, ArraysKeepBoundsAndNesting) {
    Variant a = Variant::array(3, 5);
    a.at(3) = 1;
    a.at(4) = Variant::arrayOf({Variant(u"x"), Variant::null()});
    a.at(5) = Variant::arrayOf({});
    Variant back = roundTrip(a);
    ASSERT_TRUE(back.isArray());
    EXPECT_EQ(back.lowBound(), 3);
    EXPECT_EQ(back.highBound(), 5);
    EXPECT_EQ(back, a);
    EXPECT_EQ(back[5].length(), 0);

    Variant m = Variant::array2(0, 1, -1, 2);
    m.at(1, 2) = Variant(u"last");
    m.at(0, -1) = 7;
    Variant m2 = roundTrip(m);
    EXPECT_EQ(m2.dimCount(), 2);
    EXPECT_EQ(m2.lowBound(2), -1);
    EXPECT_EQ(m2.at(1, 2), Variant(u"last"));
    EXPECT_EQ(m2, m);
}

TEST(WireCodec, ByReferenceCellsTravelAsTheirValue) {
    auto cell = std::make_shared<Variant>(Variant(u"out"));
    EXPECT_EQ(roundTrip(Variant::ref(cell)), Variant(u"out"));
}

TEST(WireCodec, DispatchReferencesAreRefused) {
    class Dummy : public Dispatch {
    public:
        Variant invoke(std::string_view, std::span<Variant>) override { return {}; }
        void putProperty(std::string_view, const Variant&) override {}
    };
    Variant d(DispatchRef(std::make_shared<Dummy>()));
    EXPECT_THROW(encodeVariant(d), EWireEncodeError);
    EXPECT_THROW(encodeVariant(Variant::arrayOf({1, d})), EWireEncodeError);
}

TEST(WireCodec, MalformedInputRaisesDecodeError) {
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::string deep;
    for (int i = 0; i < 40; ++i) deep += std::string("\x09\x01\x00\x01", 4);
    deep += '\0';
    const Case cases[] = {
        {"empty input", ""},
        {"unknown tag", "\x42"},
        {"truncated integer", "\x02\x80"},
        {"overlong varint", std::string("\x02") + std::string(11, '\xff')},
        {"truncated float", "\x03\x01\x02"},
        {"text longer than input", "\x07\x10" "abc"},
        {"odd wide text", "\x08\x02\x41\x00\x42"},
        {"array of three dimensions", std::string("\x09\x03\x00\x01", 4)},
        {"array larger than input", std::string("\x09\x01\x00\xff\xff\xff\x07", 7)},
        {"2-D array whose product overflows", std::string("\x09\x02\x00\xff\xff\xff\xff\x07\x00\xff\xff\xff\xff\x07\x00", 15)},
        {"array bound overflows int", std::string("\x09\x01\xfe\xff\xff\xff\x0f\x04\x00\x00\x00\x00", 12)},
        {"nesting too deep", deep},
        {"trailing bytes", std::string("\x00\x00", 2)},
    };
    for (const Case& c : cases) {
        EXPECT_THROW(decodeVariant(c.bytes), EWireDecodeError) << c.what;
    }
}

TEST(WireCodec, NestingUpToTheLimitIsAccepted) {
    Variant v = 1;
    for (int i = 0; i < kMaxNesting; ++i) v = Variant::arrayOf({v});
    EXPECT_EQ(roundTrip(v), v);
    Variant tooDeep = Variant::arrayOf({v});
    EXPECT_THROW(decodeVariant(encodeVariant(tooDeep)), EWireDecodeError);
}

TEST(WireCodec, Utf8TextIsWrittenAsTheSameUtf16) {
    struct Case {
        std::string utf8;
        std::u16string utf16;
    };
    const Case cases[] = {
        {"", u""},
        {"R001", u"R001"},
        {"\xe7\xac\xac\xe4\xb8\x80\xe5\xb7\xa5\xe5\x8e\x82", u"\u7b2c\u4e00\u5de5\u5382"},
        {"\xf0\x9f\x98\x80!", u"\U0001F600!"},
        {"a\xff" "b", u"a\ufffdb"},          // a byte that starts nothing
        {"\xe7\xac", u"\ufffd\ufffd"},        // cut off
        {"\xc0\xaf", u"\ufffd\ufffd"},        // overlong
        {"\xed\xa0\x80", u"\ufffd\ufffd\ufffd"},  // a surrogate
    };
    for (const Case& c : cases) {
        Writer fromUtf8;
        fromUtf8.wideFromUtf8(c.utf8);
        Writer fromWide;
        fromWide.wide(c.utf16);
        EXPECT_EQ(fromUtf8.buffer(), fromWide.buffer()) << c.utf8;
    }
}
