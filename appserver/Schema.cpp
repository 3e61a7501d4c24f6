// The application server's schema and demo data.
//
// Business tables (named by module code and two letters, columns by the
// table's letters and three digits):
//   MPSMB  resources: MB001 number, MB002 name, MB003 factory, MB004 maximum
//          daily capacity, MB005 daily capacity, MB006 unit, MB007 remark,
//          audit columns, UDF01..UDF12 texts, UDF51..UDF62 numbers
//   CMSMB  factories: MB001 code, MB002 name, MB003 address, MB010 'Y' for
//          the company's default factory
//   ADMMB  program master: MB001 id, MB002 name, MB003 report program id,
//          MB004 module, MB005 kind, MB006 version, MB007 file, MB008 menu,
//          MB009 program flag (Y/N), MB010 remark, MB011 English name,
//          MB012 traditional name, MB013 help file
//   ADMMD  field labels: MD001 table, MD002 field, MD003 label, MD004 English label
//   ADMMR  field links between programs: MR001..MR011
//   ADMNH  colour management per program: NH001 program, NH003 setting
//   CMSMF  currencies: MF001 code, MF002 name, MF003..MF006 digits
//   CMSMV  documents: MV001 code, MV002 name;  INVMB items: MB001, MB002, MB003
//   ATTACH attachments of records
//   WARRANT voucher formats: NT001 format id, NT002 caption
//   ADMTK/ADMTL rules of user-defined fields: TK001 rule, TK003 'Y' active;
//          TL001 rule, TL003 program, TL005 kind, TL006 target field,
//          TL010 'Y' active, TL011 order, TL012 trigger fields, TL013 query id
//   ADMMQ  numbering types per program (MQ001, MQ002 type code, MQ003, MQ004);
//          EFSMC the same for the electronic-form variant (MC001, MC002, MC006, MC009)
//
// The server's own tables (CV_...; client SQL can never read or write them):
//   CV_COMPANIES  companies and their database names
//   CV_USERS      users: group, group list, company, enabled, packet size,
//                 base-data limitation
//   CV_RIGHTS     rights per user and program: POWER_DATA, EX_POWER
//   CV_PROGRAMS   a program's table definitions (M11/D11/H11)
//   CV_FORMATS    settings documents per company, program and user ('' = all)
//   CV_SCHEMES    saved condition schemes per user and program
//   CV_CHECKCODES check codes: table, code, SQL (?1.. = parameters), answer
//                 shape ROW (first row as an array) or ROWS (array of rows)
//   CV_LOOKUPS    lookup lists: table, kind, SQL (?1 = typed text), captions
//   CV_SYSINFO    company settings (SYS001 ...)
//   CV_USERDEFINE per-user settings: scope (program or twenty '*'), section, key
//   CV_PHRASES    phrases per user ('' = everyone)
//   CV_UDFQUERY   queries of user-defined field rules
//   CV_F2LINK     lookup definitions of user-defined fields
//   CV_NUMFD      field precisions (table, field, precision, scale)
//   CV_BASELIMITS allowed keys per user and table for limited users

#include "appserver/Schema.h"

#include <string>

#include "platform/core/CodePage.h"

