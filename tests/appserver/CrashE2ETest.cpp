// A client that dies mid-apply and a server killed with SIGKILL mid-apply
// leave the database with the whole apply or none of it.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <asio.hpp>
#include <gtest/gtest.h>

#include <atomic>
#include <iostream>
#include <thread>

#include "appserver/Schema.h"
#include "appserver/db/Database.h"
#include "platform/com/RemoteDispatch.h"
#include "platform/wire/Frame.h"
#include "platform/wire/Message.h"
#include "tests/appserver/ServerProcess.h"
#include "tests/appserver/TestClient.h"
#include "tests/support/TestSupport.h"

using namespace corvane;
using asio::ip::tcp;

namespace {

constexpr int kRows = 20000;

class Crash : public ::testing::Test {
protected:
    void SetUp() override {
        path = (dir / "crash.db").string();
        auto db = appserver::openSqlite(path);
        appserver::ensureSchema(*db);
        appserver::addGeneratedResources(*db, kRows);
    }

    // Reads every generated row and builds one delta changing all of them.
    Delta bigDelta(std::uint16_t port) {
        DispatchRef app = createRemoteObject("127.0.0.1", port, "CopIS01S.Class1");
        EXPECT_EQ(test::login(*app), 0);
        app->call("AS_DataRequest", {Variant(u"pvdMain"), Variant::arrayOf({Variant(u"length(MPSMB.MB001) = 7"), Variant(u"MB001")})});
        DataPacket all;
        for (int guard = 0; guard < 100; ++guard) {
            DataPacket p = test::fetch(*app, u"pvdMain", 5000);
            if (all.columns.empty()) all.columns = p.columns;
            for (auto& r : p.rows) all.rows.push_back(std::move(r));
            if (p.endOfData) break;
        }
        EXPECT_EQ(all.rows.size(), static_cast<std::size_t>(kRows));
        Delta delta{all.columns, {}};
        for (const auto& row : all.rows) delta.rows.push_back(test::modifyRow(all.columns, row, {{"MB007", Variant(u"APPLIED")}}));
        return delta;
    }

    long long appliedRows() {
        auto db = appserver::openSqlite(path, true);
        return appserver::queryAll(*db, "SELECT COUNT(*) FROM MPSMB WHERE MB007 = 'APPLIED'")[0][0].toInt();
    }

    // The request frames of a login and of the apply, as a client sends them.
    static std::vector<std::string> applyFrames(const Delta& delta) {
        auto frame = [](wire::RequestKind kind, std::uint32_t id, const char* name, std::vector<Variant> args) {
            wire::Request r{kind, id, name, std::move(args), {}};
            return wire::makeFrame(wire::encodeRequest(r));
        };
        return {frame(wire::RequestKind::Create, 0, "CopIS01S.Class1", {}),
                frame(wire::RequestKind::Invoke, 1, "Connect", {test::loginArray()}),
                frame(wire::RequestKind::Invoke, 1, "AS_ApplyUpdates",
                      {Variant(u"pvdMain"), Variant(wire::encodeDelta(delta)), Variant(0)})};
    }

    test::TempDir dir;
    std::string path;
};

// Sends the login frames and reads their replies, then the apply frame
// (or only its first half); signals the parent and waits to be killed.
[[noreturn]] void clientProcess(std::uint16_t port, const std::vector<std::string>& frames, bool wholeApply, int signalFd) {
    asio::io_context io;
    tcp::socket s(io);
    s.connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), port));
    for (int i = 0; i < 2; ++i) {
        asio::write(s, asio::buffer(frames[static_cast<std::size_t>(i)]));
        unsigned char header[4];
        asio::read(s, asio::buffer(header));
        std::string payload(wire::frameLength(header), '\0');
        asio::read(s, asio::buffer(payload));
    }
    const std::string& apply = frames[2];
    asio::write(s, asio::buffer(apply.data(), wholeApply ? apply.size() : apply.size() / 2));
    char done = 'x';
    (void)!write(signalFd, &done, 1);
    for (;;) pause();
}

}  // namespace

TEST_F(Crash, ClientKilledMidApplyLeavesAllOrNothing) {
    test::ServerProcess server(path);
    std::vector<std::string> frames = applyFrames(bigDelta(server.port()));
    struct Case {
        bool wholeFrameSent;
        long long expected;
    };
    // Half a request: the apply never starts. The whole request: the server
    // finishes it although nobody waits for the answer.
    for (Case c : {Case{false, 0}, Case{true, kRows}}) {
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(pipeFds[0]);
            clientProcess(server.port(), frames, c.wholeFrameSent, pipeFds[1]);
        }
        close(pipeFds[1]);
        // The child goes on every path out of this scope.
        struct Reaper {
            pid_t pid;
            ~Reaper() {
                kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
            }
        };
        {
            Reaper reaper{child};
            char done = 0;
            ssize_t got = read(pipeFds[0], &done, 1);
            close(pipeFds[0]);
            ASSERT_EQ(got, 1) << "the client process died before sending";
        }
        // Wait (bounded) until the server has nothing left to do for it:
        // a fresh client's request is served after the apply's transaction.
        DispatchRef probe = createRemoteObject("127.0.0.1", server.port(), "CopIS01S.Class1");
        ASSERT_EQ(test::login(*probe), 0);
        long long applied = appliedRows();
        for (int i = 0; i < 300 && applied != c.expected; ++i) {
            usleep(100000);
            applied = appliedRows();
        }
        EXPECT_EQ(applied, c.expected);
    }
}

TEST_F(Crash, ServerKilledMidApplyLeavesAllOrNothing) {
    auto server = std::make_unique<test::ServerProcess>(path);
    Delta delta = bigDelta(server->port());
    std::atomic<bool> sent{false};
    std::thread client([&] {
        try {
            DispatchRef app = createRemoteObject("127.0.0.1", server->port(), "CopIS01S.Class1");
            if (test::login(*app) != 0) return;
            sent = true;
            test::apply(*app, delta, 0);
        } catch (const std::exception&) {
            // The server died under the call: expected.
        }
        sent = true;
    });
    for (int i = 0; i < 200 && !sent; ++i) usleep(10000);
    usleep(50000);  // let the apply get under way
    server->kill();
    client.join();

    long long applied = appliedRows();
    std::cout << "[ INFO     ] rows stored when the server was killed: " << applied << "\n";
    EXPECT_TRUE(applied == 0 || applied == kRows) << applied << " rows of " << kRows << " were stored";
    // The restarted server opens the same file and serves it.
    test::ServerProcess restarted(path);
    DispatchRef app = createRemoteObject("127.0.0.1", restarted.port(), "CopIS01S.Class1");
    ASSERT_EQ(test::login(*app), 0);
    test::open(*app, u"pvdMain", u"MPSMB.MB007 = 'APPLIED'", u"");
    EXPECT_EQ(app->call("GetRecCount", {}).toInt(), applied);
}
