#include "platform/ui/DialogService.h"

namespace corvane::ui {

std::vector<MsgDlgBtn> buttonsInOrder(unsigned buttons) {
    static constexpr MsgDlgBtn kOrder[] = {mbYes,   mbNo,  mbOK,      mbCancel,   mbAbort, mbRetry,
                                           mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp};
    std::vector<MsgDlgBtn> shown;
    for (MsgDlgBtn b : kOrder)
        if (buttons & b) shown.push_back(b);
    return shown;
}

int modalResultOf(MsgDlgBtn button) {
    switch (button) {
    case mbYes: return mrYes;
    case mbNo: return mrNo;
    case mbOK: return mrOk;
    case mbCancel: return mrCancel;
    case mbAbort: return mrAbort;
    case mbRetry: return mrRetry;
    case mbIgnore: return mrIgnore;
    case mbAll: return mrAll;
    case mbNoToAll: return mrNoToAll;
    case mbYesToAll: return mrYesToAll;
    case mbHelp: return mrNone;
    }
    return mrNone;
}

}  // namespace corvane::ui
