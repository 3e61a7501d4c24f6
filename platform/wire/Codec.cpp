#include "platform/wire/Codec.h"

#include <bit>
#include <climits>
#include <cstring>

namespace corvane::wire {

namespace {


std::uint64_t doubleBits(double v) { return std::bit_cast<std::uint64_t>(v); }

}  // namespace

void Writer::varuint(std::uint64_t v) {
    while (v >= 0x80) {
        buffer_.push_back(static_cast<char>((v & 0x7f) | 0x80));
        v >>= 7;
    }
    buffer_.push_back(static_cast<char>(v));
}

void Writer::varint(std::int64_t v) {
    varuint((static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63));
}

void Writer::f64(double v) {
    std::uint64_t bits = doubleBits(v);
    char b[8];
    for (int i = 0; i < 8; ++i) b[i] = static_cast<char>((bits >> (8 * i)) & 0xff);
    buffer_.append(b, 8);
}

void Writer::bytes(std::string_view v) {
    varuint(v.size());
    buffer_.append(v);
}

void Writer::wide(std::u16string_view v) {
    varuint(v.size());
    std::size_t at = buffer_.size();
    buffer_.resize(at + 2 * v.size());
    char* p = buffer_.data() + at;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(p, v.data(), 2 * v.size());
    } else {
        for (char16_t c : v) {
            *p++ = static_cast<char>(c & 0xff);
            *p++ = static_cast<char>(c >> 8);
        }
    }
}

namespace {

// Decodes the code point at i; returns the bytes it took. A malformed
// sequence gives U+FFFD and takes one byte.
std::size_t decodeUtf8(const unsigned char* p, std::size_t n, std::size_t i, char32_t& cp) {
    unsigned char c = p[i];
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    int extra = c >= 0xf0 ? 3 : c >= 0xe0 ? 2 : c >= 0xc0 ? 1 : 0;
    cp = 0xfffd;
    if (extra == 0 || c > 0xf4 || n - i <= static_cast<std::size_t>(extra)) return 1;
    char32_t value = c & (0x3f >> extra);
    for (int k = 1; k <= extra; ++k) {
        unsigned char cc = p[i + static_cast<std::size_t>(k)];
        if ((cc & 0xc0) != 0x80) return 1;
        value = (value << 6) | (cc & 0x3f);
    }
    static const char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
    if (value < minimum[extra] || value > 0x10ffff || (value >= 0xd800 && value <= 0xdfff)) return 1;
    cp = value;
    return static_cast<std::size_t>(extra) + 1;
}

}  // namespace

void Writer::wideFromUtf8(std::string_view utf8) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t n = utf8.size();
    // First the number of UTF-16 units (the length comes first), then the units.
    std::size_t units = 0;
    for (std::size_t i = 0; i < n;) {
        char32_t cp;
        i += decodeUtf8(p, n, i, cp);
        units += cp >= 0x10000 ? 2 : 1;
    }
    varuint(units);
    std::size_t at = buffer_.size();
    buffer_.resize(at + 2 * units);
    char* out = buffer_.data() + at;
    auto put = [&](char32_t u) {
        *out++ = static_cast<char>(u & 0xff);
        *out++ = static_cast<char>((u >> 8) & 0xff);
    };
    for (std::size_t i = 0; i < n;) {
        char32_t cp;
        i += decodeUtf8(p, n, i, cp);
        if (cp >= 0x10000) {
            put(0xd800 + ((cp - 0x10000) >> 10));
            put(0xdc00 + ((cp - 0x10000) & 0x3ff));
        } else {
            put(cp);
        }
    }
}

void Reader::need(std::size_t n) const {
    if (n > remaining()) throw EWireDecodeError("truncated input");
}

std::uint8_t Reader::u8() {
    need(1);
    return static_cast<std::uint8_t>(data_[pos_++]);
}

std::uint64_t Reader::varuint() {
    std::uint64_t v = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        std::uint8_t b = u8();
        if (shift == 63 && b > 1) throw EWireDecodeError("varint overflow");
        v |= static_cast<std::uint64_t>(b & 0x7f) << shift;
        if ((b & 0x80) == 0) return v;
    }
    throw EWireDecodeError("varint too long");
}

std::int64_t Reader::varint() {
    std::uint64_t z = varuint();
    return static_cast<std::int64_t>((z >> 1) ^ (~(z & 1) + 1));
}

int Reader::int32() {
    std::int64_t v = varint();
    if (v < INT_MIN || v > INT_MAX) throw EWireDecodeError("integer out of range");
    return static_cast<int>(v);
}

double Reader::f64() {
    need(8);
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= static_cast<std::uint64_t>(static_cast<std::uint8_t>(data_[pos_ + i])) << (8 * i);
    pos_ += 8;
    return std::bit_cast<double>(bits);
}

std::string_view Reader::bytes() {
    std::uint64_t n = varuint();
    need(n);
    std::string_view v = data_.substr(pos_, n);
    pos_ += n;
    return v;
}

