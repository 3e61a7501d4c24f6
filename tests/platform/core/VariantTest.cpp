#include "platform/core/Variant.h"

#include <gtest/gtest.h>

#include "platform/core/Exceptions.h"
#include "tests/support/TestSupport.h"

namespace corvane {
namespace {

TEST(VariantTest, KindsAndNullTests) {
    EXPECT_EQ(Variant().type(), VarType::Empty);
    EXPECT_EQ(Variant::null().type(), VarType::Null);
    EXPECT_EQ(Variant(5).type(), VarType::Integer);
    EXPECT_EQ(Variant(2.5).type(), VarType::Float);
    EXPECT_EQ(Variant(true).type(), VarType::Boolean);
    EXPECT_EQ(Variant::date(45356).type(), VarType::Date);
    EXPECT_EQ(Variant("abc").type(), VarType::String);
    EXPECT_EQ(Variant(u"abc").type(), VarType::WideString);
    EXPECT_EQ(Variant::array(0, 2).type(), VarType::Array);
    EXPECT_TRUE(Variant().isNullOrEmpty());
    EXPECT_TRUE(Variant::null().isNullOrEmpty());
    EXPECT_FALSE(Variant("").isNullOrEmpty());
}

struct ConversionCase {
    Variant value;
    std::string text;
    std::int64_t integer;
    double number;
};

TEST(VariantTest, ConversionsToTextIntegerAndFloat) {
    const ConversionCase cases[] = {
        {Variant(), "", 0, 0},
        {Variant(42), "42", 42, 42},
        {Variant(2.5), "2.5", 3, 2.5},
        {Variant(-2.5), "-2.5", -3, -2.5},
        {Variant(0.1 + 0.2), "0.3", 0, 0.30000000000000004},
        {Variant(1e20), "1E20", 0, 1e20},  // too large for an integer: not converted below
        {Variant(true), "True", -1, -1},
        {Variant(" 12 "), " 12 ", 12, 12},
        {Variant("7.6"), "7.6", 8, 7.6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.value));
        EXPECT_EQ(c.value.toString(), c.text);
        if (c.number < 9e18) {
            EXPECT_EQ(c.value.toInt(), c.integer);
        }
        EXPECT_DOUBLE_EQ(c.value.toDouble(), c.number);
    }
}

TEST(VariantTest, UnconvertibleValuesRaiseTypeCastErrors) {
    EXPECT_THROW(Variant("abc").toInt(), EVariantTypeCastError);
    EXPECT_THROW(Variant::null().toInt(), EVariantTypeCastError);
    EXPECT_THROW(Variant::null().toDouble(), EVariantTypeCastError);
    EXPECT_THROW(Variant(1e300).toInt(), EVariantTypeCastError);
    EXPECT_THROW(Variant::array(0, 1).toString(), EVariantTypeCastError);
    EXPECT_EQ(Variant::null().toString(), "");
}

TEST(VariantTest, BooleansFromTextAndNumbers) {
    EXPECT_TRUE(Variant("TRUE").toBool());
    EXPECT_FALSE(Variant("false").toBool());
    EXPECT_TRUE(Variant("1").toBool());
    EXPECT_FALSE(Variant(0).toBool());
    EXPECT_THROW(Variant("maybe").toBool(), EVariantTypeCastError);
}

TEST(VariantTest, WideAndByteStringsConvertThroughGbk) {
    Variant wide(u"保存失败");
    EXPECT_EQ(wide.toString(), "保存失败");
    EXPECT_EQ(Variant("保存失败").toWide(), u"保存失败");
}

TEST(VariantTest, ArraysKeepTheirBoundsAndCopyOnWrite) {
    Variant a = Variant::array(1, 3);
    a.at(1) = "x";
    a.at(3) = 9;
    EXPECT_EQ(a.dimCount(), 1);
    EXPECT_EQ(a.lowBound(), 1);
    EXPECT_EQ(a.highBound(), 3);
    Variant b = a;
    b.at(1) = "changed";
    EXPECT_EQ(a[1].toString(), "x");
    EXPECT_EQ(b[1].toString(), "changed");
    EXPECT_THROW(a[0], EVariantBadIndexError);
    EXPECT_THROW(a[4], EVariantBadIndexError);

    Variant grid = Variant::array2(0, 1, 0, 2);
    grid.at(1, 2) = "last";
    EXPECT_EQ(grid.dimCount(), 2);
    EXPECT_EQ(grid.highBound(2), 2);
    EXPECT_EQ(grid.at(1, 2).toString(), "last");
    EXPECT_THROW(grid.at(2, 0), EVariantBadIndexError);
    grid.mutableArray().redim(3);
    EXPECT_EQ(grid.at(1, 2).toString(), "last");
    EXPECT_TRUE(grid.at(1, 3).isEmpty());
}

TEST(VariantTest, ArraysCompareByContent) {
    EXPECT_EQ(Variant::arrayOf({1, "a"}), Variant::arrayOf({1, "a"}));
    EXPECT_NE(Variant::arrayOf({1, "a"}), Variant::arrayOf({1, "b"}));
    EXPECT_NE(Variant(1), Variant(1.0));
}

TEST(VariantTest, ByReferenceCellsAreWrittenThrough) {
    auto cell = std::make_shared<Variant>("in");
    Variant arg = Variant::ref(cell);
    EXPECT_TRUE(arg.isByRef());
    EXPECT_EQ(arg.toString(), "in");
    arg.assignThrough(Variant::arrayOf({1, 2}));
    EXPECT_EQ(cell->highBound(), 1);
    EXPECT_EQ(arg.highBound(), 1);

    Variant plain("value");
    plain.assignThrough(7);
    EXPECT_EQ(plain.toInt(), 7);
}

}  // namespace
}  // namespace corvane
