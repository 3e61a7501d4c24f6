// The gateway and the lookup server in process: the named services, the
// company settings, the check codes and the serial numbers.

#include "appserver/GatewayObject.h"

#include <gtest/gtest.h>

#include "appserver/Schema.h"
#include "appserver/Session.h"
#include "platform/core/CodePage.h"
#include "tests/support/TestSupport.h"

using namespace corvane;
using namespace corvane::appserver;

namespace {

class Gateway : public ::testing::Test {
protected:
    void SetUp() override {
        path = (dir / "gw.db").string();
        ensureSchema(*openSqlite(path));
        session = std::make_unique<Session>(path);
        gateway = std::make_shared<GatewayObject>(*session);
        lookup = std::make_shared<LookupServerObject>(*session);
    }
    Variant counter(const char16_t* service, Variant params) {
        return gateway->call("GETCOUNTER", {Variant(service), std::move(params),
                                            Variant::arrayOf({Variant(u"DEMO"), Variant(u"DEMO")})});
    }
    Variant check(const char* member, const char16_t* table, const char16_t* code, Variant params, bool* found = nullptr) {
        auto result = std::make_shared<Variant>();
        Variant ok = gateway->call(member, {Variant(table), Variant(code), Variant(u"DEMO"), std::move(params), Variant::ref(result)});
        if (found) *found = ok.toBool();
        return *result;
    }
    test::TempDir dir;
    std::string path;
    std::unique_ptr<Session> session;
    std::shared_ptr<GatewayObject> gateway;
    std::shared_ptr<LookupServerObject> lookup;
};

Variant sql(const char16_t* text, const char16_t* fields) {
    return Variant::arrayOf({Variant(text), Variant(fields), Variant(u"DEMO"), Variant(u"N")});
}

}  // namespace

TEST_F(Gateway, SimpleSqlAnswersRowsOfTheListedFieldsAfterTranslation) {
    Variant rows = counter(u"SimpleSql", sql(u"select top 1 MF001,MF003,MF004,MF005,MF006 from $$CMSMF CMSMF where MF001='RMB'",
                                             u"MF004,MF001"));
    ASSERT_TRUE(rows.isArray());
    ASSERT_EQ(rows.length(), 1);
    EXPECT_EQ(rows[0][0], Variant(2LL));
    EXPECT_EQ(rows[0][1], Variant(u"RMB"));
    Variant program = counter(u"SimpleSQL", sql(u"SELECT MB002,MB011,MB012,MB013 FROM DEMO..ADMMB WHERE MB001='RESI01'",
                                                u"MB002,MB011,MB012,MB013"));
    EXPECT_EQ(program[0][0], Variant(u"\u8d44\u6e90\u8d44\u6599\u7ef4\u62a4"));  // 资源资料维护
    EXPECT_TRUE(counter(u"SimpleSql", sql(u"SELECT MB001 FROM MPSMB WHERE 1=2", u"MB001")).isEmpty());

    const char16_t* refused[] = {u"DELETE FROM MPSMB", u"SELECT * FROM CV_USERS", u"SELECT 1; DELETE FROM MPSMB",
                                 u"UPDATE MPSMB SET MB002='x'"};
    for (const char16_t* text : refused) EXPECT_THROW(counter(u"SimpleSql", sql(text, u"")), Exception);
    EXPECT_THROW(counter(u"SimpleSql", sql(u"SELECT MB001 FROM MPSMB", u"NOPE")), EOleError);
    EXPECT_THROW(counter(u"NoSuchService", Variant::arrayOf({})), EOleError);
}

