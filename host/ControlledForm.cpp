#include "host/ControlledForm.h"

namespace corvane::host {

void ControlledForm::beginDestroy() {
    if (destroying_) return;
    destroying_ = true;
    if (OnDestroy) OnDestroy(*this);
}

void ControlledForm::release() {
    if (OnReleaseRequest) OnReleaseRequest();
}

}  // namespace corvane::host
