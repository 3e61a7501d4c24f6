// Malformed, truncated and oversized frames, unknown members and wrong
// argument shapes: an error reply or a closed connection, never a crash or
// a hang, and other clients carry on.

#include <asio.hpp>
#include <gtest/gtest.h>

#include "platform/com/RemoteDispatch.h"
#include "platform/wire/Frame.h"
#include "platform/wire/Message.h"
#include "tests/appserver/ServerProcess.h"
#include "tests/appserver/TestClient.h"
#include "tests/support/TestSupport.h"

using namespace corvane;
using asio::ip::tcp;

namespace {

class BadInput : public ::testing::Test {
protected:
    void SetUp() override { server = std::make_unique<test::ServerProcess>((dir / "bad.db").string()); }

    // A raw connection that writes bytes and tells whether the server then
    // closed it (reads until EOF or a reply frame, with a bounded wait).
    struct Raw {
        asio::io_context io;
        tcp::socket socket{io};
        explicit Raw(std::uint16_t port) { socket.connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), port)); }
        void send(std::string_view bytes) { asio::write(socket, asio::buffer(bytes.data(), bytes.size())); }
        bool closedByServer() {
            timeval tv{10, 0};
            setsockopt(socket.native_handle(), SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
            char buffer[64];
            ssize_t n = ::recv(socket.native_handle(), buffer, sizeof buffer, 0);
            return n == 0;
        }
    };

    void expectServerServes() {
        DispatchRef app = createRemoteObject("127.0.0.1", server->port(), "CopIS01S.Class1");
        EXPECT_EQ(test::login(*app), 0);
        EXPECT_EQ(test::open(*app, u"pvdMain", u"MPSMB.MB001='R001'", u"").rows.size(), 1u);
    }

    test::TempDir dir;
    std::unique_ptr<test::ServerProcess> server;
};

std::string requestFrame(wire::RequestKind kind, std::uint32_t id, const std::string& name, std::vector<Variant> args = {}) {
    wire::Request r;
    r.kind = kind;
    r.objectId = id;
    r.name = name;
    r.args = std::move(args);
    return wire::makeFrame(wire::encodeRequest(r));
}

}  // namespace

TEST_F(BadInput, MalformedFramesCloseOnlyTheirConnection) {
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"oversized length", std::string("\xff\xff\xff\x7f", 4)},
        {"garbage payload", wire::makeFrame(std::string("\x07\x42\x99garbage", 10))},
        {"truncated variant", wire::makeFrame(std::string("\x01\x02\x00\x04" "Test\x01\x00\x07\x10", 12))},
        {"unknown request kind", wire::makeFrame(std::string("\x01\x09\x00\x00\x00", 5))},
        {"nested arrays too deep", [] {
             Variant v = 1;
             for (int i = 0; i < 40; ++i) v = Variant::arrayOf({v});
             wire::Request r;
             r.kind = wire::RequestKind::Invoke;
             r.objectId = 1;
             r.name = "Connect";
             r.args = {v};
             return wire::makeFrame(wire::encodeRequest(r));
         }()},
    };
    // A client that sent half a frame and stalls holds no one up.
    Raw stalled(server->port());
    stalled.send(std::string("\x10\x00", 2));
    for (const Case& c : cases) {
        Raw raw(server->port());
        raw.send(c.bytes);
        EXPECT_TRUE(raw.closedByServer()) << c.what;
        expectServerServes();
    }
    std::string log = test::readFile(server->logPath()).value_or("");
    EXPECT_NE(log.find("exceeds the maximum"), std::string::npos);
}

TEST_F(BadInput, TruncatedFrameThenHangUpLeavesTheServerServing) {
    {
        Raw raw(server->port());
        std::string frame = requestFrame(wire::RequestKind::Create, 0, "CopIS01S.Class1");
        raw.send(frame.substr(0, frame.size() - 3));
    }  // closed mid-frame
    expectServerServes();
}

TEST_F(BadInput, UnknownMembersAndWrongShapesGetErrorRepliesOnALiveConnection) {
    DispatchRef app = createRemoteObject("127.0.0.1", server->port(), "CopIS01S.Class1");
    auto expectError = [&](auto&& call, const char* what) {
        try {
            call();
            ADD_FAILURE() << what << " was accepted";
        } catch (const EOleError& e) {
            EXPECT_FALSE(std::string(e.what()).empty()) << what;
        }
    };
    expectError([&] { app->call("Frobnicate", {}); }, "an unknown member");
    expectError([&] { app->call("Connect", {Variant(42)}); }, "a number for the login array");
    expectError([&] { app->call("Connect", {Variant::array2(0, 1, 0, 1)}); }, "a 2-D login array");
    expectError([&] { app->call("GetRecCount", {}); }, "a record count before the login");
    expectError([&] { app->call("AS_GetRecords", {Variant(u"pvdMain"), Variant(u"twenty")}); }, "a text count");
    expectError([&] { app->putProperty("Connect", Variant(1)); }, "writing a method");
    ASSERT_EQ(test::login(*app), 0);
    expectError([&] { app->call("SetTopRow", {Variant(-3)}); }, "a negative row limit");
    expectError([&] { app->call("AS_ApplyUpdates", {Variant(u"pvdMain"), Variant(u"not a delta"), Variant(0)}); }, "text as delta");
    expectError([&] { app->call("AS_GetRecords", {Variant(u"pvdMain"), Variant(-7)}); }, "a count below -1");
    // A dispatch reference cannot leave the process: refused before sending.
    expectError([&] { app->call("SetTopRow", {Variant(app)}); }, "an object reference argument");
    // The connection still works after all of these.
    EXPECT_EQ(test::open(*app, u"pvdMain", u"MPSMB.MB001='R002'", u"").rows.size(), 1u);

    // A request on an object id that does not exist.
    Raw raw(server->port());
    raw.send(requestFrame(wire::RequestKind::Invoke, 77, "SvrData"));
    unsigned char header[4];
    asio::read(raw.socket, asio::buffer(header));
    std::string payload(wire::frameLength(header), '\0');
    asio::read(raw.socket, asio::buffer(payload));
    wire::Reply reply = wire::decodeReply(payload);
    EXPECT_FALSE(reply.ok);
}

TEST(BadInputTimeout, AStalledFrameIsClosedAfterTheFrameTimeout) {
    test::TempDir dir;
    test::ServerProcess server((dir / "stall.db").string(), "--frame-timeout 1");
    asio::io_context io;
    tcp::socket socket(io);
    socket.connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), server.port()));
    asio::write(socket, asio::buffer(std::string("\x10\x00", 2)));
    timeval tv{30, 0};
    setsockopt(socket.native_handle(), SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    char buffer[8];
    EXPECT_EQ(::recv(socket.native_handle(), buffer, sizeof buffer, 0), 0);  // closed, not timed out
    EXPECT_NE(test::readFile(server.logPath()).value_or("").find("did not arrive in time"), std::string::npos);
}
