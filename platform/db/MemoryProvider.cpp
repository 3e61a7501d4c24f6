#include "platform/db/MemoryProvider.h"

#include <algorithm>
#include <cctype>

#include "platform/core/AsciiText.h"
#include "platform/core/CodePage.h"
#include "platform/core/Exceptions.h"
#include "platform/db/EventTable.h"

namespace corvane {
namespace {

int columnIndex(const std::vector<ColumnDef>& columns, std::string_view name) {
    auto dot = name.rfind('.');
    if (dot != std::string_view::npos) name = name.substr(dot + 1);
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (sameName(columns[i].name, name)) return static_cast<int>(i);
    throw EDatabaseError("Unknown column '" + std::string(name) + "'");
}

bool sameValue(const Variant& a, const Variant& b) {
    if (a.isNullOrEmpty() || b.isNullOrEmpty()) return a.isNullOrEmpty() && b.isNullOrEmpty();
    if (a.isString() || b.isString()) return a.toWide() == b.toWide();
    if (a.isArray() || b.isArray()) return a == b;
    return a.toDouble() == b.toDouble();
}

int compareValues(const Variant& a, const Variant& b) {
    if (a.isNullOrEmpty() || b.isNullOrEmpty()) return (a.isNullOrEmpty() ? 0 : 1) - (b.isNullOrEmpty() ? 0 : 1);
    if (a.isString() || b.isString()) return a.toWide().compare(b.toWide());
    double x = a.toDouble(), y = b.toDouble();
    return x < y ? -1 : (x > y ? 1 : 0);
}

struct Term {
    int column;
    Variant value;
};

// Equality terms joined by "and": COLUMN='text' or COLUMN=number.
std::vector<Term> parseWhere(const std::vector<ColumnDef>& columns, const std::string& where) {
    std::vector<Term> terms;
    std::size_t pos = 0;
    while (pos < where.size()) {
        std::size_t eq = where.find('=', pos);
        if (eq == std::string::npos) throw EDatabaseError("Unsupported condition: " + where);
        Term term{columnIndex(columns, trimmedCopy(where.substr(pos, eq - pos))), {}};
        std::size_t p = eq + 1;
        while (p < where.size() && where[p] == ' ') ++p;
        std::string value;
        if (p < where.size() && where[p] == '\'') {
            ++p;
            while (p < where.size()) {
                if (where[p] == '\'') {
                    if (p + 1 < where.size() && where[p + 1] == '\'') {
                        value += '\'';
                        p += 2;
                        continue;
                    }
                    break;
                }
                value += where[p++];
            }
            if (p >= where.size()) throw EDatabaseError("Unterminated text in condition: " + where);
            ++p;
            term.value = Variant(codePageToUtf16(value));
        } else {
            std::size_t end = where.find(' ', p);
            if (end == std::string::npos) end = where.size();
            value = where.substr(p, end - p);
            term.value = Variant(Variant(value).toDouble());
            p = end;
        }
        terms.push_back(std::move(term));
        while (p < where.size() && where[p] == ' ') ++p;
        if (p >= where.size()) break;
        if (upperAscii(where.substr(p, 4)) != "AND ") throw EDatabaseError("Unsupported condition: " + where);
        pos = p + 4;
    }
    return terms;
}

}  // namespace

void MemoryProvider::addProvider(std::string name, Table table) {
    Entry entry;
    entry.table = std::move(table);
    providers_[upperAscii(std::move(name))] = std::move(entry);
}

MemoryProvider::Entry& MemoryProvider::entry(const std::string& provider) {
    auto it = providers_.find(upperAscii(provider));
    if (it == providers_.end()) throw EDatabaseError("Provider '" + provider + "' not found");
    return it->second;
}

MemoryProvider::Table& MemoryProvider::table(const std::string& provider) { return entry(provider).table; }

Variant MemoryProvider::dataRequest(const std::string& provider, const Variant& request) {
    Entry& e = entry(provider);
    const Variant& r = request.deref();
    if (!r.isArray() || r.length() != 2) throw EDatabaseError("A data request is [where, order by]");
    e.where = r[r.lowBound()].toWide();
    e.orderBy = r[r.lowBound() + 1].toString();
    e.queried = false;
    return Variant();
}

void MemoryProvider::runQuery(Entry& e) {
    std::string where = trimmedCopy(utf16ToCodePage(e.where));
    e.cursorRows.clear();
    e.cursor = 0;
    e.queried = true;
    if (where == "1=2") return;
    std::vector<Term> terms = where.empty() ? std::vector<Term>{} : parseWhere(e.table.columns, where);
    for (std::size_t i = 0; i < e.table.rows.size(); ++i) {
        const RowValues& row = e.table.rows[i];
        bool match = std::all_of(terms.begin(), terms.end(), [&](const Term& t) {
            return sameValue(row[static_cast<std::size_t>(t.column)], t.value);
        });
        if (match) e.cursorRows.push_back(i);
    }
    std::vector<std::pair<int, bool>> order;
    std::string list = e.orderBy;
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        std::string item = trimmedCopy(list.substr(start, comma - start));
        bool desc = false;
        if (item.size() > 5 && upperAscii(item.substr(item.size() - 5)) == " DESC") {
            desc = true;
            item = trimmedCopy(item.substr(0, item.size() - 5));
        }
        if (!item.empty()) order.emplace_back(columnIndex(e.table.columns, item), desc);
        start = comma + 1;
    }
    if (!order.empty()) {
        std::stable_sort(e.cursorRows.begin(), e.cursorRows.end(), [&](std::size_t a, std::size_t b) {
            for (auto [column, desc] : order) {
                int c = compareValues(e.table.rows[a][static_cast<std::size_t>(column)],
                                      e.table.rows[b][static_cast<std::size_t>(column)]);
                if (c != 0) return desc ? c > 0 : c < 0;
            }
            return false;
        });
    }
}

