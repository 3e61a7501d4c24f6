// Client data sets against the real application server over loopback
// TCP: packets and fetching on demand, applying changes, and a change
// another user made meanwhile coming back as a reconcile error.

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <thread>

#include "platform/com/RemoteDispatch.h"
#include "platform/core/CodePage.h"
#include "platform/core/Exceptions.h"
#include "platform/db/ClientDataSet.h"
#include "tests/support/TestSupport.h"

extern char** environ;

namespace corvane {
namespace {

// The application server as a child process on a port of its own, with a
// fresh demo database.
class AppServerProcess {
public:
    AppServerProcess() {
        std::string db = (dir_ / "e2e.db").string();
        std::string portFile = (dir_ / "port").string();
        std::string log = (dir_ / "server.log").string();
        std::vector<std::string> args = {CORVANE_APPSERVER, "--db", db, "--address", "127.0.0.1", "--port", "0",
                                         "--port-file", portFile, "--log", log};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) pid_ = 0;
        // The server writes its port once it listens (first start also
        // creates the demo database).
        for (int i = 0; i < 600 && pid_ && port_ == 0; ++i) {
            auto text = test::readFile(portFile);
            if (text && !text->empty() && text->back() == '\n') port_ = static_cast<std::uint16_t>(std::stoi(*text));
            else std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~AppServerProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            waitpid(pid_, &status, 0);
        }
    }
    std::uint16_t port() const { return port_; }

    // A logged-in application-server object on a connection of its own.
    DispatchRef login() const {
        DispatchRef server = createRemoteObject("127.0.0.1", port_, "CopIS01S.Class1");
        Variant status = server->call(
            "Connect", {Variant::arrayOf({Variant(u"RESI01"), Variant(u"DS"), Variant(u"DEMO"), Variant(u"DEMO"),
                                          Variant(u"True"), Variant(u"0")})});
        if (status.toInt() != 0) throw Exception("login refused: " + status.toString());
        return server;
    }

private:
    test::TempDir dir_;
    pid_t pid_ = 0;
    std::uint16_t port_ = 0;
};

Variant request(std::string_view where, std::string_view orderBy) {
    return Variant::arrayOf({Variant(codePageToUtf16(where)), Variant(std::string(orderBy))});
}

class RemoteProviderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = std::make_unique<AppServerProcess>(); }
    static void TearDownTestSuite() { server_.reset(); }
    void SetUp() override { ASSERT_NE(server_->port(), 0) << "the application server did not start"; }

    // cdsMain on pvdMain of a fresh session, opened with the request.
    void open(ClientDataSet& cds, std::string_view where, int packetRecords = 20) {
        cds.setName("cdsMain");
        cds.setRemoteServer(server_->login());
        cds.setProviderName("pvdMain");
        cds.setPacketRecords(packetRecords);
        cds.dataRequest(request(where, "MB001"));
        cds.open();
    }

    static std::unique_ptr<AppServerProcess> server_;
};

std::unique_ptr<AppServerProcess> RemoteProviderTest::server_;

TEST_F(RemoteProviderTest, OpensInPacketsAndFetchesOnDemand) {
    ClientDataSet all;
    open(all, "", -1);
    int total = all.recordCount();
    ASSERT_GT(total, 40);

    ClientDataSet cds;
    cds.setFetchOnDemand(false);
    open(cds, "");
    EXPECT_EQ(cds.recordCount(), 20);
    EXPECT_TRUE(cds.moreToFetch());
    EXPECT_EQ(cds.getNextPacket(), 20);
    cds.setFetchOnDemand(true);
    cds.last();
    EXPECT_EQ(cds.recordCount(), total);
    EXPECT_FALSE(cds.moreToFetch());

    // Texts arrive as GBK; the joined factory name is there but read-only.
    ASSERT_TRUE(cds.locate("MB003", Variant("F01")));
    EXPECT_EQ(test::utf8(cds.fieldByName("MB003C").asString()), test::utf8("第一工厂"));
    EXPECT_NE(cds.fieldByName("MB002").asString().find("号"), std::string::npos);
    EXPECT_EQ(cds.fieldByName("FLAG").dataType(), FieldType::Float);

    ClientDataSet none;
    open(none, "1=2");
    EXPECT_TRUE(none.isEmpty());
    EXPECT_GT(none.fieldCount(), 30);
}

