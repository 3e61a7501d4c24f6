#pragma once

// Helpers shared by the application-server tests: login, data requests,
// packets and deltas through any Dispatch (the in-process object or the
// TCP proxy), so both kinds of test speak to the server the same way.

#include <map>
#include <memory>
#include <string>

#include "platform/core/DataPacket.h"
#include "platform/core/Dispatch.h"
#include "platform/wire/PacketCodec.h"

namespace corvane::test {

inline Variant loginArray(const char16_t* user = u"DS", const char16_t* program = u"RESI01",
                          const char16_t* company = u"DEMO", const char16_t* db = u"DEMO") {
    return Variant::arrayOf({Variant(program), Variant(user), Variant(company), Variant(db), Variant(u"True"),
                             Variant(u"False")});
}

inline int login(Dispatch& app, const char16_t* user = u"DS", const char16_t* program = u"RESI01") {
    return static_cast<int>(app.call("Connect", {loginArray(user, program)}).toInt());
}

inline DataPacket fetch(Dispatch& app, const std::u16string& provider, int count, bool reset = false,
                        int* recsOut = nullptr) {
    auto recs = std::make_shared<Variant>(0);
    Variant packet = app.call("AS_GetRecords", {Variant(provider), Variant(count), Variant::ref(recs), Variant(reset ? 1 : 0)});
    if (recsOut) *recsOut = static_cast<int>(recs->toInt());
    return wire::decodeDataPacket(packet.asString());
}

inline DataPacket open(Dispatch& app, const std::u16string& provider, const std::u16string& where,
                       const std::u16string& order, int count = 20) {
    app.call("AS_DataRequest", {Variant(provider), Variant::arrayOf({Variant(where), Variant(order)})});
    return fetch(app, provider, count);
}

inline ApplyResult apply(Dispatch& app, const Delta& delta, int maxErrors = 0, int* errorCount = nullptr) {
    auto errors = std::make_shared<Variant>(0);
    Variant result = app.call("AS_ApplyUpdates", {Variant(u"pvdMain"), Variant(wire::encodeDelta(delta)), Variant(maxErrors),
                                                  Variant::ref(errors)});
    if (errorCount) *errorCount = static_cast<int>(errors->toInt());
    return wire::decodeApplyResult(result.asString());
}

inline int columnIndex(const std::vector<ColumnDef>& columns, const std::string& name) {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == name) return static_cast<int>(i);
    return -1;
}

// A change of one fetched row: the named columns get new values and FLAG
// goes up by one (mod 1000), as the client stamps it.
inline DeltaRow modifyRow(const std::vector<ColumnDef>& columns, const RowValues& row,
                          const std::map<std::string, Variant>& changes, bool bumpFlag = true) {
    DeltaRow d;
    d.kind = UpdateKind::Modify;
    d.original = row;
    d.current = row;
    d.changed.assign(columns.size(), false);
    for (const auto& [name, value] : changes) {
        int i = columnIndex(columns, name);
        d.current[static_cast<std::size_t>(i)] = value;
        d.changed[static_cast<std::size_t>(i)] = true;
    }
    int flag = columnIndex(columns, "FLAG");
    if (bumpFlag && flag >= 0) {
        double old = row[static_cast<std::size_t>(flag)].isNull() ? 0 : row[static_cast<std::size_t>(flag)].toDouble();
        d.current[static_cast<std::size_t>(flag)] = Variant(static_cast<double>((static_cast<long long>(old) + 1) % 1000));
        d.changed[static_cast<std::size_t>(flag)] = true;
    }
    return d;
}

inline DeltaRow insertRow(const std::vector<ColumnDef>& columns, const std::map<std::string, Variant>& values) {
    DeltaRow d;
    d.kind = UpdateKind::Insert;
    d.current.assign(columns.size(), Variant());
    for (const auto& [name, value] : values) d.current[static_cast<std::size_t>(columnIndex(columns, name))] = value;
    return d;
}

inline DeltaRow deleteRow(const RowValues& row) {
    DeltaRow d;
    d.kind = UpdateKind::Delete;
    d.original = row;
    return d;
}

inline Variant valueOf(const std::vector<ColumnDef>& columns, const RowValues& row, const std::string& name) {
    return row[static_cast<std::size_t>(columnIndex(columns, name))];
}

}  // namespace corvane::test
