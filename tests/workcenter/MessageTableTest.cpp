#include "workcenter/MessageTable.h"

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

namespace corvane::workcenter {
namespace {

TEST(MessageTableTest, ShippedFilesHoldTheCodesTheModuleRaises) {
    const char* codes[][2] = {{"E", "000001"}, {"E", "000002"}, {"E", "000003"}, {"W", "000004"},
                              {"E", "000004"}, {"E", "000005"}, {"W", "000005"}, {"E", "000032"},
                              {"E", "000038"}, {"E", "100002"}, {"E", "100012"}, {"E", "100187"},
                              {"E", "200820"}, {"D", "000001"}, {"D", "000002"}, {"C", "000001"}};
    for (const char* language : {"CHS", "CHT", "ENG"}) {
        MessageTable table;
        std::string error;
        ASSERT_TRUE(table.load(MessageTable::fileFor(CORVANE_DATA_DIR, language), error)) << error;
        for (auto& code : codes) EXPECT_FALSE(table.text(code[0], code[1]).empty()) << language << code[0] << code[1];
    }
}

TEST(MessageTableTest, TextsAreGbkAndLookedUpByTypeAndCode) {
    MessageTable table;
    std::string error;
    ASSERT_TRUE(table.load(MessageTable::fileFor(CORVANE_DATA_DIR, "CHS"), error)) << error;
    EXPECT_EQ(table.text("E", "000002"), "%s已存在,请重新输入!");
    EXPECT_EQ(table.text("e", "000002"), table.text("E", "000002"));
    EXPECT_EQ(table.text("E", "999999"), "");
}

TEST(MessageTableTest, RejectsMalformedLinesAndMissingFiles) {
    test::TempDir dir;
    struct Case {
        const char* content;
        bool loads;
    };
    const Case cases[] = {
        {"# comment\n\nE 000001 text\r\nI 000002\n", true},
        {"E 00001 short code\n", false},
        {"EX000001 text\n", false},
        {"E 0000012 seven digits\n", false},
    };
    for (const Case& c : cases) {
        test::writeFile(dir / "m.msg", c.content);
        MessageTable table;
        std::string error;
        EXPECT_EQ(table.load((dir / "m.msg").string(), error), c.loads) << c.content;
        if (!c.loads) {
            EXPECT_NE(error.find("m.msg:"), std::string::npos);
        }
    }
    MessageTable table;
    std::string error;
    EXPECT_FALSE(table.load((dir / "missing.msg").string(), error));
}

}  // namespace
}  // namespace corvane::workcenter
