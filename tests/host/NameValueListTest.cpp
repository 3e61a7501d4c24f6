#include "host/NameValueList.h"

#include <gtest/gtest.h>

namespace corvane::host {
namespace {

TEST(NameValueListTest, ValuesByNameWithoutRegardToCase) {
    NameValueList list;
    list.setText("SYS001=1\r\nsys003=Y\nQVX002=Demo=A\rEMPTY=");
    EXPECT_EQ(list.lines().size(), 4u);
    EXPECT_EQ(list.value("SYS001"), "1");
    EXPECT_EQ(list.value("SYS003"), "Y");
    EXPECT_EQ(list.value("qvx002"), "Demo=A");
    EXPECT_EQ(list.value("EMPTY"), "");
    EXPECT_TRUE(list.hasName("empty"));
    EXPECT_EQ(list.value("MISSING"), "");

    list.setValue("Sys001", "3");
    EXPECT_EQ(list.value("SYS001"), "3");
    list.setValue("NEW", "v");
    EXPECT_EQ(list.lines().back(), "NEW=v");
    list.setValue("new", "");
    EXPECT_FALSE(list.hasName("NEW"));
    EXPECT_EQ(list.text(), "Sys001=3\r\nsys003=Y\r\nQVX002=Demo=A\r\nEMPTY=\r\n");
}

}  // namespace
}  // namespace corvane::host
