#include "platform/core/AsciiText.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(AsciiTextTest, TrimsBlanksAndFoldsAsciiLettersOnly) {
    EXPECT_EQ(trimBlanks(" \t MB001 \r\n"), "MB001");
    EXPECT_EQ(trimBlanks(" \t "), "");
    EXPECT_EQ(trimmedCopy("  a b  "), "a b");
    EXPECT_EQ(upperAscii("select mb001"), "SELECT MB001");
    EXPECT_EQ(lowerAscii("HKEY_Local"), "hkey_local");
    // UTF-8 bytes of Chinese text are left alone.
    EXPECT_EQ(upperAscii("\xe8\xb5\x84z"), "\xe8\xb5\x84Z");
    EXPECT_TRUE(equalsIgnoringAsciiCase("WhatIs", "WHATIS"));
    EXPECT_FALSE(equalsIgnoringAsciiCase("WhatIs", "WhatI"));
    EXPECT_FALSE(equalsIgnoringAsciiCase("a[", "A{"));
}

}  // namespace
}  // namespace corvane
