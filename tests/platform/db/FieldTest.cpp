// Fields: conversions, sizes in GBK bytes, validation and text events,
// formats and masks, events by name.

#include <gtest/gtest.h>

#include "platform/core/Exceptions.h"
#include "platform/db/ClientDataSet.h"
#include "platform/db/EditMask.h"
#include "platform/db/NumberFormat.h"
#include "tests/support/TestSupport.h"

namespace corvane {
namespace {

class FieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        cds.setName("cdsMain");
        text = &cds.addField("MB001", FieldType::String, 4);
        number = &cds.addField("MB004", FieldType::Float);
        count = &cds.addField("QTY", FieldType::Integer);
        flag = &cds.addField("OK", FieldType::Boolean);
        date = &cds.addField("D", FieldType::Date);
        cds.createDataSet();
        cds.append();
    }
    ClientDataSet cds;
    Field* text = nullptr;
    Field* number = nullptr;
    Field* count = nullptr;
    Field* flag = nullptr;
    Field* date = nullptr;
};

struct ConversionCase {
    const char* field;
    Variant input;
    const char* asString;
    std::int64_t asInteger;
    bool isNull;
};

TEST_F(FieldTest, ConvertsValuesToTheFieldsType) {
    const ConversionCase cases[] = {
        {"MB004", Variant("2.5"), "2.5", 3, false},        // rounds to nearest
        {"MB004", Variant(-2.5), "-2.5", -3, false},       // half away from zero
        {"MB004", Variant(" "), "", 0, true},              // blank text clears a number
        {"QTY", Variant("12"), "12", 12, false},
        {"QTY", Variant(7.6), "8", 8, false},
        {"OK", Variant("True"), "True", -1, false},
        {"MB001", Variant("abcdef"), "abcd", 0, false},    // cut to the size
        {"MB001", Variant("资源编号"), "资源", 0, false},   // 4 bytes: two characters
        {"MB001", Variant("a资源"), "a资", 0, false},       // never half a character
        {"MB001", Variant(std::u16string(u"\u8d44")), "资", 0, false},  // UTF-16 in, GBK stored
        {"D", Variant("2024/03/05"), "2024/03/05", 45356, false},
        {"D", Variant("20240305"), "2024/03/05", 45356, false},
        {"MB001", Variant::null(), "", 0, true},
    };
    for (const auto& c : cases) {
        Field& field = cds.fieldByName(c.field);
        field.setValue(c.input);
        SCOPED_TRACE(std::string(c.field) + " <- " + test::utf8(c.input.toString()));
        EXPECT_EQ(test::utf8(field.asString()), test::utf8(c.asString));
        if (field.dataType() != FieldType::String) {
            EXPECT_EQ(field.asInteger(), c.asInteger);
        }
        EXPECT_EQ(field.isNull(), c.isNull);
    }
}

TEST_F(FieldTest, UnreadableInputRaisesAndKeepsTheOldValue) {
    number->setAsFloat(4);
    EXPECT_THROW(number->setText("abc"), EConvertError);
    EXPECT_THROW(count->setAsString("1x"), EConvertError);
    EXPECT_THROW(date->setAsString("2024/02/30"), EConvertError);
    EXPECT_EQ(number->asFloat(), 4);
    EXPECT_TRUE(count->isNull());
}

TEST_F(FieldTest, OnValidateSeesTheProposedValueAndAFailureKeepsTheOldOne) {
    std::vector<std::string> seen;
    int changes = 0;
    number->setAsFloat(5);
    number->setOnValidate([&](Field& f) {
        seen.push_back(f.asString());
        if (f.asInteger() < 0) throw EAbort();
    });
    number->setOnChange([&](Field&) { ++changes; });

    EXPECT_THROW(number->setAsFloat(-1), EAbort);
    EXPECT_EQ(number->asFloat(), 5);
    EXPECT_EQ(changes, 0);

    number->setAsFloat(-0.4);  // reads as 0: accepted
    EXPECT_EQ(number->asFloat(), -0.4);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(seen, (std::vector<std::string>{"-1", "-0.4"}));
    EXPECT_TRUE(cds.modified());
}

TEST_F(FieldTest, TextEventsReplaceTheDefaultConversions) {
    text->setOnGetText([](Field& f, std::string& out, bool display) {
        std::string v = f.asString();
        out = display && v.size() == 4 ? v.substr(0, 2) + ":" + v.substr(2) : v;
    });
    text->setOnSetText([](Field& f, const std::string& typed) {
        std::string digits;
        for (char c : typed)
            if (c != ':' && c != ' ') digits += c;
        f.setAsString(digits);
    });
    text->setText("09:30");
    EXPECT_EQ(text->asString(), "0930");
    EXPECT_EQ(text->displayText(), "09:30");
    EXPECT_EQ(text->text(), "0930");
}

TEST_F(FieldTest, DisplayAndEditFormatsOfNumbers) {
    number->setAsFloat(1234.5);
    EXPECT_EQ(number->displayText(), "1234.5");
    number->setDisplayFormat("#,##0.00");
    number->setEditFormat("##0.#######");
    EXPECT_EQ(number->displayText(), "1,234.50");
    EXPECT_EQ(number->text(), "1234.5");
    number->setText("2,345.25");  // a displayed number typed back
    EXPECT_EQ(number->asFloat(), 2345.25);
}