namespace corvane::appserver {

namespace {

const char* const kSchema = R"SQL(
CREATE TABLE CMSMB (
  MB001 VARCHAR(6) NOT NULL PRIMARY KEY, MB002 VARCHAR(20), MB003 VARCHAR(60), MB010 VARCHAR(1) DEFAULT 'N',
  COMPANY VARCHAR(10), CREATOR VARCHAR(10), USR_GROUP VARCHAR(10), CREATE_DATE VARCHAR(17),
  MODIFIER VARCHAR(10), MODI_DATE VARCHAR(17), FLAG REAL DEFAULT 0);
CREATE TABLE MPSMB (
  MB001 VARCHAR(10) NOT NULL PRIMARY KEY, MB002 VARCHAR(20), MB003 VARCHAR(6),
  MB004 REAL DEFAULT 0, MB005 REAL DEFAULT 0, MB006 VARCHAR(4), MB007 VARCHAR(255),
  COMPANY VARCHAR(10), CREATOR VARCHAR(10), USR_GROUP VARCHAR(10), CREATE_DATE VARCHAR(17),
  MODIFIER VARCHAR(10), MODI_DATE VARCHAR(17), FLAG REAL DEFAULT 0,
  UDF01 VARCHAR(255), UDF02 VARCHAR(255), UDF03 VARCHAR(255), UDF04 VARCHAR(255), UDF05 VARCHAR(255), UDF06 VARCHAR(255),
  UDF51 REAL, UDF52 REAL, UDF53 REAL, UDF54 REAL, UDF55 REAL, UDF56 REAL,
  UDF07 VARCHAR(255), UDF08 VARCHAR(255), UDF09 VARCHAR(255), UDF10 VARCHAR(255), UDF11 VARCHAR(255), UDF12 VARCHAR(255),
  UDF57 REAL, UDF58 REAL, UDF59 REAL, UDF60 REAL, UDF61 REAL, UDF62 REAL);
CREATE INDEX MPSMB_MB003 ON MPSMB(MB003);
CREATE TABLE ADMMB (
  MB001 VARCHAR(10) NOT NULL PRIMARY KEY, MB002 VARCHAR(40), MB003 VARCHAR(10), MB004 VARCHAR(4), MB005 VARCHAR(1),
  MB006 VARCHAR(10), MB007 VARCHAR(40), MB008 VARCHAR(20), MB009 VARCHAR(1) DEFAULT 'N', MB010 VARCHAR(60),
  MB011 VARCHAR(60), MB012 VARCHAR(40), MB013 VARCHAR(40));
CREATE TABLE ADMMD (MD001 VARCHAR(10) NOT NULL, MD002 VARCHAR(20) NOT NULL, MD003 VARCHAR(40), MD004 VARCHAR(40),
  PRIMARY KEY (MD001, MD002));
CREATE TABLE ADMMR (MR001 VARCHAR(10) NOT NULL, MR002 VARCHAR(10) NOT NULL, MR003 VARCHAR(20), MR004 VARCHAR(20),
  MR005 VARCHAR(20), MR006 VARCHAR(10), MR007 VARCHAR(20), MR008 VARCHAR(20), MR009 VARCHAR(4), MR010 VARCHAR(20),
  MR011 INTEGER DEFAULT 0, PRIMARY KEY (MR001, MR002));
CREATE TABLE ADMNH (NH001 VARCHAR(10) NOT NULL PRIMARY KEY, NH002 VARCHAR(20), NH003 TEXT);
CREATE TABLE CMSMF (MF001 VARCHAR(4) NOT NULL PRIMARY KEY, MF002 VARCHAR(20), MF003 INTEGER, MF004 INTEGER,
  MF005 INTEGER, MF006 INTEGER);
CREATE TABLE CMSMV (MV001 VARCHAR(20) NOT NULL PRIMARY KEY, MV002 VARCHAR(60), MV003 VARCHAR(255));
CREATE TABLE INVMB (MB001 VARCHAR(20) NOT NULL PRIMARY KEY, MB002 VARCHAR(60), MB003 VARCHAR(60), MB004 VARCHAR(4));
CREATE TABLE ATTACH (Parent VARCHAR(10) NOT NULL, CompanyID VARCHAR(10) NOT NULL, KeyValues VARCHAR(255) NOT NULL,
  UserID VARCHAR(10), Type VARCHAR(10), SeqNo INTEGER NOT NULL DEFAULT 0, FileName VARCHAR(255), DocID VARCHAR(40),
  Revision VARCHAR(10), AddDate VARCHAR(8), AddTime VARCHAR(8), KeyFields VARCHAR(255),
  PRIMARY KEY (Parent, CompanyID, KeyValues, SeqNo));

CREATE TABLE CV_COMPANIES (COMPANY VARCHAR(10) NOT NULL PRIMARY KEY, NAME VARCHAR(60), COMPANY_DB VARCHAR(30),
  IS_DEFAULT VARCHAR(1) DEFAULT 'N');
CREATE TABLE CV_USERS (USERID VARCHAR(10) NOT NULL PRIMARY KEY, NAME VARCHAR(40), USR_GROUP VARCHAR(10),
  GROUP_LIST VARCHAR(255), COMPANY VARCHAR(10), ENABLED VARCHAR(1) DEFAULT 'Y', MAX_RECORD INTEGER DEFAULT 20,
  BASELIMITED VARCHAR(20) DEFAULT 'N');
CREATE TABLE CV_RIGHTS (USERID VARCHAR(10) NOT NULL, PROGRAMME VARCHAR(10) NOT NULL, POWER_DATA VARCHAR(255),
  EX_POWER VARCHAR(255), PRIMARY KEY (USERID, PROGRAMME));
CREATE TABLE CV_PROGRAMS (PROGRAMME VARCHAR(10) NOT NULL PRIMARY KEY, M11_TABLE VARCHAR(20), M11_KEY VARCHAR(100),
  M11_SELECT TEXT, D11_TABLE VARCHAR(20), D11_KEY VARCHAR(100), D11_SELECT TEXT, H11_TABLE VARCHAR(20),
  H11_KEY VARCHAR(100));
CREATE TABLE CV_FORMATS (COMPANY VARCHAR(10) NOT NULL, PROGRAMME VARCHAR(10) NOT NULL, USERID VARCHAR(10) NOT NULL DEFAULT '',
  DOCUMENT TEXT, PRIMARY KEY (COMPANY, PROGRAMME, USERID));
CREATE TABLE CV_SCHEMES (NCONDITION VARCHAR(20) NOT NULL, CREATOR VARCHAR(10) NOT NULL, PROGRAMME VARCHAR(10) NOT NULL,
  CREATE_DATE VARCHAR(8), VCONDITION TEXT, ActivePage INTEGER DEFAULT 0,
  PRIMARY KEY (NCONDITION, CREATOR, PROGRAMME));
CREATE TABLE CV_CHECKCODES (TABLENAME VARCHAR(20) NOT NULL, CHECKCODE VARCHAR(4) NOT NULL, SQLTEXT TEXT NOT NULL,
  ANSWER VARCHAR(4) NOT NULL DEFAULT 'ROW', DESCRIPTION VARCHAR(100), PRIMARY KEY (TABLENAME, CHECKCODE));
CREATE TABLE CV_LOOKUPS (TABLENAME VARCHAR(20) NOT NULL, KIND VARCHAR(4) NOT NULL, SQLTEXT TEXT NOT NULL,
  CAPTIONS VARCHAR(255), PRIMARY KEY (TABLENAME, KIND));
CREATE TABLE CV_SYSINFO (COMPANY VARCHAR(10) NOT NULL, NAME VARCHAR(20) NOT NULL, VALUE VARCHAR(255),
  PRIMARY KEY (COMPANY, NAME));
CREATE TABLE CV_USERDEFINE (COMPANY VARCHAR(10) NOT NULL, USERID VARCHAR(10) NOT NULL, SCOPE VARCHAR(20) NOT NULL,
  SECTION VARCHAR(60) NOT NULL, KEYNAME VARCHAR(60) NOT NULL, VALUE TEXT,
  PRIMARY KEY (COMPANY, USERID, SCOPE, SECTION, KEYNAME));
CREATE TABLE CV_PHRASES (USERID VARCHAR(10) NOT NULL DEFAULT '', SEQ INTEGER NOT NULL, PHRASE VARCHAR(255),
  PRIMARY KEY (USERID, SEQ));
CREATE TABLE CV_UDFQUERY (QUERYID VARCHAR(20) NOT NULL PRIMARY KEY, SQLTEXT TEXT NOT NULL);
CREATE TABLE CV_F2LINK (LINKTYPE VARCHAR(2) NOT NULL, PART1 VARCHAR(20) NOT NULL, PART2 VARCHAR(20) NOT NULL,
  F2TABLE VARCHAR(20), F2KIND VARCHAR(4), PRIMARY KEY (LINKTYPE, PART1, PART2));
CREATE TABLE CV_NUMFD (TABLENAME VARCHAR(20) NOT NULL, FIELDNAME VARCHAR(20) NOT NULL, PREC INTEGER, SCALE INTEGER,
  PRIMARY KEY (TABLENAME, FIELDNAME));
CREATE TABLE CV_BASELIMITS (USERID VARCHAR(10) NOT NULL, TABLENAME VARCHAR(20) NOT NULL, KEYVALUE VARCHAR(255) NOT NULL,
  PRIMARY KEY (USERID, TABLENAME, KEYVALUE));
)SQL";

const char* const kClientSettingTables = R"SQL(
CREATE TABLE IF NOT EXISTS WARRANT (NT001 VARCHAR(40) NOT NULL PRIMARY KEY, NT002 VARCHAR(60));
CREATE TABLE IF NOT EXISTS ADMTK (TK001 VARCHAR(20) NOT NULL PRIMARY KEY, TK002 VARCHAR(60), TK003 VARCHAR(1) DEFAULT 'Y');
CREATE TABLE IF NOT EXISTS ADMTL (TL001 VARCHAR(20) NOT NULL, TL002 INTEGER NOT NULL DEFAULT 0, TL003 VARCHAR(10),
  TL005 VARCHAR(4), TL006 VARCHAR(20), TL010 VARCHAR(1) DEFAULT 'Y', TL011 INTEGER DEFAULT 0, TL012 VARCHAR(255) DEFAULT '',
  TL013 VARCHAR(20), PRIMARY KEY (TL001, TL002));
CREATE TABLE IF NOT EXISTS ADMMQ (MQ001 VARCHAR(10) NOT NULL, MQ002 VARCHAR(4) NOT NULL, MQ003 VARCHAR(20), MQ004 VARCHAR(20),
  PRIMARY KEY (MQ001, MQ002));
CREATE TABLE IF NOT EXISTS EFSMC (MC001 VARCHAR(10) NOT NULL, MC002 VARCHAR(4) NOT NULL, MC006 VARCHAR(20), MC009 VARCHAR(20),
  PRIMARY KEY (MC001, MC002));
)SQL";

