#include "platform/wire/Frame.h"

#include "platform/wire/Codec.h"

namespace corvane::wire {

std::string makeFrame(std::string_view payload, std::size_t maxSize) {
    if (payload.size() > maxSize) throw EWireEncodeError("frame larger than the maximum size");
    std::string frame;
    frame.reserve(kFrameHeaderSize + payload.size());
    std::uint32_t n = static_cast<std::uint32_t>(payload.size());
    for (int i = 0; i < 4; ++i) frame.push_back(static_cast<char>((n >> (8 * i)) & 0xff));
    frame.append(payload);
    return frame;
}

std::size_t frameLength(const unsigned char header[kFrameHeaderSize], std::size_t maxSize) {
    std::uint32_t n = 0;
    for (int i = 0; i < 4; ++i) n |= static_cast<std::uint32_t>(header[i]) << (8 * i);
    if (n > maxSize)
        throw EWireDecodeError("frame of " + std::to_string(n) + " bytes exceeds the maximum of " +
                               std::to_string(maxSize));
    return n;
}

std::optional<std::string> FrameDecoder::next() {
    if (buffered() < kFrameHeaderSize) return std::nullopt;
    const auto* header = reinterpret_cast<const unsigned char*>(buffer_.data() + consumed_);
    std::size_t n = frameLength(header, maxSize_);
    if (buffered() < kFrameHeaderSize + n) return std::nullopt;
    std::string payload = buffer_.substr(consumed_ + kFrameHeaderSize, n);
    consumed_ += kFrameHeaderSize + n;
    if (consumed_ == buffer_.size()) {
        buffer_.clear();
        consumed_ = 0;
    } else if (consumed_ > 65536) {
        buffer_.erase(0, consumed_);
        consumed_ = 0;
    }
    return payload;
}

}  // namespace corvane::wire