TEST_F(FieldTest, WritingNeedsAnEditStateAndAWritableField) {
    text->setReadOnly(true);
    EXPECT_THROW(text->setAsString("A"), EDatabaseError);
    text->setReadOnly(false);
    text->setAsString("A");
    cds.post();
    EXPECT_THROW(text->setAsString("B"), EDatabaseError);  // browsing
    EXPECT_EQ(text->asString(), "A");
}

TEST_F(FieldTest, TypedTextMustFitTheEditMaskWhenTheDataSetAsks) {
    cds.setValidateWithMask(true);
    text->setEditMask("99:99;1; ");
    text->setSize(5);
    text->setText("09:30");
    EXPECT_EQ(text->asString(), "09:30");
    EXPECT_THROW(text->setText("ab:cd"), EDatabaseError);
    EXPECT_EQ(text->asString(), "09:30");
    text->setText("");  // an empty text is a value, not null
    EXPECT_EQ(text->asString(), "");
    EXPECT_FALSE(text->isNull());
}

TEST(EditMaskTest, AcceptsFormatsAndStores) {
    struct Case {
        const char* mask;
        const char* text;
        bool accepted;
    } cases[] = {
        {"99:99;1; ", "09:30", true},   {"99:99;1; ", "  :  ", true},  {"99:99;1; ", "0930", false},
        {"99:99;1; ", "a9:30", false},  {"99;1; ", "7 ", true},         {"00/00;0;_", "1_/02", false},
        {"###.##%;1; ", " 12.50%", true}, {"9999:99:99;1; ", "0001:02:03", true}, {"LL-00;1;_", "AB-12", true},
        {"99:99;1; ", "", true},
    };
    for (const auto& c : cases) EXPECT_EQ(EditMask(c.mask).accepts(c.text), c.accepted) << c.mask << " " << c.text;

    EditMask time("99:99;1; ");
    EXPECT_EQ(time.format("0930"), "09:30");
    EXPECT_EQ(time.format(""), "  :  ");
    EXPECT_EQ(time.stored("09:30"), "09:30");
    EditMask bare("99:99;0;_");
    EXPECT_EQ(bare.stored("09:30"), "0930");
    EXPECT_FALSE(bare.saveLiterals());
    EXPECT_EQ(bare.blank(), '_');
}

TEST(NumberFormatTest, FormatsLikeTheGridShowsNumbers) {
    struct Case {
        const char* format;
        double value;
        const char* text;
    } cases[] = {
        {"#,##0.00", 1234.5, "1,234.50"},          {"#,##0.00", -1234.567, "-1,234.57"},
        {"#,##0.#######", 0.125, "0.125"},          {"#,##0.#######", 1234567, "1,234,567"},
        {"##0.#######", 1234.5, "1234.5"},          {"#,##0.", 2.5, "3"},
        {"0.00", 0.005, "0.01"},                    {"#,##0.00;(#,##0.00);zero", 0, "zero"},
        {"#,##0.00;(#,##0.00)", -5, "(5.00)"},      {"0.00%", 12.5, "12.50%"},
        {"#,##0.##", 1000, "1,000"},                {"", 2.5, "2.5"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatFloat(c.format, c.value), c.text) << c.format << " " << c.value;
}

TEST_F(FieldTest, EventsAreReadableClearableAndRestorableByName) {
    int validations = 0;
    number->setOnValidate([&](Field&) { ++validations; });
    EventHandler saved = number->events().get("onvalidate");
    ASSERT_FALSE(isEmptyHandler(saved));
    EXPECT_TRUE(number->events().set("OnValidate", EventHandler{}));
    number->setAsFloat(1);
    EXPECT_EQ(validations, 0);
    EXPECT_TRUE(number->events().set("ONVALIDATE", saved));
    number->setAsFloat(2);
    EXPECT_EQ(validations, 1);

    EXPECT_FALSE(number->events().set("OnValidate", EventHandler{DataSetNotifyEvent([](DataSet&) {})}));
    EXPECT_FALSE(number->events().set("NoSuchEvent", EventHandler{}));
    EXPECT_TRUE(isEmptyHandler(number->events().get("NoSuchEvent")));
    EXPECT_EQ(number->events().names(), (std::vector<std::string>{"OnValidate", "OnChange", "OnGetText", "OnSetText"}));
}

TEST_F(FieldTest, LabelsWidthsAndIndex) {
    EXPECT_EQ(text->displayLabel(), "MB001");
    EXPECT_EQ(text->displayWidth(), 4);
    EXPECT_EQ(number->displayWidth(), 10);
    text->setDisplayLabel("资源编号");
    EXPECT_EQ(test::utf8(text->displayLabel()), test::utf8("资源编号"));
    date->setIndex(0);
    EXPECT_EQ(cds.field(0).fieldName(), "D");
    EXPECT_EQ(text->index(), 1);
    EXPECT_EQ(&cds.fieldByName("mb001"), text);
    EXPECT_EQ(cds.findField("nope"), nullptr);
    try {
        cds.fieldByName("NOPE");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("NOPE"), std::string::npos);
    }
}

}  // namespace
}  // namespace corvane
