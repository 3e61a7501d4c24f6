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
DataPacket decodeDataPacket(std::string_view data);

std::string encodeDelta(const Delta& delta);
Delta decodeDelta(std::string_view data);

std::string encodeApplyResult(const ApplyResult& result);
ApplyResult decodeApplyResult(std::string_view data);

}  // namespace corvane::wire
