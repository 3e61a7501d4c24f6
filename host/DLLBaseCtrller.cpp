#include "host/DLLBaseCtrller.h"

namespace corvane::host {

void TDLLBaseController::DoCreated() { NotifyHost(heCreated); }

void TDLLBaseController::DoFormShow(ControlledForm&) { NotifyHost(heShown); }

void TDLLBaseController::DoFormHide(ControlledForm&) { NotifyHost(heHidden); }

void TDLLBaseController::DoFormDestroy(ControlledForm&) { NotifyHost(heDestroying); }

void TDLLBaseController::DoFormClose(ControlledForm&, CloseAction&) { NotifyHost(heClosing); }

void TDLLBaseController::NotifyHost(std::int32_t eventCode) {
    if (OnHostEvent) OnHostEvent(eventCode, *this);
}

void TDLLBaseController::Reserved() {}

}  // namespace corvane::host