TEST_F(Gateway, EveryStatementTheClientSendsFindsItsTables) {
    // The statements the maintenance forms send as they start and work,
    // with their field lists: each answers rows or nothing, never an error.
    struct Case {
        const char16_t* statement;
        const char16_t* fields;
    };
    const Case cases[] = {
        {u"SELECT MB002,MB011,MB012,MB013 FROM ADMMB WHERE MB001='RESI01'", u"MB002,MB011,MB012,MB013"},
        {u"select top 1 MF001,MF003,MF004,MF005,MF006 from $$CMSMF CMSMF where MF001='RMB'",
         u"MF001,MF003,MF004,MF005,MF006"},
        {u" SELECT TL006,TL013,TL012 FROM $$ADMTK ADMTK  LEFT JOIN $$ADMTL ADMTL ON TK001 = TL001 AND TL010 = 'Y'  "
         u"WHERE  TL012 <> ''  AND TK003 = 'Y' AND TL005 = 'Z01' AND TL003 = 'RESI01' ORDER BY TL011 ",
         u"TL006,TL013,TL012"},
        {u" SELECT MQ001,MQ002,MQ003 \r FROM $$ADMMQ AS ADMMQ   \r WHERE MQ001='RESI01' AND (MQ002='01' OR MQ002='****') ",
         u"MQ003"},
        {u" SELECT MC001,MC002,MC006 \r FROM $$EFSMC AS EFSMC    \r WHERE MC001='RESI01' AND (MC002='01' OR MC002='****') ",
         u"MC006"},
        {u" SELECT top  1  MQ003,MQ004 \r FROM  $$ADMMQ  \r WHERE MQ001='RESI01' AND (MQ002='01' OR MQ002='****')  "
         u"ORDER  BY  MQ002 DESC  ",
         u"MQ003,MQ004"},
        {u" SELECT top  1  MC006,MC009 \r FROM  $$EFSMC  \r WHERE MC001='RESI01' AND (MC002='01' OR MC002='****')  "
         u"ORDER  BY  MC002 DESC  ",
         u"MC006,MC009"},
        {u"SELECT MR004,MR005 FROM ADMMR WHERE MR001= 'RESI01'", u"MR004,MR005"},
        {u"  SELECT  MR005,MR004,MR007 \r  FROM $$ADMMR \r  WHERE  MR001='RESI01' AND MR002='01'", u"MR005,MR004,MR007"},
        {u"select NT001,NT002 from WARRANT where UPPER(NT001) like '%RESI01%' order by NT002", u"NT002"},
        {u"SELECT NH003 FROM $$ADMNH WHERE NH001 = 'RESI01'", u"NH003"},
    };
    for (const Case& c : cases) {
        Variant answer;
        EXPECT_NO_THROW(answer = counter(u"SimpleSql", sql(c.statement, c.fields))) << utf16ToUtf8(c.statement);
        EXPECT_TRUE(answer.isEmpty() || answer.isArray()) << utf16ToUtf8(c.statement);
    }
}

TEST_F(Gateway, TransactionSqlIsAllOrNothing) {
    auto statements = [](std::initializer_list<Variant> list) {
        return Variant::arrayOf({Variant::arrayOf(list), Variant(u"")});
    };
    Variant changed = counter(u"TransactionSQL", statements({Variant(u"UPDATE $$MPSMB SET MB007='a' WHERE MB001='R001'"),
                                                             Variant(u"DELETE FROM ATTACH WHERE Parent='RESI01'")}));
    EXPECT_EQ(changed, Variant(1LL));
    EXPECT_THROW(counter(u"TransactionSQL", statements({Variant(u"UPDATE MPSMB SET MB007='b' WHERE MB001='R001'"),
                                                        Variant(u"INSERT INTO MPSMB (MB001) VALUES ('R001')")})),
                 EOleError);
    EXPECT_THROW(counter(u"TransactionSQL", statements({Variant(u"UPDATE MPSMB SET MB007='c' WHERE MB001='R001'"),
                                                        Variant(u"DROP TABLE CMSMB")})),
                 EOleError);
    auto rows = queryAll(session->db(), "SELECT MB007 FROM MPSMB WHERE MB001='R001'");
    EXPECT_EQ(rows[0][0], Variant(u"a"));
}

