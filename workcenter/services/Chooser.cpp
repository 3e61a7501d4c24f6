#include "workcenter/services/Chooser.h"

#include "platform/core/Exceptions.h"

namespace corvane::host {

int ScriptedChooser::choose(const ChoiceRequest& request) {
    if (queue_.empty()) throw EOleError("the " + request.kind + " list opened but no pick was queued");
    Variant pick = queue_.front();
    queue_.pop_front();
    if (pick.isNullOrEmpty()) return -1;
    std::int64_t row = pick.toInt();
    if (row < 1 || row > static_cast<std::int64_t>(request.rows.size()))
        throw EOleError("pick " + std::to_string(row) + ": the " + request.kind + " list has " +
                        std::to_string(request.rows.size()) + " rows");
    return static_cast<int>(row - 1);
}

}  // namespace corvane::host