std::u16string Reader::wide() {
    std::uint64_t n = varuint();
    if (n > remaining() / 2) throw EWireDecodeError("truncated input");
    std::u16string v(n, u'\0');
    const char* p = data_.data() + pos_;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(v.data(), p, 2 * n);  // the wire order is the machine's
    } else {
        for (std::size_t i = 0; i < n; ++i)
            v[i] = static_cast<char16_t>(static_cast<std::uint8_t>(p[2 * i]) | (static_cast<std::uint8_t>(p[2 * i + 1]) << 8));
    }
    pos_ += 2 * n;
    return v;
}

std::size_t Reader::count(std::size_t minBytes) {
    std::uint64_t n = varuint();
    if (minBytes == 0) minBytes = 1;
    if (n > remaining() / minBytes) throw EWireDecodeError("count exceeds the input");
    return static_cast<std::size_t>(n);
}

void Reader::expectEnd() const {
    if (!atEnd()) throw EWireDecodeError("trailing bytes after the value");
}

void writeVariant(Writer& out, const Variant& value) {
    const Variant& v = value.deref();
    switch (v.type()) {
    case VarType::Empty: out.u8(tEmpty); return;
    case VarType::Null: out.u8(tNull); return;
    case VarType::Integer: out.u8(tInteger); out.varint(v.toInt()); return;
    case VarType::Float: out.u8(tFloat); out.f64(v.toDouble()); return;
    case VarType::Boolean: out.u8(v.toBool() ? tTrue : tFalse); return;
    case VarType::Date: out.u8(tDate); out.f64(v.toDate().days); return;
    case VarType::String: out.u8(tString); out.bytes(v.asString()); return;
    case VarType::WideString: out.u8(tWide); out.wide(v.asWide()); return;
    case VarType::Array: {
        const VarArray& a = v.array();
        out.u8(tArray);
        out.u8(static_cast<std::uint8_t>(a.dimCount()));
        for (int d = 1; d <= a.dimCount(); ++d) {
            out.varint(a.bounds(d).low);
            out.varuint(static_cast<std::uint64_t>(a.bounds(d).count()));
        }
        for (const Variant& e : a.elements()) writeVariant(out, e);
        return;
    }
    case VarType::Dispatch: throw EWireEncodeError("an object reference cannot be sent to another process");
    case VarType::ByRef: break;  // deref() never yields a reference
    }
    throw EWireEncodeError("unknown variant kind");
}

namespace {

VarArray::Bounds readBounds(Reader& in) {
    std::int64_t low = in.varint();
    std::uint64_t n = in.varuint();
    if (low < INT_MIN || low > INT_MAX || n > static_cast<std::uint64_t>(INT_MAX))
        throw EWireDecodeError("array bounds out of range");
    std::int64_t high = low + static_cast<std::int64_t>(n) - 1;
    if (high > INT_MAX) throw EWireDecodeError("array bounds out of range");
    return {static_cast<int>(low), static_cast<int>(high)};
}

}  // namespace

Variant readVariant(Reader& in, int depth) {
    std::uint8_t tag = in.u8();
    switch (tag) {
    case tEmpty: return Variant();
    case tNull: return Variant::null();
    case tInteger: return Variant(static_cast<long long>(in.varint()));
    case tFloat: return Variant(in.f64());
    case tFalse: return Variant(false);
    case tTrue: return Variant(true);
    case tDate: return Variant::date(in.f64());
    case tString: return Variant(std::string(in.bytes()));
    case tWide: return Variant(in.wide());
    case tArray: {
        if (depth >= kMaxNesting) throw EWireDecodeError("arrays nested too deep");
        std::uint8_t dims = in.u8();
        if (dims != 1 && dims != 2) throw EWireDecodeError("array of unsupported dimensions");
        VarArray::Bounds b1 = readBounds(in);
        VarArray::Bounds b2 = dims == 2 ? readBounds(in) : VarArray::Bounds{};
        std::uint64_t n = static_cast<std::uint64_t>(b1.count());
        if (dims == 2) n *= static_cast<std::uint64_t>(b2.count());
        // Every element takes at least one byte.
        if (n > in.remaining()) throw EWireDecodeError("array larger than the input");
        Variant result = dims == 1 ? Variant::array(b1.low, b1.high)
                                   : Variant::array2(b1.low, b1.high, b2.low, b2.high);
        std::vector<Variant>& elements = result.mutableArray().elements();
        for (Variant& e : elements) e = readVariant(in, depth + 1);
        return result;
    }
    default: throw EWireDecodeError("unknown variant tag " + std::to_string(tag));
    }
}

std::string encodeVariant(const Variant& value) {
    Writer out;
    writeVariant(out, value);
    return out.take();
}

Variant decodeVariant(std::string_view data) {
    Reader in(data);
    Variant v = readVariant(in);
    in.expectEnd();
    return v;
}

}  // namespace corvane::wire
