#include "config/LibStrs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "platform/core/CodePage.h"
#include "platform/core/DateTime.h"
#include "tests/support/TestSupport.h"

namespace corvane {
namespace {

double ymd(int y, int m, int d) {
    double days = 0;
    EXPECT_TRUE(tryEncodeDate(y, m, d, days));
    return days;
}

// ------------------------------------------------------------------ text

TEST(LibStrsTokens, GetToken) {
    const struct {
        const char* text;
        const char* sep;
        int n;
        const char* expected;
    } cases[] = {
        {"a:b:c", ":", 3, "c"}, {"a:b:c", ":", 4, ""},       {"", ":", 1, ""},      {"a:b:c", ":", 1, "a"},
        {"a||b||c", "||", 2, "b"}, {"a::c", ":", 2, ""},     {"abc", ":", 1, "abc"}, {"abc", "", 1, "abc"},
        {"abc", "", 2, ""},     {"a:b", ":", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.sep);
        EXPECT_EQ(GetToken(c.text, c.sep, c.n), c.expected);
    }
}

TEST(LibStrsTokens, TokenCountTerminatesForEverySeparator) {
    const struct {
        const char* text;
        const char* sep;
        int expected;
    } cases[] = {
        {"", ":", 0},        {"12:00:00", ":", 3}, {"abc", ":", 1},    {"a#b#c", "#", 3},
        {"a##b##c", "##", 3}, {"###", "##", 3},    {"abc", "", 1},     {"a;b;", ";", 3},
        {"aaa", "aa", 3},     // occurrences overlap: each first byte is blotted in turn
        {"#a#", "#a", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.sep);
        EXPECT_EQ(TokenCount(c.text, c.sep), c.expected);
    }
}

TEST(LibStrsTokens, CutToken) {
    std::string text = "abc";
    EXPECT_EQ(CutToken(text, ";"), "abc");
    EXPECT_EQ(text, "");
    text = "cdsMain:MB001,MB002;cdsDetail:TD001";
    EXPECT_EQ(CutToken(text, ";"), "cdsMain:MB001,MB002");
    EXPECT_EQ(text, "cdsDetail:TD001");
    text = "a||b";
    EXPECT_EQ(CutToken(text, "||"), "a");
    EXPECT_EQ(text, "b");
}

TEST(LibStrsText, Padding) {
    EXPECT_EQ(LPadStr("7", {2, 48}), "07");
    EXPECT_EQ(LPadStr("123", {2, 48}), "123");
    EXPECT_EQ(RPadStr("ab", {4}), "ab  ");
    EXPECT_EQ(LPadStr("5", {4, 48}), "0005");
    EXPECT_EQ(RPadStr("资", {4}), "资  ");  // widths count GBK bytes
    EXPECT_EQ(LPadStr("x", {}), "x");
    EXPECT_EQ(IntToZeroStr(4, 7), "0007");
    EXPECT_EQ(IntToZeroStr(2, 12345), "12345");
    EXPECT_EQ(IntToZeroStr(4, -5), "-0005");
    EXPECT_EQ(IntToZeroStr(0, 0), "0");  // never an empty number
}

TEST(LibStrsText, ReplaceStr) {
    const struct {
        const char* text;
        const char* oldText;
        const char* newText;
        bool trim;
        const char* expected;
    } cases[] = {
        {"a b c", " ", "", false, "abc"},
        {"a,b,c", ",", ";", false, "a;b;c"},
        {"a,b", ",", "||", false, "a||b"},
        {"  x AS y  ", " AS ", " ", true, "x y"},
        {"\tx\t", "\t", " ", true, "x"},
        {"aabb", "ab", "", false, ""},         // a replacement can make a new occurrence
        {"abc", "B", "b", false, "abc"},       // equal ignoring case: nothing replaced
        {"  abc ", "B", "b", true, "abc"},     // ... but still trimmed
        {"abc", "", "x", false, "abc"},        // empty old text
        {"a.b.c", ".", "..", false, "a..b..c"},  // new holds old: each occurrence once
        {"xx", "x", "xyx", false, "xyxxyx"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.oldText + " -> " + c.newText);
        EXPECT_EQ(ReplaceStr(c.text, c.oldText, c.newText, c.trim), c.expected);
    }
}

TEST(LibStrsText, QuotedStrDoublesQuotes) {
    EXPECT_EQ(QuotedStr("R01"), "'R01'");
    EXPECT_EQ(QuotedStr("O'Brien"), "'O''Brien'");
    EXPECT_EQ(QuotedStr("'; DROP TABLE MPSMB --"), "'''; DROP TABLE MPSMB --'");
    EXPECT_EQ(QuotedStr(""), "''");
    EXPECT_EQ(QuotedStr("资源'"), "'资源'''");
}

TEST(LibStrsText, ButtonCaptions) {
    EXPECT_EQ(ButtonCaption("Yes"), "是(&Y)");
    EXPECT_EQ(ButtonCaption("OK"), "确定");
    EXPECT_EQ(ButtonCaption("NoToAll"), "全否(&o)");
    EXPECT_EQ(ButtonCaption("yes"), "yes");
    EXPECT_EQ(ButtonCaption("Other"), "Other");
}

// ---------------------------------------------------------------- dates

TEST(LibStrsDates, DateToFmtStrForEveryType) {
    const struct {
        int type;
        const char* sep;
        int y, m, d;
        const char* expected;
    } cases[] = {
        {1, "/", 2024, 3, 5, "2024/03/05"}, {2, "/", 2024, 3, 5, "03/05/2024"}, {3, "/", 2024, 3, 5, "05/03/2024"},
        {4, "/", 2024, 3, 5, "113/03/05"},  {5, "/", 2024, 3, 5, "113/03/05"},  {2, "-", 2024, 3, 5, "03-05-2024"},
        {4, "-", 2024, 3, 5, "113-03-05"},  {4, "/", 1999, 12, 31, "88/12/31"}, {5, "/", 1999, 12, 31, "088/12/31"},
        {1, "", 2024, 3, 5, "20240305"},    {1, "-/", 2024, 3, 5, "2024-03-05"}, {6, "/", 2024, 3, 5, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(DateToFmtStr(c.type, c.sep, ymd(c.y, c.m, c.d)), c.expected);
    }
    EXPECT_EQ(DateToFmtStr(1, "/", 0), "");
}

TEST(LibStrsDates, DateTimeToFmtStr) {
    double t = 0;
    ASSERT_TRUE(tryEncodeTime(14, 7, 9, 42, t));
    EXPECT_EQ(DateTimeToFmtStr(1, "/", ymd(2024, 3, 5) + t), "2024/03/05 14:07:09:042");
    EXPECT_EQ(DateTimeToFmtStr(3, ".", ymd(2024, 3, 5)), "05.03.2024 00:00:00:000");
}

TEST(LibStrsDates, FmtStrToDate) {
    const struct {
        const char* text;
        int type;
        const char* sep;
        double expected;
    } cases[] = {
        {"113/3/5", 4, "/", ymd(2024, 3, 5)},
        {"113/3/5", 5, "/", ymd(2024, 3, 5)},
        {"2024/03/05", 1, "/", ymd(2024, 3, 5)},
        {"03-05-2024", 2, "-", ymd(2024, 3, 5)},
        {" 5/3/2024 ", 3, "/", ymd(2024, 3, 5)},
        {"2024/02/30", 1, "/", ymd(2024, 3, 1)},  // a day past the month carries over
        {"2024/12/32", 1, "/", ymd(2025, 1, 1)},
        {"2024/13/01", 1, "/", 0},
        {"2024//05", 1, "/", 0},
        {"2024/ab/05", 1, "/", 0},
        {"2024/03", 1, "/", 0},
        {"", 1, "/", 0},
        {"2024/03/05", 0, "/", 0},
        {"2024/03/05", 6, "/", 0},
        {"10000/01/01", 1, "/", 0},
        {"2024||3||5", 1, "||", ymd(2024, 3, 5)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " type " + std::to_string(c.type));
        EXPECT_EQ(FmtStrToDate(c.text, c.type, c.sep), c.expected);
    }
}

TEST(LibStrsDates, FmtStrToStr8) {
    const struct {
        const char* text;
        int type;
        const char* sep;
        const char* expected;
    } cases[] = {
        {"5/3/2024", 3, "/", "20240305"}, {"20240305", 1, "", "20240305"}, {"2024/0/5", 1, "/", "0"},
        {"3/5/2024", 2, "/", "20240305"}, {"113/3/5", 4, "/", "20240305"}, {"13/3/5", 5, "/", "19240305"},
        {"2024/3/5", 9, "/", "20240305"}, {"", 1, "/", "0"},               {"2024/02/30", 1, "/", "20240230"},
        {"2024", 1, "", "0"},             {"2024/x/5", 1, "/", "0"},       {"24/3/5", 1, "/", "00240305"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " type " + std::to_string(c.type));
        EXPECT_EQ(FmtStrToStr8(c.text, c.type, c.sep), c.expected);
    }
}

TEST(LibStrsDates, StoredTexts) {
    EXPECT_EQ(Str8ToDate("20240305"), ymd(2024, 3, 5));
    EXPECT_EQ(Str8ToDate("2024035"), 0);
    EXPECT_EQ(Str8ToDate("20240230"), 0);
    EXPECT_EQ(Str8ToDate("00000305"), 0);
    EXPECT_EQ(Str8ToDate("abcdefgh"), 0);

    double t = 0;
    ASSERT_TRUE(tryEncodeTime(14, 7, 9, 42, t));
    EXPECT_DOUBLE_EQ(Str17ToDateTime("20240305140709042"), ymd(2024, 3, 5) + t);
    EXPECT_DOUBLE_EQ(Str17ToDateTime("00000000140709042"), t);  // no date: the time alone
    EXPECT_EQ(Str17ToDateTime("20241305140709042"), 0);
    EXPECT_EQ(Str17ToDateTime("20240305250000000"), 0);
}

TEST(LibStrsDates, IsValidDateStr) {
    const struct {
        const char* text;
        bool valid;
    } cases[] = {
        {"", true},          {"17521231", false}, {"17530101", true},  {"20240230", false}, {"20240229", true},
        {"99991231", true},  {"2024035", false},  {"2024030a", false}, {"202403051", false}, {" 2024030", false},
        {"+2024030", false}, {"00000000", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(IsValidDateStr(c.text), c.valid);
    }
}

// ------------------------------------------------------------ durations

TEST(LibStrsDurations, SecondsToTimeStr) {
    EXPECT_EQ(SecondsToTimeStr(0), "0000:00:00");
    EXPECT_EQ(SecondsToTimeStr(45296), "0012:34:56");
    EXPECT_EQ(SecondsToTimeStr(-3665), "-0001:01:05");
    EXPECT_EQ(SecondsToTimeStr(36000000), "10000:00:00");
}

TEST(LibStrsDurations, AddTimeStr) {
    const Variant fallback = Variant::arrayOf({0, "000:00:00"});
    const struct {
        const char* a;
        const char* b;
        int sign;
        Variant expected;
    } cases[] = {
        {"0012:00:00", "0001:30:00", -1, Variant::arrayOf({37800, "0010:30:00"})},
        {"0012:00:00", "0000:00:00", 1, Variant::arrayOf({43200, "0012:00:00"})},
        {" 0001:00:00 ", "0000:00:05", 1, Variant::arrayOf({3605, "0001:00:05"})},
        {"0000:00:00", "0001:00:00", -1, Variant::arrayOf({-3600, "-0001:00:00"})},
        {"0012:00:00", "12:0a:00", 1, fallback},
        {"0012:00:00", "0001:30:00", 0, fallback},
        {"12:00:0", "0001:30:00", 1, fallback},       // shorter than 8
        {"0012:00:00:00", "0001:30:00", 1, fallback}, // four fields
        {"0012::00000", "0001:30:00", 1, fallback},   // empty field
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " " + c.b);
        EXPECT_EQ(AddTimeStr(c.a, c.b, c.sign), c.expected);
    }
}

// ----------------------------------------------------- numbers, variants

TEST(LibStrsNumbers, RoundFloatHalfAwayFromZero) {
    const struct {
        int decimals;
        double value;
        double expected;
    } cases[] = {
        {2, 1.005, 1.01},        {2, -1.005, -1.01},         {0, 0, 0},         {2, 44202.225, 44202.23},
        {2, -44202.225, -44202.23}, {0, 2.5, 3},             {0, -2.5, -3},     {1, 0.05, 0.1},
        {2, 1.234, 1.23},        {3, 1234567.8915, 1234567.892}, {2, 999.995, 1000}, {0, 0.4, 0},
        {2, 1e20, 1e20},         {4, 0.1 + 0.2, 0.3},        {-1, 7.5, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " at " + std::to_string(c.decimals));
        EXPECT_DOUBLE_EQ(RoundFloat(c.decimals, c.value), c.expected);
    }
    EXPECT_FALSE(std::signbit(RoundFloat(2, -0.001)));  // never -0
    EXPECT_FALSE(std::signbit(RoundFloat(0, -0.0)));
}

TEST(LibStrsNumbers, CompareFloat) {
    EXPECT_EQ(CompareFloat(0.1 + 0.2, 0.3), 0);
    EXPECT_EQ(CompareFloat(1, 2), -1);
    EXPECT_EQ(CompareFloat(2, 1), 1);
    EXPECT_EQ(CompareFloat(1.0, 1.0 + 1e-11), 0);
    EXPECT_EQ(CompareFloat(1.0, 1.0 + 1e-9), -1);
}

TEST(LibStrsVariants, ChoiceAndTests) {
    EXPECT_EQ(IIF(true, "a", 1), Variant("a"));
    EXPECT_EQ(IIF(false, "a", 1), Variant(1));
    EXPECT_TRUE(VarIsNullOrEmpty(Variant()));
    EXPECT_TRUE(VarIsNullOrEmpty(Variant::null()));
    EXPECT_FALSE(VarIsNullOrEmpty(Variant(0)));
    EXPECT_TRUE(IsLocalHost("127.0.0.1"));
    EXPECT_FALSE(IsLocalHost("localhost"));
    EXPECT_FALSE(IsLocalHost(" 127.0.0.1"));
}

// ------------------------------------------------------------ code pages

TEST(LibStrsCodePages, ScalarsAndArraysAreWalked) {
    EXPECT_EQ(VarCodePageToWide(Variant("资源"), CP_GBK), Variant(u"资源"));
    EXPECT_EQ(VarWideToCodePage(Variant(u"资源"), CP_GBK), Variant("资源"));
    EXPECT_EQ(VarCodePageToWide(Variant(5), CP_GBK), Variant(5));
    EXPECT_TRUE(VarCodePageToWide(Variant::null(), CP_GBK).isNull());

    Variant nested = Variant::arrayOf({"MB001='R01'", 3, Variant::arrayOf({"厂", Variant::null()})});
    Variant wide = VarCodePageToWide(nested, CP_GBK);
    EXPECT_EQ(wide, Variant::arrayOf({u"MB001='R01'", 3, Variant::arrayOf({u"厂", Variant::null()})}));
    EXPECT_EQ(VarWideToCodePage(wide, CP_GBK), nested);
    EXPECT_EQ(nested[0], Variant("MB001='R01'"));  // the input stays as it was
}

TEST(LibStrsCodePages, TwoDimensionalArraysKeepBoundsAndSkipNestedArrays) {
    Variant grid = Variant::array2(0, 1, 1, 2);
    grid.at(0, 1) = "甲";
    grid.at(1, 2) = 7;
    grid.at(1, 1) = Variant::arrayOf({"乙"});
    Variant wide = VarCodePageToWide(grid, CP_GBK);
    EXPECT_EQ(wide.lowBound(2), 1);
    EXPECT_EQ(wide.at(0, 1), Variant(u"甲"));
    EXPECT_EQ(wide.at(1, 2), Variant(7));
    EXPECT_EQ(wide.at(1, 1), Variant::arrayOf({"乙"}));  // not entered
}

// ------------------------------------------------------------- alert log

TEST(LibStrsAlertLog, InstallationFolderFromTheRegistry) {
    {
        test::ScopedRegistry registry("ClientPath=/opt/client\nServerPath=/opt/server");
        EXPECT_EQ(GetTessaroPath(), "/opt/client");
    }
    {
        test::ScopedRegistry registry("ClientPath=\nServerPath=/opt/server");
        EXPECT_EQ(GetTessaroPath(), "/opt/server");
    }
    {
        test::ScopedRegistry registry("");
        EXPECT_EQ(GetTessaroPath(), "");
    }
    test::ScopedEnv none("TESSARO_REGISTRY", "/nonexistent/registry.ini");
    EXPECT_EQ(GetTessaroPath(), "");
}

class AlertLogTest : public testing::Test {
protected:
    std::string today(const char* fmt) {
        CalendarDate d = decodeDate(nowDateTime());
        char buf[16];
        std::snprintf(buf, sizeof buf, fmt, d.year, d.month, d.day);
        return buf;
    }
    std::filesystem::path logFolder() { return install_.path() / "Log"; }

    test::TempDir install_;
    test::ScopedRegistry registry_{"ClientPath=" + install_.path().string()};
};

TEST_F(AlertLogTest, AppendsDatedLinesPerSourceAndPeriod) {
    ASSERT_TRUE(WriteAlertLog("libstrs", "LINE[115] 转换出错", "D"));
    ASSERT_TRUE(WriteAlertLog("libstrs", "second", "D"));
    auto content = test::readFile(logFolder() / ("Alert_libstrs_" + today("%04d%02d%02d") + ".log"));
    ASSERT_TRUE(content);
    // "[YYYY/MM/DD hh:nn:ss:zzz] message\r\n", GBK
    ASSERT_EQ(content->size(), 2 * 26 + std::string("LINE[115] 转换出错").size() + 6 + 4);
    EXPECT_EQ(content->substr(0, 12), "[" + today("%04d/%02d/%02d") + " ");
    EXPECT_EQ(content->substr(24, 2), "] ");
    EXPECT_EQ(content->substr(26, 20), "LINE[115] 转换出错\r\n");
    EXPECT_EQ(content->substr(content->size() - 8), "second\r\n");

    ASSERT_TRUE(WriteAlertLog("src", "m", "M"));
    ASSERT_TRUE(WriteAlertLog("src", "y", "Y"));
    ASSERT_TRUE(WriteAlertLog("src", "other", "Q"));
    EXPECT_TRUE(std::filesystem::exists(logFolder() / ("Alert_src_" + today("%04d%02d") + ".log")));
    EXPECT_TRUE(std::filesystem::exists(logFolder() / ("Alert_src_" + today("%04d") + ".log")));
    EXPECT_TRUE(std::filesystem::exists(logFolder() / ("Alert_src_" + today("%04d%02d%02d") + ".log")));
}

TEST_F(AlertLogTest, SourceNamesWithDotsAndUnsafeCharacters) {
    ASSERT_TRUE(WriteAlertLog("x.txt", "a"));
    EXPECT_TRUE(std::filesystem::exists(logFolder() / ("Alert_x.txt_" + today("%04d%02d%02d"))));
    ASSERT_TRUE(WriteAlertLog("Single-763:", "b"));
    ASSERT_TRUE(WriteAlertLog("a/b", "c"));
    EXPECT_TRUE(std::filesystem::exists(logFolder() / ("Alert_Single-763__" + today("%04d%02d%02d") + ".log")));
    EXPECT_TRUE(std::filesystem::exists(logFolder() / ("Alert_a_b_" + today("%04d%02d%02d") + ".log")));
}

TEST_F(AlertLogTest, FailureIsReportedOnlyByTheResult) {
    // A file where the Log folder should be: the folder cannot be made.
    std::filesystem::create_directories(install_.path());
    test::writeFile(install_.path() / "Log", "not a folder");
    EXPECT_FALSE(WriteAlertLog("libstrs", "lost"));
}

}  // namespace
}  // namespace corvane