const char* const kDemoData = R"SQL(
INSERT INTO CV_COMPANIES VALUES ('DEMO', '科华精密制造有限公司', 'DEMO', 'Y'), ('TEST', '科华测试公司', 'TESTDB', 'N');
INSERT INTO CMSMB (MB001, MB002, MB003, MB010, COMPANY, CREATOR, USR_GROUP, CREATE_DATE, FLAG) VALUES
  ('F01', '第一工厂', '苏州工业园区星湖街88号', 'Y', 'DEMO', 'DS', 'ADMIN', '20260105 08:00:00', 1),
  ('F02', '第二工厂', '昆山开发区前进东路12号', 'N', 'DEMO', 'DS', 'ADMIN', '20260105 08:00:00', 1),
  ('F03', '外协加工厂', '无锡新区长江路7号', 'N', 'DEMO', 'DS', 'ADMIN', '20260105 08:00:00', 1);
INSERT INTO ADMMB VALUES
  ('RESI01', '资源资料维护', 'RESI01', 'RES', 'I', '8.0', 'RESI01C.so', '生产排程', 'N', '生产资源主档',
   'Resource Master Maintenance', '資源資料維護', 'RES.hlp'),
  ('CMSI02', '工厂资料维护', 'CMSI02', 'CMS', 'I', '8.0', 'CMSI02C.so', '基本资料', 'N', '', 'Factory Maintenance',
   '工廠資料維護', 'CMS.hlp');
