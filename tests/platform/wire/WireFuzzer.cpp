// libFuzzer entry: every decoder must either return or raise
// EWireDecodeError on arbitrary bytes; anything else (a crash, a sanitizer
// report, another exception) is a finding.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/wire/Codec.h"
#include "platform/wire/Frame.h"
#include "platform/wire/Message.h"
#include "platform/wire/PacketCodec.h"

using namespace corvane::wire;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    try {
        switch (data[0] % 6) {
        case 0: (void)decodeVariant(input); break;
        case 1: (void)decodeDataPacket(input); break;
        case 2: (void)decodeDelta(input); break;
        case 3: (void)decodeApplyResult(input); break;
        case 4: (void)decodeRequest(input); break;
        case 5: {
            FrameDecoder decoder(4096);
            decoder.feed(input);
            while (auto payload = decoder.next()) (void)decodeRequest(*payload);
            break;
        }
        }
    } catch (const EWireDecodeError&) {
    }
    return 0;
}
