#pragma once

// The compact binary encoding of variants. Integers are zig-zag varints,
// floats and dates 8 bytes little-endian, texts length-prefixed. Every read
// checks the bytes left: malformed input raises EWireDecodeError, never
// reads past the end and never allocates more than the input could hold.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/Exceptions.h"
#include "platform/core/Variant.h"

namespace corvane::wire {

class EWireDecodeError : public Exception {
public:
    using Exception::Exception;
    const char* className() const override { return "EWireDecodeError"; }
};

// A value that has no wire form (a dispatch reference).
class EWireEncodeError : public Exception {
public:
    using Exception::Exception;
    const char* className() const override { return "EWireEncodeError"; }
};

// The tag byte before each encoded variant.
enum VariantTag : std::uint8_t {
    tEmpty = 0,
    tNull = 1,
    tInteger = 2,
    tFloat = 3,
    tFalse = 4,
    tTrue = 5,
    tDate = 6,
    tString = 7,
    tWide = 8,
    tArray = 9,
};

// Arrays nest at most this deep; deeper input is refused, so a hostile
// frame cannot exhaust the stack.
inline constexpr int kMaxNesting = 16;

class Writer {
public:
    void u8(std::uint8_t v) { buffer_.push_back(static_cast<char>(v)); }
    void varuint(std::uint64_t v);
    void varint(std::int64_t v);  // zig-zag
    void f64(double v);
    void bytes(std::string_view v);
    void wide(std::u16string_view v);
    // UTF-8 text written as the UTF-16 of wide(); a malformed sequence
    // becomes U+FFFD.
    void wideFromUtf8(std::string_view utf8);
    void raw(std::string_view v) { buffer_.append(v); }

    const std::string& buffer() const { return buffer_; }
    std::string take() { return std::move(buffer_); }
    void reserve(std::size_t n) { buffer_.reserve(n); }

private:
    std::string buffer_;
};

class Reader {
public:
    explicit Reader(std::string_view data) : data_(data) {}

    std::uint8_t u8();
    std::uint64_t varuint();
    std::int64_t varint();
    double f64();
    std::string_view bytes();
    std::u16string wide();
    int int32();  // a varint that must fit an int
    // A count of items each taking at least minBytes: refused when the
    // input left could not hold them.
    std::size_t count(std::size_t minBytes = 1);

    std::size_t remaining() const { return data_.size() - pos_; }
    bool atEnd() const { return pos_ == data_.size(); }
    void expectEnd() const;

private:
    void need(std::size_t n) const;
    std::string_view data_;
    std::size_t pos_ = 0;
};

void writeVariant(Writer& out, const Variant& value);
Variant readVariant(Reader& in, int depth = 0);

std::string encodeVariant(const Variant& value);
// Decodes exactly one variant; trailing bytes are an error.
Variant decodeVariant(std::string_view data);

}  // namespace corvane::wire
