#pragma once

// Length-prefixed frames: a 4-byte little-endian payload length, then the
// payload. A length above the maximum is refused before anything is read,
// so a peer cannot make the other side allocate without bound.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvane::wire {

inline constexpr std::size_t kFrameHeaderSize = 4;
inline constexpr std::size_t kDefaultMaxFrameSize = 64u * 1024u * 1024u;

// The header and payload of one frame. Raises EWireEncodeError when the
// payload is larger than maxSize.
std::string makeFrame(std::string_view payload, std::size_t maxSize = kDefaultMaxFrameSize);

// The payload length a header announces. Raises EWireDecodeError when it
// is above maxSize.
std::size_t frameLength(const unsigned char header[kFrameHeaderSize],
                        std::size_t maxSize = kDefaultMaxFrameSize);

// Splits a byte stream into frame payloads as the bytes arrive.
class FrameDecoder {
public:
    explicit FrameDecoder(std::size_t maxSize = kDefaultMaxFrameSize) : maxSize_(maxSize) {}

    void feed(std::string_view bytes) { buffer_.append(bytes); }
    // The next complete payload, or nothing while it is incomplete. Raises
    // EWireDecodeError for an oversized frame.
    std::optional<std::string> next();
    std::size_t buffered() const { return buffer_.size() - consumed_; }

private:
    std::size_t maxSize_;
    std::string buffer_;
    std::size_t consumed_ = 0;
};

}  // namespace corvane::wire
