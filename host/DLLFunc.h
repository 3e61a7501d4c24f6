#pragma once

// The module's entry: the two library-wide class registrations and the
// single export GetController. The controller class is registered when the
// library is loaded; the program registers its form class.

#include <memory>

#include "host/ControlledForm.h"
#include "host/DLLBaseCtrller.h"

namespace corvane::host {

using ControllerClass = std::unique_ptr<TDLLBaseController> (*)();
using FormClass = std::unique_ptr<ControlledForm> (*)();

// Plain function pointers: constant-initialised, so a registration made
// by another unit's initialisation is never overwritten.
extern ControllerClass DLLControllerClass;
extern FormClass frmRadicalClass;

// The text of the exception raised for an empty registration.
std::string internalErrorText(const char* variable);

}  // namespace corvane::host

// A new controller, owned by the caller. Raises when no controller class
// is registered.
extern "C" __attribute__((visibility("default"))) corvane::host::TDLLBaseController* GetController();
