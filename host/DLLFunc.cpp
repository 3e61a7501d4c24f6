#include "host/DLLFunc.h"

#include "platform/core/Exceptions.h"

extern "C" corvane::host::TDLLBaseController* GetController() {
    using namespace corvane::host;
    if (!DLLControllerClass) throw corvane::Exception(internalErrorText("DLLControllerClass"));
    return DLLControllerClass().release();
}