TEST_F(Gateway, UserDefineSettingsRoundTripWithProgramScopeFirst) {
    auto get = [&](const char16_t* program, const char16_t* section) {
        return counter(u"GetUserDefine",
                       Variant::arrayOf({Variant(u"DEMO"), Variant(u"DS"), Variant(program), Variant(section)}));
    };
    auto set = [&](const char16_t* scope, const char16_t* path, const char16_t* value) {
        return counter(u"SetUserDefine",
                       Variant::arrayOf({Variant(u"DEMO"), Variant(u"DS"), Variant(scope), Variant(path), Variant(value)}));
    };
    EXPECT_EQ(get(u"RESI01", u"InputSettings002"), Variant(u""));
    EXPECT_EQ(set(u"RESI01", u"InputSettings002/IsKeepOnAdd", u"True"), Variant(u""));
    EXPECT_EQ(set(u"********************", u"InputSettings002/IsKeepOnAdd", u"False"), Variant(u""));
    EXPECT_EQ(get(u"RESI01", u"InputSettings002"), Variant(u"<InputSettings002><IsKeepOnAdd>True</IsKeepOnAdd></InputSettings002>"));
    EXPECT_EQ(get(u"CMSI02", u"InputSettings002"), Variant(u"<InputSettings002><IsKeepOnAdd>False</IsKeepOnAdd></InputSettings002>"));

    const char16_t* numbers =
        u"<NumberFieldsSetting Enabled=\"True\">  <QuantityFieldAutoZero>False</QuantityFieldAutoZero>  "
        u"<QuantityFieldThousand>True</QuantityFieldThousand>  <MoneyFieldAutoZero>True</MoneyFieldAutoZero>  "
        u"<MoneyFieldThousand>False</MoneyFieldThousand></NumberFieldsSetting>";
    EXPECT_EQ(set(u"RESI01", u".", numbers), Variant(u""));
    std::string doc = utf16ToUtf8(get(u"RESI01", u"NumberFieldsSetting").toWide());
    EXPECT_NE(doc.find("<QuantityFieldAutoZero>False</QuantityFieldAutoZero>"), std::string::npos);
    EXPECT_NE(doc.find("<MoneyFieldThousand>False</MoneyFieldThousand>"), std::string::npos);

    EXPECT_NE(set(u"RESI01", u".", u"<not xml"), Variant(u""));
    EXPECT_NE(set(u"RESI01", u"no-slash", u"x"), Variant(u""));
    EXPECT_NE(set(u"RESI01", u"Sec/<bad>", u"x"), Variant(u""));
}

TEST_F(Gateway, UdfQueriesAndCompanySettings) {
    Variant answer = counter(u"QueryUDFData", Variant::arrayOf({Variant(u"FACTORYNAME"), Variant(u""), Variant(u"DEMO"),
                                                                Variant(u"N"), Variant::arrayOf({Variant(u"F03")})}));
    EXPECT_EQ(answer[0][0], Variant(u"\u5916\u534f\u52a0\u5de5\u5382"));  // 外协加工厂
    EXPECT_THROW(counter(u"QueryUDFData", Variant::arrayOf({Variant(u"UNKNOWN")})), EOleError);

    auto company = std::make_shared<Variant>(Variant(u"DEMO"));
    Variant info = gateway->call("GetSysInfo", {Variant::ref(company)});
    ASSERT_EQ(info.dimCount(), 2);
    EXPECT_EQ(info.lowBound(1), 0);
    EXPECT_EQ(info.highBound(1), 1);
    std::map<std::u16string, std::u16string> settings;
    for (int i = info.lowBound(2); i <= info.highBound(2); ++i) settings[info.at(0, i).toWide()] = info.at(1, i).toWide();
    EXPECT_EQ(settings[u"SYS001"], u"1");
    EXPECT_EQ(settings[u"SYS002"], u"/");
    EXPECT_EQ(settings[u"SYS151"], u"500");
    EXPECT_EQ(settings[u"SYS150"].substr(0, 1), u"Y");
    EXPECT_FALSE(settings[u"QVX002"].empty());
    EXPECT_TRUE(settings.count(u"SYS024"));
    EXPECT_THROW(gateway->call("GetSysInfo", {Variant(u"NOPE")}), EOleError);
}