TEST_F(RemoteProviderTest, AppliedChangesReachTheDatabase) {
    ClientDataSet cds;
    open(cds, "MPSMB.MB003='F02'");
    ASSERT_FALSE(cds.isEmpty());
    std::string key = cds.fieldByName("MB001").asString();
    double flag = cds.fieldByName("FLAG").asFloat();
    cds.edit();
    cds.fieldByName("MB002").setAsString("改过的名称");
    cds.fieldByName("FLAG").setAsFloat(flag + 1);
    cds.post();
    cds.append();
    cds.fieldByName("MB001").setAsString("RE2E1");
    cds.fieldByName("MB002").setAsString("新资源");
    cds.fieldByName("MB003").setAsString("F02");
    cds.fieldByName("FLAG").setAsFloat(1);
    cds.post();
    EXPECT_EQ(cds.applyUpdates(0), 0);
    EXPECT_EQ(cds.changeCount(), 0);

    ClientDataSet check;
    open(check, "MPSMB.MB001='" + key + "'");
    ASSERT_EQ(check.recordCount(), 1);
    EXPECT_EQ(test::utf8(check.fieldByName("MB002").asString()), test::utf8("改过的名称"));
    EXPECT_EQ(check.fieldByName("FLAG").asFloat(), flag + 1);

    ClientDataSet added;
    open(added, "MPSMB.MB001='RE2E1'");
    ASSERT_EQ(added.recordCount(), 1);
    EXPECT_EQ(test::utf8(added.fieldByName("MB003C").asString()), test::utf8("第二工厂"));
    added.deleteRecord();
    EXPECT_EQ(added.applyUpdates(0), 0);
    ClientDataSet gone;
    open(gone, "MPSMB.MB001='RE2E1'");
    EXPECT_TRUE(gone.isEmpty());
}

TEST_F(RemoteProviderTest, AChangeMadeMeanwhileBecomesAReconcileError) {
    ClientDataSet mine, theirs;
    open(mine, "MPSMB.MB003='F03'");
    std::string key = mine.fieldByName("MB001").asString();
    open(theirs, "MPSMB.MB001='" + key + "'");
    double flag = theirs.fieldByName("FLAG").asFloat();
    theirs.edit();
    theirs.fieldByName("MB002").setAsString("他人修改");
    theirs.fieldByName("FLAG").setAsFloat(flag + 1);
    theirs.post();
    ASSERT_EQ(theirs.applyUpdates(0), 0);

    mine.edit();
    mine.fieldByName("MB002").setAsString("我的修改");
    mine.fieldByName("FLAG").setAsFloat(flag + 1);
    mine.post();
    int calls = 0;
    mine.setOnReconcileError([&](ClientDataSet& ds, const EReconcileError& e, UpdateKind kind, ReconcileAction& action) {
        ++calls;
        EXPECT_EQ(kind, UpdateKind::Modify);
        EXPECT_FALSE(e.message().empty());
        EXPECT_EQ(ds.fieldByName("MB001").asString(), key);
        action = ReconcileAction::Skip;
    });
    EXPECT_EQ(mine.applyUpdates(0), 1);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(mine.changeCount(), 1);  // still pending: the user decides

    ClientDataSet check;
    open(check, "MPSMB.MB001='" + key + "'");
    EXPECT_EQ(test::utf8(check.fieldByName("MB002").asString()), test::utf8("他人修改"));

    // Cancelling the refused change gives the values as fetched back.
    mine.setOnReconcileError([](ClientDataSet&, const EReconcileError&, UpdateKind, ReconcileAction& action) {
        action = ReconcileAction::Cancel;
    });
    EXPECT_EQ(mine.applyUpdates(0), 1);
    EXPECT_EQ(mine.changeCount(), 0);
    EXPECT_NE(test::utf8(mine.fieldByName("MB002").asString()), test::utf8("我的修改"));
}

}  // namespace
}  // namespace corvane
