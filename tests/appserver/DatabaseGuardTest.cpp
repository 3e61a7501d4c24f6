#include <gtest/gtest.h>

#include "appserver/Schema.h"
#include "appserver/db/Database.h"
#include "tests/support/TestSupport.h"

using namespace corvane;
using namespace corvane::appserver;

namespace {

class DatabaseGuard : public ::testing::Test {
protected:
    void SetUp() override {
        db = openSqlite((dir / "guard.db").string());
        ensureSchema(*db);
    }
    test::TempDir dir;
    std::unique_ptr<Database> db;
};

}  // namespace

TEST_F(DatabaseGuard, ClientReadsRunOnlyOneReadingStatementOnBusinessTables) {
    const StatementGuard read{StatementUse::ClientRead, {}};
    const char* refused[] = {
        "DELETE FROM MPSMB",
        "SELECT 1; DELETE FROM MPSMB",
        "SELECT * FROM CV_USERS",
        "SELECT MB001 FROM MPSMB WHERE MB001 IN (SELECT USERID FROM CV_USERS)",
        "SELECT name FROM sqlite_master",
        "PRAGMA table_info(MPSMB)",
        "SELECT load_extension('libx')",
        "ATTACH 'other.db' AS other",
        "WITH x AS (SELECT 1) DELETE FROM MPSMB",
        "",
    };
    for (const char* sql : refused) EXPECT_THROW(db->prepare(sql, read), ESqlError) << sql;
    auto rows = queryAll(*db, "SELECT COUNT(*) FROM MPSMB WHERE MB003 = 'F01'", {}, read);
    EXPECT_EQ(rows[0][0].toInt(), 100);
    // An allowed internal table opens for that statement only.
    EXPECT_NO_THROW(db->prepare("SELECT NCONDITION FROM CV_SCHEMES", StatementGuard{StatementUse::ClientRead, {"CV_SCHEMES"}}));
    EXPECT_THROW(db->prepare("SELECT NCONDITION FROM CV_SCHEMES", read), ESqlError);
}

TEST_F(DatabaseGuard, ClientWritesChangeRowsButNeverTheSchemaOrOwnTables) {
    const StatementGuard write{StatementUse::ClientWrite, {}};
    const char* refused[] = {
        "DROP TABLE MPSMB",
        "CREATE TABLE X (A)",
        "ALTER TABLE MPSMB ADD COLUMN X",
        "UPDATE CV_USERS SET ENABLED = 'Y'",
        "INSERT INTO CV_RIGHTS VALUES ('GUEST', 'RESI01', 'Y', '')",
        "BEGIN",
        "PRAGMA journal_mode=DELETE",
        "UPDATE MPSMB SET MB007 = 'x'; DROP TABLE CMSMB",
    };
    for (const char* sql : refused) EXPECT_THROW(db->prepare(sql, write), ESqlError) << sql;
    EXPECT_EQ(execute(*db, "UPDATE MPSMB SET MB007 = 'x' WHERE MB001 = 'R001'", {}, write), 1);
}

TEST_F(DatabaseGuard, TextsTravelAsUtf16AndGbkParametersAreConverted) {
    // "第一工厂" as GBK bytes and as UTF-16 find the same row.
    auto gbk = queryAll(*db, "SELECT MB001 FROM CMSMB WHERE MB002 = ?1", {Variant(std::string("\xb5\xda\xd2\xbb\xb9\xa4\xb3\xa7"))});
    auto wide = queryAll(*db, "SELECT MB001 FROM CMSMB WHERE MB002 = ?1", {Variant(u"\u7b2c\u4e00\u5de5\u5382")});
    ASSERT_EQ(gbk.size(), 1u);
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_EQ(gbk[0][0], Variant(u"F01"));
    EXPECT_EQ(wide[0][0].type(), VarType::WideString);
}

TEST_F(DatabaseGuard, SchemaIsCreatedOnceWithDemoData) {
    EXPECT_FALSE(ensureSchema(*db));
    struct Count {
        const char* sql;
        long long atLeast;
    };
    const Count counts[] = {
        {"SELECT COUNT(*) FROM MPSMB", 300},
        {"SELECT COUNT(*) FROM CMSMB", 3},
        {"SELECT COUNT(*) FROM CMSMB WHERE MB010 = 'Y'", 1},
        {"SELECT COUNT(*) FROM ADMMB WHERE MB001 = 'RESI01'", 1},
        {"SELECT COUNT(*) FROM CV_RIGHTS", 2},
        {"SELECT COUNT(*) FROM CV_CHECKCODES", 10},
        {"SELECT COUNT(*) FROM CV_SYSINFO WHERE COMPANY = 'DEMO' AND NAME IN ('SYS001','SYS002','SYS024','SYS150','SYS151','QVX002')", 6},
    };
    for (const Count& c : counts) EXPECT_GE(queryAll(*db, c.sql)[0][0].toInt(), c.atLeast) << c.sql;

    // A database made before a table existed gets it on the next start,
    // and keeps its data.
    execute(*db, "DROP TABLE ADMMQ");
    EXPECT_FALSE(ensureSchema(*db));
    EXPECT_TRUE(db->tableExists("ADMMQ"));
    EXPECT_EQ(queryAll(*db, "SELECT COUNT(*) FROM MPSMB")[0][0].toInt(), 300);
}
