#include "platform/core/CodePage.h"

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

namespace corvane {
namespace {

struct RoundTrip {
    int codePage;
    std::string bytes;
    std::u16string text;
};

TEST(CodePageTest, DecodesAndEncodesEachCodePage) {
    const RoundTrip cases[] = {
        {CP_GBK, "", u""},
        {CP_GBK, "MB001 abc", u"MB001 abc"},
        {CP_GBK, "\xb1\xa3\xb4\xe6\xca\xa7\xb0\xdc", u"保存失败"},
        {CP_GBK, "\x80", u"€"},
        {CP_GBK, "A\xd7\xca\xd4\xb4Z", u"A资源Z"},
        {CP_BIG5, "\xb8\xea\xb7\xbd", u"資源"},
        {CP_OEM_US, "\x82t\xe9", u"\u00e9t\u0398"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.codePage);
        EXPECT_EQ(codePageToUtf16(c.bytes, c.codePage), c.text);
        EXPECT_EQ(utf16ToCodePage(c.text, c.codePage), c.bytes);
    }
}

TEST(CodePageTest, UnmappedCharactersBecomeQuestionMarks) {
    EXPECT_EQ(utf16ToCodePage(u"a\u00e9b", CP_BIG5), "a?b");
    EXPECT_EQ(utf16ToCodePage(u"x\U0001F600y", CP_GBK), "x?y");   // beyond the BMP
    EXPECT_EQ(utf16ToCodePage(u"\xD800z", CP_GBK), "?z");        // lone surrogate
    EXPECT_EQ(codePageToUtf16("\xff", CP_GBK), u"?");
    EXPECT_EQ(codePageToUtf16("ab\xb1", CP_GBK), u"ab?");        // lead byte at the end
    EXPECT_EQ(codePageToUtf16("\xb1\x20z", CP_GBK), u"? z");     // lead byte before ASCII
}

TEST(CodePageTest, LongMixedTextRoundTrips) {
    std::u16string text;
    for (int i = 0; i < 1000; ++i) text += (i % 3 ? u"资源主档" : u"resource-");
    std::string gbk = utf16ToCodePage(text, CP_GBK);
    EXPECT_EQ(codePageToUtf16(gbk, CP_GBK), text);
}

TEST(CodePageTest, Utf8AtTheEdges) {
    EXPECT_EQ(gbkToUtf8("\xd7\xca\xd4\xb4"), "\xe8\xb5\x84\xe6\xba\x90");  // 资源 in UTF-8
    EXPECT_EQ(utf8ToGbk("\xe8\xb5\x84\xe6\xba\x90"), "资源");
    EXPECT_EQ(utf16ToUtf8(utf8ToUtf16("a\xf0\x9f\x98\x80z")), "a\xf0\x9f\x98\x80z");
    EXPECT_EQ(utf8ToUtf16("\xc3"), u"\uFFFD");
}

TEST(CodePageTest, UnknownCodePagesUseGbk) {
    EXPECT_EQ(codePageToUtf16("\xd7\xca", 1234), u"资");
    EXPECT_FALSE(isSupportedCodePage(1234));
}

}  // namespace
}  // namespace corvane
