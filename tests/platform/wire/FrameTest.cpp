#include "platform/wire/Frame.h"

#include <gtest/gtest.h>

#include "platform/wire/Codec.h"
#include "platform/wire/Message.h"

using namespace corvane;
using namespace corvane::wire;

TEST(WireFrames, DecoderSplitsAStreamFedByteByByte) {
    std::string stream = makeFrame("first") + makeFrame("") + makeFrame(std::string(300, 'x'));
    FrameDecoder decoder;
    std::vector<std::string> got;
    for (char c : stream) {
        decoder.feed(std::string_view(&c, 1));
        while (auto payload = decoder.next()) got.push_back(*payload);
    }
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0], "first");
    EXPECT_EQ(got[1], "");
    EXPECT_EQ(got[2], std::string(300, 'x'));
    EXPECT_EQ(decoder.buffered(), 0u);
}

TEST(WireFrames, OversizedFramesAreRefusedBothWays) {
    EXPECT_THROW(makeFrame(std::string(11, 'x'), 10), EWireEncodeError);
    FrameDecoder decoder(10);
    decoder.feed(std::string("\x0b\x00\x00\x00", 4));  // announces 11 bytes
    EXPECT_THROW(decoder.next(), EWireDecodeError);
    const unsigned char header[4] = {0xff, 0xff, 0xff, 0xff};
    EXPECT_THROW(frameLength(header), EWireDecodeError);
}

TEST(WireMessages, RequestAndReplyRoundTrip) {
    Request r;
    r.kind = RequestKind::Invoke;
    r.objectId = 7;
    r.name = "GetBaseLimitedRecs";
    r.args = {Variant(u"D11_"), Variant(u"cond"), Variant(5)};
    r.byRef = {true, true, false};
    Request back = decodeRequest(encodeRequest(r));
    EXPECT_EQ(back.kind, r.kind);
    EXPECT_EQ(back.objectId, 7u);
    EXPECT_EQ(back.name, r.name);
    EXPECT_EQ(back.args, r.args);
    EXPECT_EQ(back.byRef, r.byRef);

    Reply ok;
    ok.result = Variant::arrayOf({1, Variant(u"a")});
    ok.outArgs = {Variant(u"x")};
    Reply okBack = decodeReply(encodeReply(ok));
    EXPECT_TRUE(okBack.ok);
    EXPECT_EQ(okBack.result, ok.result);
    EXPECT_EQ(okBack.outArgs, ok.outArgs);

    Reply err;
    err.ok = false;
    err.errorClass = "EOleError";
    err.errorMessage = u"Unknown member Foo";
    Reply errBack = decodeReply(encodeReply(err));
    EXPECT_FALSE(errBack.ok);
    EXPECT_EQ(errBack.errorClass, "EOleError");
    EXPECT_EQ(errBack.errorMessage, err.errorMessage);
}

TEST(WireMessages, MalformedRequestsAreRefused) {
    const std::string cases[] = {
        std::string(""),
        std::string("\x02\x02\x00\x00\x00", 5),          // unknown version
        std::string("\x01\x09\x00\x00\x00", 5),          // unknown kind
        std::string("\x01\x02\x00\x03" "ab", 6),          // name truncated
        std::string("\x01\x02\x00\x00\x05\x00", 6),      // five args announced, none there
        std::string("\x01\x02\x00\x00\x01\x02\x00", 7),  // bad by-ref flag
    };
    for (const std::string& c : cases) EXPECT_THROW(decodeRequest(c), EWireDecodeError);
}