TEST_F(Gateway, CheckCodesAreDataWithTheirAnswerShapes) {
    struct Case {
        const char16_t* table;
        const char16_t* code;
        Variant params;
        bool found;
        Variant first;  // element 0 of the answer (or of its first row for ROWS)
    };
    execute(session->db(), "INSERT INTO CV_SCHEMES VALUES ('S1', 'DS', 'RESI01', '20261211', '', 0)");
    const Case cases[] = {
        {u"ADMMB", u"06", Variant::arrayOf({Variant(u"RESI01"), Variant(u"DEMO")}), true, Variant(u"\u8d44\u6e90\u8d44\u6599\u7ef4\u62a4")},
        {u"MPSMB", u"01", Variant::arrayOf({Variant(u"R001"), Variant(u"")}), true, Variant(u"R001")},
        {u"MPSMB", u"01", Variant::arrayOf({Variant(u"R000"), Variant(u"")}), false, Variant()},
        {u"CMSMB", u"01", Variant::arrayOf({Variant(u"F02")}), true, Variant(u"\u7b2c\u4e8c\u5de5\u5382")},
        {u"CMSMB", u"02", Variant::arrayOf({Variant(u"0")}), true, Variant(u"F01")},
        {u"DOCUS", u"01", Variant::arrayOf({Variant(u"S1"), Variant(u"DS"), Variant(u"RESI01")}), true, Variant(u"S1")},
        {u"DOCUS", u"01", Variant::arrayOf({Variant(u"S1"), Variant(u"CLERK"), Variant(u"RESI01")}), false, Variant()},
        {u"F2LINK", u"01", Variant::arrayOf({Variant(u"1"), Variant(u"MPSMB"), Variant(u"UDF01")}), true, Variant(u"INVMB")},
        {u"INVMB", u"12", Variant(u"A-1001"), true, Variant(u"A-1001")},
        {u"CMSMV", u"07", Variant::arrayOf({Variant(u"DOC-002")}), true, Variant(u"DOC-002")},
    };
    for (const Case& c : cases) {
        bool found = false;
        Variant answer = check("CheckValue", c.table, c.code, c.params, &found);
        EXPECT_EQ(found, c.found) << utf16ToUtf8(c.table) << "/" << utf16ToUtf8(c.code);
        if (c.found) {
            EXPECT_EQ(answer[0], c.first) << utf16ToUtf8(c.table);
        }
    }
    // The program information has the flag at element 7 and the English name at 9.
    Variant info = check("CheckValue", u"ADMMB", u"06", Variant::arrayOf({Variant(u"RESI01"), Variant(u"DEMO")}));
    EXPECT_EQ(info.highBound(), 9);
    EXPECT_EQ(info[7], Variant(u"N"));
    EXPECT_EQ(info[9], Variant(u"Resource Master Maintenance"));

    Variant precisions = check("QueryData", u"NUMFD", u"01", Variant::arrayOf({Variant(u"MPSMB")}));
    ASSERT_EQ(precisions.length(), 3);
    EXPECT_EQ(precisions[0][0], Variant(u"MB004"));
    EXPECT_EQ(precisions[0][1], Variant(16LL));
    Variant labels = check("QueryData", u"ADMMD", u"03", Variant::arrayOf({Variant(u"MPSMB")}));
    EXPECT_EQ(labels[0][0], Variant(u"UDF01"));
    EXPECT_THROW(check("CheckValue", u"XXXXX", u"01", Variant()), EOleError);
    EXPECT_THROW(gateway->call("CheckValue", {Variant(u"MPSMB")}), EOleError);
}

TEST_F(Gateway, QueryMaxSeqGivesTheNextSerialAfterThePrefix) {
    auto next = [&](const char16_t* table, const char16_t* keys, Variant values, const char16_t* date) {
        auto result = std::make_shared<Variant>();
        Variant ok = gateway->call("QueryMaxSeq", {Variant(table), Variant(keys), std::move(values), Variant(date),
                                                   Variant(u"RESI01"), Variant(u"DEMO"), Variant::ref(result)});
        return ok.toBool() ? result->toWide() : std::u16string(u"false");
    };
    // MB001 is 10 wide: "R" prefix + 9 digits.
    EXPECT_EQ(next(u"MPSMB", u"MB001", Variant::arrayOf({Variant(u"")}), u"R"), u"R000000001");
    execute(session->db(), "INSERT INTO MPSMB (MB001) VALUES ('R000000041')");
    EXPECT_EQ(next(u"MPSMB", u"MB001", Variant::arrayOf({Variant(u"")}), u"R"), u"R000000042");
    EXPECT_EQ(next(u"MPSMB", u"MB001", Variant::arrayOf({Variant(u"")}), u"2026/12/11"), u"2026121101");
    EXPECT_THROW(next(u"MPSMB", u"NOPE", Variant(), u""), EOleError);
    EXPECT_THROW(next(u"CV_USERS", u"USERID", Variant(), u""), EOleError);
}

TEST_F(Gateway, LookupServerListsCandidatesAndPhrases) {
    Variant answer = lookup->call("F2Query", {Variant(u"CMSMB"), Variant(u"01"), Variant(u"F0")});
    EXPECT_EQ(answer[0][1], Variant(u"\u5de5\u5382\u540d\u79f0"));  // 工厂名称
    ASSERT_EQ(answer[1].length(), 3);
    EXPECT_EQ(answer[1][2][0], Variant(u"F03"));
    EXPECT_EQ(lookup->call("F2Query", {Variant(u"CMSMB"), Variant(u"01"), Variant(u"F%")})[1].length(), 0);
    EXPECT_THROW(lookup->call("F2Query", {Variant(u"NOPE"), Variant(u"01")}), EOleError);
    Variant phrases = lookup->call("GetPhrases", {Variant(u"DS")});
    EXPECT_EQ(phrases.length(), 5);
    EXPECT_EQ(phrases[0], Variant(u"\u7531\u7cfb\u7edf\u7ba1\u7406\u5458\u7ef4\u62a4"));
}