DataPacket MemoryProvider::getRecords(const std::string& provider, int count, bool reset) {
    Entry& e = entry(provider);
    if (reset || !e.queried) runQuery(e);
    DataPacket packet;
    packet.columns = e.table.columns;
    std::size_t remaining = e.cursorRows.size() - e.cursor;
    std::size_t take = count < 0 ? remaining : std::min(remaining, static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < take; ++i) packet.rows.push_back(e.table.rows[e.cursorRows[e.cursor + i]]);
    e.cursor += take;
    packet.endOfData = e.cursor >= e.cursorRows.size();
    ++packetsServed_;
    return packet;
}

ApplyResult MemoryProvider::applyUpdates(const std::string& provider, const Delta& delta, int maxErrors) {
    Entry& e = entry(provider);
    std::vector<RowValues> rows = e.table.rows;  // applied to a copy: all or nothing beyond maxErrors
    const auto& columns = e.table.columns;
    std::vector<std::size_t> keys;
    for (std::size_t c = 0; c < columns.size(); ++c)
        if (columns[c].has(cfKey)) keys.push_back(c);
    auto sameKey = [&](const RowValues& row, const RowValues& values) {
        return std::all_of(keys.begin(), keys.end(), [&](std::size_t c) { return sameValue(row[c], values[c]); });
    };
    auto findRow = [&](const RowValues& values) {
        return std::find_if(rows.begin(), rows.end(), [&](const RowValues& row) { return sameKey(row, values); });
    };
    ApplyResult result;
    for (std::size_t i = 0; i < delta.rows.size(); ++i) {
        const DeltaRow& d = delta.rows[i];
        std::optional<Refusal> refusal = refuse_ ? refuse_(d) : std::nullopt;
        if (!refusal) {
            if (d.kind == UpdateKind::Insert) {
                if (findRow(d.current) != rows.end()) refusal = Refusal{1, u"Key violation"};
                else rows.push_back(d.current);
            } else {
                auto row = findRow(d.original);
                bool unchanged = row != rows.end();
                for (std::size_t c = 0; unchanged && c < columns.size(); ++c)
                    if (!columns[c].has(cfReadOnly) && !sameValue((*row)[c], d.original[c])) unchanged = false;
                if (!unchanged) {
                    refusal = Refusal{2, u"Record changed by another user"};
                } else if (d.kind == UpdateKind::Delete) {
                    rows.erase(row);
                } else {
                    for (std::size_t c = 0; c < columns.size(); ++c)
                        if (c < d.changed.size() && d.changed[c] && !columns[c].has(cfReadOnly)) (*row)[c] = d.current[c];
                }
            }
        }
        if (refusal) {
            ++result.errorCount;
            result.errors.push_back(ReconcileError{static_cast<int>(i), d.kind, refusal->code, refusal->message,
                                                   u"row " + utf8ToUtf16(std::to_string(i))});
        }
    }
    if (maxErrors >= 0 && result.errorCount > maxErrors) result.rolledBack = true;
    else e.table.rows = std::move(rows);
    return result;
}

}  // namespace corvane
