#pragma once

// Data packets and deltas: what a provider of the application server sends
// to a client data set and what the client sends back when it applies its
// changes. The server and the client share these types; platform/wire
// encodes them. Text values travel as UTF-16 variants (the client converts
// them to GBK at its edge, the server to UTF-8 for the database).
//
// The application server object reaches its providers through these
// late-bound members (packets and deltas are wire-encoded byte strings):
//   AS_DataRequest(ProviderName, Request)          request: [where (UTF-16), order by]
//   AS_GetRecords(ProviderName, Count, ByRef RecsOut, Options)   -> packet
//       Count -1 means all remaining rows; Options bit 1 resets the cursor
//       (the next call starts from the first row of a fresh query).
//   AS_ApplyUpdates(ProviderName, Delta, MaxErrors, ByRef ErrorCount) -> error packet

#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/Variant.h"

namespace corvane {

enum class FieldType : std::uint8_t {
    String,
    Memo,
    SmallInt,
    Integer,
    LargeInt,
    Float,
    Currency,
    BCD,
    Boolean,
    Date,
    Time,
    DateTime,
    DataSet,  // a nested data set: the value is an array of row arrays
};

// Column flags.
enum ColumnFlag : std::uint32_t {
    cfKey = 1u << 0,       // part of the key the resolver updates by
    cfReadOnly = 1u << 1,  // shown, never written (joined columns such as MB003C)
    cfRequired = 1u << 2,
};

struct ColumnDef {
    std::string name;
    FieldType type = FieldType::String;
    int size = 0;       // bytes for texts (GBK), 0 otherwise
    int precision = 0;  // BCD
    int scale = 0;      // BCD
    std::uint32_t flags = 0;
    std::vector<ColumnDef> nested;  // the columns of a DataSet column

    bool has(ColumnFlag flag) const { return (flags & flag) != 0; }
    friend bool operator==(const ColumnDef&, const ColumnDef&) = default;
};

using RowValues = std::vector<Variant>;

struct DataPacket {
    std::vector<ColumnDef> columns;
    std::vector<RowValues> rows;
    bool endOfData = false;  // no rows left on the server's cursor
    friend bool operator==(const DataPacket&, const DataPacket&) = default;
};

enum class UpdateKind : std::uint8_t { Modify, Insert, Delete };

struct DeltaRow {
    UpdateKind kind = UpdateKind::Modify;
    RowValues original;          // Modify and Delete: the values as fetched
    RowValues current;           // Modify and Insert: the values now
    std::vector<bool> changed;   // Modify: which columns the user changed
    friend bool operator==(const DeltaRow&, const DeltaRow&) = default;
};

struct Delta {
    std::vector<ColumnDef> columns;
    std::vector<DeltaRow> rows;
    friend bool operator==(const Delta&, const Delta&) = default;
};

struct ReconcileError {
    int row = 0;  // index into Delta::rows
    UpdateKind kind = UpdateKind::Modify;
    int errorCode = 0;
    std::u16string message;
    std::u16string context;
    friend bool operator==(const ReconcileError&, const ReconcileError&) = default;
};

struct ApplyResult {
    int errorCount = 0;
    std::vector<ReconcileError> errors;
    bool rolledBack = false;  // MaxErrors exceeded: nothing was stored
    friend bool operator==(const ApplyResult&, const ApplyResult&) = default;
};

}  // namespace corvane
