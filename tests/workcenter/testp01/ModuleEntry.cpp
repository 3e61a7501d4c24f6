// TESTP01C.so: the test program module. Its form class is the minimal
// test window.

#include "host/DLLFunc.h"
#include "tests/workcenter/testp01/TestP01Form.h"

namespace {

std::unique_ptr<corvane::host::ControlledForm> newTestP01Form() {
    return std::make_unique<corvane::testp01::TestP01Form>();
}

const bool registered = (corvane::host::frmRadicalClass = &newTestP01Form, true);

}  // namespace
