#pragma once

// Events of data sets, fields and data sources, held in a small table of
// named slots so that helpers can read, clear and restore any handler by
// name ("BeforePost", "OnValidate", "OnDataChange", ...). Names compare
// without regard to case. The owner fires a slot by its index.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/core/DataPacket.h"

namespace corvane {

class DataSet;
class ClientDataSet;
class Field;
class DataSource;
class EReconcileError;

// What the client does with a change the server refused.
enum class ReconcileAction : std::uint8_t {
    Skip,     // keep the change pending; the user can mend it and apply again
    Abort,    // stop reconciling; every refused change stays pending
    Merge,    // drop the change from the log (the server's row stands)
    Correct,  // keep the record's current values pending (the handler mended them)
    Cancel,   // undo the change on the client
    Refresh,  // as Cancel: return to the values last fetched
};

using DataSetNotifyEvent = std::function<void(DataSet&)>;
using FieldNotifyEvent = std::function<void(Field&)>;
// Produces the text shown (displayText) or edited for a field.
using FieldGetTextEvent = std::function<void(Field&, std::string& text, bool displayText)>;
// Stores a typed text into a field in place of the default conversion.
using FieldSetTextEvent = std::function<void(Field&, const std::string& text)>;
using ReconcileErrorEvent =
    std::function<void(ClientDataSet&, const EReconcileError&, UpdateKind, ReconcileAction&)>;
using DataChangeEvent = std::function<void(DataSource&, Field*)>;
using DataSourceNotifyEvent = std::function<void(DataSource&)>;

using EventHandler = std::variant<std::monostate, DataSetNotifyEvent, FieldNotifyEvent,
                                  FieldGetTextEvent, FieldSetTextEvent, ReconcileErrorEvent,
                                  DataChangeEvent, DataSourceNotifyEvent>;

// True when the handler holds no callable.
bool isEmptyHandler(const EventHandler& handler);

class EventTable {
public:
    // Declares an event; kind is the index of its handler type in
    // EventHandler. Returns the slot index the owner fires it by.
    template <class Handler>
    int declare(std::string name) {
        slots_.push_back(Slot{std::move(name), EventHandler(std::in_place_type<Handler>).index(), {}});
        return static_cast<int>(slots_.size()) - 1;
    }

    bool has(std::string_view name) const { return find(name) >= 0; }
    // The handler of the named event; empty when there is no such event.
    EventHandler get(std::string_view name) const;
    // Sets (or clears, with an empty handler) the named event. False when
    // there is no such event or the handler is of another type.
    bool set(std::string_view name, EventHandler handler);
    std::vector<std::string> names() const;

    // By slot index, for the owner.
    template <class Handler>
    const Handler* handler(int slot) const {
        return std::get_if<Handler>(&slots_[static_cast<std::size_t>(slot)].handler);
    }
    void assign(int slot, EventHandler handler);

private:
    struct Slot {
        std::string name;
        std::size_t kind;
        EventHandler handler;
    };
    int find(std::string_view name) const;
    std::vector<Slot> slots_;
};

// Case-insensitive comparison of ASCII names.
bool sameName(std::string_view a, std::string_view b);

}  // namespace corvane
