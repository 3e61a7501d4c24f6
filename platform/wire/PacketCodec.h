#pragma once

// Wire form of data packets, deltas and apply results: the column metadata
// once, then the rows as variants in column order.

#include <string>
#include <string_view>

#include "platform/core/DataPacket.h"
#include "platform/wire/Codec.h"

namespace corvane::wire {

void writeColumns(Writer& out, const std::vector<ColumnDef>& columns, int depth = 0);
std::vector<ColumnDef> readColumns(Reader& in, int depth = 0);

std::string encodeDataPacket(const DataPacket& packet);

// Encodes a packet row by row as the values arrive, without holding the
// rows: the same bytes as encodeDataPacket.
class PacketEncoder {
public:
    explicit PacketEncoder(const std::vector<ColumnDef>& columns);
    void add(const Variant& value);  // the next value of the current row
    // The same for values straight from a database row, without a variant:
    void addNull();
    void addInteger(std::int64_t value);
    void addFloat(double value);
    void addUtf8Text(std::string_view utf8);  // sent as UTF-16
    void endRow();                   // raises EWireEncodeError for a row of the wrong width
    std::size_t rowCount() const { return rows_; }
    std::string finish(bool endOfData);

private:
    const std::vector<ColumnDef>& columns_;
    Writer body_;
    std::size_t rows_ = 0;
    std::size_t inRow_ = 0;
};
DataPacket decodeDataPacket(std::string_view data);

std::string encodeDelta(const Delta& delta);
Delta decodeDelta(std::string_view data);

std::string encodeApplyResult(const ApplyResult& result);
ApplyResult decodeApplyResult(std::string_view data);

}  // namespace corvane::wire