INSERT INTO ADMMD VALUES
  ('MPSMB', 'UDF01', '设备型号', 'Model'), ('MPSMB', 'UDF02', '设备编号', 'Equipment No.'),
  ('MPSMB', 'UDF51', '功率(kW)', 'Power (kW)');
INSERT INTO ADMMR VALUES ('RESI01', '01', '', 'MB003', 'MB003', 'CMSI02', 'MB001', 'MB001', '', '', 1);
INSERT INTO CMSMF VALUES ('RMB', '人民币', 4, 2, 4, 2), ('USD', '美元', 4, 2, 4, 2), ('JPY', '日元', 2, 0, 2, 0);
INSERT INTO CMSMV VALUES ('DOC-001', '设备保养规范', 'docs/DOC-001.pdf'), ('DOC-002', '产能核定说明', 'docs/DOC-002.pdf');
INSERT INTO INVMB VALUES ('A-1001', '轴承 6204', 'SKF', '个'), ('A-1002', '齿轮箱', 'ZF', '台');

INSERT INTO CV_USERS VALUES
  ('DS', '系统管理员', 'ADMIN', 'ADMIN,PMC', 'DEMO', 'Y', 20, 'N'),
  ('CLERK', '生管文员', 'PMC', 'PMC', 'DEMO', 'Y', 20, 'N'),
  ('GUEST', '访客', 'GUEST', 'GUEST', 'DEMO', 'Y', 20, 'N'),
  ('LEFT', '离职员工', 'PMC', 'PMC', 'DEMO', 'N', 20, 'N');
