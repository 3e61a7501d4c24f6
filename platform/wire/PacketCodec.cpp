#include "platform/wire/PacketCodec.h"

namespace corvane::wire {

namespace {

constexpr std::uint8_t kPacketVersion = 1;

void expectVersion(Reader& in) {
    if (in.u8() != kPacketVersion) throw EWireDecodeError("unknown packet version");
}

FieldType readFieldType(Reader& in) {
    std::uint8_t t = in.u8();
    if (t > static_cast<std::uint8_t>(FieldType::DataSet)) throw EWireDecodeError("unknown field type");
    return static_cast<FieldType>(t);
}

UpdateKind readUpdateKind(Reader& in) {
    std::uint8_t k = in.u8();
    if (k > static_cast<std::uint8_t>(UpdateKind::Delete)) throw EWireDecodeError("unknown update kind");
    return static_cast<UpdateKind>(k);
}

void writeRow(Writer& out, const RowValues& row) {
    out.varuint(row.size());
    for (const Variant& v : row) writeVariant(out, v);
}

RowValues readRow(Reader& in, std::size_t maxColumns) {
    std::size_t n = in.count();
    if (n > maxColumns) throw EWireDecodeError("row wider than its columns");
    RowValues row;
    row.reserve(n);
    for (std::size_t i = 0; i < n; ++i) row.push_back(readVariant(in));
    return row;
}

}  // namespace

void writeColumns(Writer& out, const std::vector<ColumnDef>& columns, int depth) {
    if (depth >= kMaxNesting) throw EWireEncodeError("nested data sets too deep");
    out.varuint(columns.size());
    for (const ColumnDef& c : columns) {
        out.bytes(c.name);
        out.u8(static_cast<std::uint8_t>(c.type));
        out.varint(c.size);
        out.varint(c.precision);
        out.varint(c.scale);
        out.varuint(c.flags);
        writeColumns(out, c.nested, depth + 1);
    }
}

std::vector<ColumnDef> readColumns(Reader& in, int depth) {
    if (depth >= kMaxNesting) throw EWireDecodeError("nested data sets too deep");
    // A column takes at least 7 bytes.
    std::size_t n = in.count(7);
    std::vector<ColumnDef> columns(n);
    for (ColumnDef& c : columns) {
        c.name = std::string(in.bytes());
        c.type = readFieldType(in);
        c.size = in.int32();
        c.precision = in.int32();
        c.scale = in.int32();
        std::uint64_t flags = in.varuint();
        if (flags > 0xffffffffu) throw EWireDecodeError("column flags out of range");
        c.flags = static_cast<std::uint32_t>(flags);
        c.nested = readColumns(in, depth + 1);
    }
    return columns;
}

std::string encodeDataPacket(const DataPacket& packet) {
    Writer out;
    out.reserve(64 + packet.rows.size() * packet.columns.size() * 8);
    out.u8(kPacketVersion);
    writeColumns(out, packet.columns);
    out.u8(packet.endOfData ? 1 : 0);
    out.varuint(packet.rows.size());
    const std::size_t width = packet.columns.size();
    for (const RowValues& row : packet.rows) {
        if (row.size() != width) throw EWireEncodeError("row width differs from the columns");
        for (const Variant& v : row) writeVariant(out, v);
    }
    return out.take();
}

PacketEncoder::PacketEncoder(const std::vector<ColumnDef>& columns) : columns_(columns) {}

void PacketEncoder::add(const Variant& value) {
    writeVariant(body_, value);
    ++inRow_;
}

void PacketEncoder::addNull() {
    body_.u8(tNull);
    ++inRow_;
}

void PacketEncoder::addInteger(std::int64_t value) {
    body_.u8(tInteger);
    body_.varint(value);
    ++inRow_;
}

void PacketEncoder::addFloat(double value) {
    body_.u8(tFloat);
    body_.f64(value);
    ++inRow_;
}

void PacketEncoder::addUtf8Text(std::string_view utf8) {
    body_.u8(tWide);
    body_.wideFromUtf8(utf8);
    ++inRow_;
}

void PacketEncoder::endRow() {
    if (inRow_ != columns_.size()) throw EWireEncodeError("row width differs from the columns");
    inRow_ = 0;
    ++rows_;
}

std::string PacketEncoder::finish(bool endOfData) {
    Writer out;
    out.reserve(64 + columns_.size() * 16 + body_.buffer().size());
    out.u8(kPacketVersion);
    writeColumns(out, columns_);
    out.u8(endOfData ? 1 : 0);
    out.varuint(rows_);
    out.raw(body_.buffer());
    return out.take();
}

DataPacket decodeDataPacket(std::string_view data) {
    Reader in(data);
    expectVersion(in);
    DataPacket packet;
    packet.columns = readColumns(in);
    std::uint8_t eod = in.u8();
    if (eod > 1) throw EWireDecodeError("malformed end-of-data flag");
    packet.endOfData = eod == 1;
    const std::size_t width = packet.columns.size();
    std::size_t rows = in.count(width == 0 ? 1 : width);
    if (width == 0 && rows != 0) throw EWireDecodeError("rows without columns");
    packet.rows.resize(rows);
    for (RowValues& row : packet.rows) {
        row.reserve(width);
        for (std::size_t i = 0; i < width; ++i) row.push_back(readVariant(in));
    }
    in.expectEnd();
    return packet;
}

std::string encodeDelta(const Delta& delta) {
    Writer out;
    out.u8(kPacketVersion);
    writeColumns(out, delta.columns);
    out.varuint(delta.rows.size());
    for (const DeltaRow& r : delta.rows) {
        out.u8(static_cast<std::uint8_t>(r.kind));
        writeRow(out, r.original);
        writeRow(out, r.current);
        out.varuint(r.changed.size());
        for (bool c : r.changed) out.u8(c ? 1 : 0);
    }
    return out.take();
}

Delta decodeDelta(std::string_view data) {
    Reader in(data);
    expectVersion(in);
    Delta delta;
    delta.columns = readColumns(in);
    const std::size_t width = delta.columns.size();
    std::size_t rows = in.count(4);
    delta.rows.resize(rows);
    for (DeltaRow& r : delta.rows) {
        r.kind = readUpdateKind(in);
        r.original = readRow(in, width);
        r.current = readRow(in, width);
        std::size_t n = in.count();
        if (n > width) throw EWireDecodeError("change flags wider than the columns");
        r.changed.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            std::uint8_t b = in.u8();
            if (b > 1) throw EWireDecodeError("malformed change flag");
            r.changed[i] = b == 1;
        }
    }
    in.expectEnd();
    return delta;
}

std::string encodeApplyResult(const ApplyResult& result) {
    Writer out;
    out.u8(kPacketVersion);
    out.varint(result.errorCount);
    out.u8(result.rolledBack ? 1 : 0);
    out.varuint(result.errors.size());
    for (const ReconcileError& e : result.errors) {
        out.varint(e.row);
        out.u8(static_cast<std::uint8_t>(e.kind));
        out.varint(e.errorCode);
        out.wide(e.message);
        out.wide(e.context);
    }
    return out.take();
}

ApplyResult decodeApplyResult(std::string_view data) {
    Reader in(data);
    expectVersion(in);
    ApplyResult result;
    result.errorCount = in.int32();
    std::uint8_t rb = in.u8();
    if (rb > 1) throw EWireDecodeError("malformed rollback flag");
    result.rolledBack = rb == 1;
    std::size_t n = in.count(5);
    result.errors.resize(n);
    for (ReconcileError& e : result.errors) {
        e.row = in.int32();
        e.kind = readUpdateKind(in);
        e.errorCode = in.int32();
        e.message = in.wide();
        e.context = in.wide();
    }
    in.expectEnd();
    return result;
}

}  // namespace corvane::wire
