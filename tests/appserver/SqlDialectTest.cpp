#include "appserver/SqlDialect.h"

#include <gtest/gtest.h>

using namespace corvane::appserver;

TEST(SqlDialect, TranslatesTheSqlServerForms) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"select top 1 MF001,MF003 from $$CMSMF CMSMF where MF001='RMB'",
         "select MF001,MF003 from CMSMF CMSMF where MF001='RMB' LIMIT 1"},
        {"SELECT DISTINCT TOP 5 MB001 FROM DEMO..ADMMB", "SELECT DISTINCT MB001 FROM ADMMB LIMIT 5"},
        {"SELECT * FROM T WHERE x IN (SELECT TOP 1 y FROM U ORDER BY y) ORDER BY x",
         "SELECT * FROM T WHERE x IN (SELECT y FROM U ORDER BY y LIMIT 1) ORDER BY x"},
        {"select top (3) a from t", "select a from t LIMIT 3"},
        {"select top 2 a from t;", "select a from t LIMIT 2;"},
        {"SELECT * FROM DEMO.dbo.MPSMB", "SELECT * FROM MPSMB"},
        {"SELECT ISNULL(a,'$$X..top 1') FROM $$ADMNH", "SELECT IFNULL(a,'$$X..top 1') FROM ADMNH"},
        {"SELECT LEN(MB002), GETDATE() FROM MPSMB", "SELECT LENGTH(MB002), datetime('now','localtime') FROM MPSMB"},
        {"SELECT TOPIC, isnull FROM t", "SELECT TOPIC, isnull FROM t"},
        {"SELECT [top 1] FROM t WHERE a = \"$$b\"", "SELECT [top 1] FROM t WHERE a = \"$$b\""},
        {"SELECT NH003 FROM $$ADMNH WHERE NH001 = 'RESI01'  ", "SELECT NH003 FROM ADMNH WHERE NH001 = 'RESI01'  "},
        {"SELECT MB002 FROM ADMMB WHERE MB001='a''b'", "SELECT MB002 FROM ADMMB WHERE MB001='a''b'"},
    };
    for (const Case& c : cases) EXPECT_EQ(translateSqlServerDialect(c.in), c.out) << c.in;
}

TEST(SqlDialect, WhereTextChecks) {
    struct Case {
        const char* where;
        bool ok;
    };
    const Case cases[] = {
        {"", true},
        {"MPSMB.MB001='R01'", true},
        {"(MB004 > 1 AND MB002 LIKE '%;--%') OR MB003 IN ('F01','F02')", true},
        {"MB002 = 'it''s'", true},
        {"1=1; DROP TABLE MPSMB", false},
        {"1=1 -- and the rest", false},
        {"1=1 /* hidden */", false},
        {"1=1) OR (1=1", false},
        {"(1=1", false},
        {"MB002 = 'open", false},
    };
    for (const Case& c : cases) EXPECT_EQ(checkWhereText(c.where).empty(), c.ok) << c.where;
}

TEST(SqlDialect, OrderByChecks) {
    struct Case {
        const char* order;
        bool ok;
    };
    const Case cases[] = {
        {"MB001", true},
        {"MPSMB.MB001 DESC, MB002 asc", true},
        {"MB001;DROP TABLE MPSMB", false},
        {"(SELECT 1)", false},
        {"MB001 DESC NULLS", false},
        {"MB001,", false},
        {"1", false},
    };
    for (const Case& c : cases) EXPECT_EQ(checkOrderByText(c.order).empty(), c.ok) << c.order;
}