INSERT INTO CV_RIGHTS VALUES
  ('DS', 'RESI01', ',Y,N,YYYYYYYYYYYY,YYYYYYY,YYYYYYY', ''),
  ('DS', 'CMSI02', ',Y,N,YYYYYYYYYYYY,YYYYYYY,YYYYYYY', ''),
  ('CLERK', 'RESI01', ',N,Y,NYYNNYRYNNNN,,', 'btnExport=N'),
  ('LEFT', 'RESI01', ',Y,N,YYYYYYYYYYYY,YYYYYYY,YYYYYYY', '');
INSERT INTO CV_PROGRAMS VALUES
  ('RESI01', 'MPSMB', 'MB001', 'SELECT MPSMB.*, CMSMB.MB002 AS MB003C FROM MPSMB LEFT JOIN CMSMB ON CMSMB.MB001 = MPSMB.MB003',
   '', '', '', '', ''),
  ('CMSI02', 'CMSMB', 'MB001', 'SELECT CMSMB.* FROM CMSMB', '', '', '', '', '');

INSERT INTO CV_CHECKCODES VALUES
  ('ADMMB', '06', 'SELECT MB002, MB003, MB004, MB005, MB006, MB007, MB008, MB009, MB010, MB011 FROM ADMMB WHERE MB001 = upper(?1)', 'ROW', 'program information'),
  ('MPSMB', '01', 'SELECT MB001, MB002 FROM MPSMB WHERE MB001 = ?1', 'ROW', 'resource exists'),
  ('CMSMB', '01', 'SELECT MB002 FROM CMSMB WHERE MB001 = ?1', 'ROW', 'factory name'),
  ('CMSMB', '02', 'SELECT MB001, MB002 FROM CMSMB WHERE MB010 = ''Y'' ORDER BY MB001 LIMIT 1', 'ROW', 'default factory'),
  ('DOCUS', '01', 'SELECT NCONDITION FROM CV_SCHEMES WHERE NCONDITION = ?1 AND CREATOR = ?2 AND PROGRAMME = ?3', 'ROW', 'saved scheme exists'),
  ('F2LINK', '01', 'SELECT F2TABLE, F2KIND FROM CV_F2LINK WHERE LINKTYPE = ?1 AND PART1 = ?2 AND PART2 = ?3', 'ROW', 'lookup of a user-defined field'),
  ('NUMFD', '01', 'SELECT FIELDNAME, PREC, SCALE FROM CV_NUMFD WHERE TABLENAME = ?1 ORDER BY FIELDNAME', 'ROWS', 'field precisions'),
  ('ADMMD', '03', 'SELECT MD002, MD003, MD004 FROM ADMMD WHERE MD001 = ?1 ORDER BY MD002', 'ROWS', 'field labels'),
  ('INVMB', '12', 'SELECT MB001, MB002, MB003 FROM INVMB WHERE MB001 = ?1', 'ROW', 'item document'),
  ('CMSMV', '07', 'SELECT MV001, MV002, MV003 FROM CMSMV WHERE MV001 = ?1', 'ROW', 'document');
INSERT INTO CV_LOOKUPS VALUES
  ('CMSMB', '01', 'SELECT MB001, MB002, MB003 FROM CMSMB WHERE substr(MB001, 1, length(?1)) = ?1 ORDER BY MB001', '工厂编号,工厂名称,地址'),
  ('MPSMB', '01', 'SELECT MB001, MB002, MB003 FROM MPSMB WHERE substr(MB001, 1, length(?1)) = ?1 ORDER BY MB001 LIMIT 500', '资源编号,资源名称,工厂'),
  ('INVMB', '01', 'SELECT MB001, MB002, MB003 FROM INVMB WHERE substr(MB001, 1, length(?1)) = ?1 ORDER BY MB001', '品号,品名,规格');
INSERT INTO CV_F2LINK VALUES ('1', 'MPSMB', 'UDF01', 'INVMB', '01');
INSERT INTO CV_NUMFD VALUES ('MPSMB', 'MB004', 16, 3), ('MPSMB', 'MB005', 16, 3), ('MPSMB', 'UDF51', 12, 2);
INSERT INTO CV_UDFQUERY VALUES ('FACTORYNAME', 'SELECT MB002 FROM CMSMB WHERE MB001 = ?1');
INSERT INTO CV_PHRASES VALUES ('', 1, '设备检修中'), ('', 2, '双班生产'), ('', 3, '外协加工'), ('', 4, '待报废'),
  ('DS', 1, '由系统管理员维护');
INSERT INTO CV_SYSINFO VALUES
  ('DEMO', 'SYS001', '1'), ('DEMO', 'SYS002', '/'), ('DEMO', 'SYS003', 'RMB'), ('DEMO', 'sys003', 'RMB'),
  ('DEMO', 'SYS024', 'N'), ('DEMO', 'SYS053', 'N'), ('DEMO', 'SYS054', '0'), ('DEMO', 'SYS055', '0'),
  ('DEMO', 'SYS056', 'N'), ('DEMO', 'SYS060', 'N'), ('DEMO', 'SYS150', 'Y'), ('DEMO', 'SYS151', '500'),
  ('DEMO', 'SYS174', 'N'), ('DEMO', 'sys068', '3'), ('DEMO', 'QVX002', '科华精密制造有限公司'),
  ('TEST', 'SYS001', '4'), ('TEST', 'SYS002', '.'), ('TEST', 'SYS003', 'USD'), ('TEST', 'sys003', 'USD'),
  ('TEST', 'SYS150', 'N'), ('TEST', 'SYS151', '200'), ('TEST', 'sys068', '2'), ('TEST', 'QVX002', '科华测试公司');
)SQL";

// Chinese resource names: a machine kind and a serial, spread over the factories.
const char* const kKinds[] = {"数控车床", "立式铣床", "摇臂钻床", "平面磨床", "冲压机", "注塑机",
                              "装配线", "焊接机器人", "喷涂线", "检测台", "激光切割机", "折弯机"};
const char* const kUnits[] = {"小时", "台时", "件", "批"};
const char* const kFactories[] = {"F01", "F02", "F03"};

void insertResources(Database& db, int count, int firstNumber, int numberWidth) {
    auto stmt = db.prepare(
        "INSERT INTO MPSMB (MB001, MB002, MB003, MB004, MB005, MB006, MB007, COMPANY, CREATOR, USR_GROUP, "
        "CREATE_DATE, FLAG) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, 'DEMO', 'DS', 'ADMIN', '20260106 09:30:00', 1)");
    for (int i = 0; i < count; ++i) {
        int n = firstNumber + i;
        std::string number = std::to_string(n);
        number = "R" + std::string(number.size() < static_cast<std::size_t>(numberWidth) ? numberWidth - number.size() : 0, '0') + number;
        const char* kind = kKinds[n % 12];
        std::string name = std::string(kind) + std::to_string(n / 12 + 1) + "号";
        stmt->reset();
        stmt->bind(1, Variant(utf8ToUtf16(number)));
        stmt->bind(2, Variant(utf8ToUtf16(name)));
        stmt->bind(3, Variant(utf8ToUtf16(kFactories[n % 3])));
        stmt->bind(4, Variant(static_cast<double>(8 + n % 17)));
        stmt->bind(5, Variant(static_cast<double>(8 + n % 9)));
        stmt->bind(6, Variant(utf8ToUtf16(kUnits[n % 4])));
        stmt->bind(7, n % 10 == 0 ? Variant(utf8ToUtf16("设备检修中")) : Variant(u""));
        while (stmt->step()) {
        }
    }
}

}  // namespace

bool ensureSchema(Database& db) {
    if (db.tableExists("CV_PROGRAMS")) {
        // A database made before these tables existed gets them, empty.
        WriteTransaction tx(db);
        db.executeScript(kClientSettingTables);
        tx.commit();
        return false;
    }
    WriteTransaction tx(db);
    db.executeScript(kSchema);
    db.executeScript(kClientSettingTables);
    db.executeScript(kDemoData);
    insertResources(db, 300, 1, 3);
    tx.commit();
    return true;
}

void addGeneratedResources(Database& db, int count, int firstNumber) {
    WriteTransaction tx(db);
    insertResources(db, count, firstNumber, 6);
    tx.commit();
}

}  // namespace corvane::appserver
