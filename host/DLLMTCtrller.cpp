#include "host/DLLMTCtrller.h"

#include <dlfcn.h>

#include "config/LibStrs.h"
#include "host/Brokers.h"
#include "host/DLLFunc.h"
#include "host/HostContract.h"
#include "platform/com/ProgIdRegistry.h"
#include "platform/com/RemoteServerObjects.h"
#include "platform/core/CodePage.h"
#include "platform/core/Exceptions.h"
#include "platform/ui/DialogService.h"

namespace corvane::host {

namespace {

std::unique_ptr<TDLLBaseController> newMTCtrller() { return std::make_unique<TDLLMTCtrller>(); }

constexpr const char* kProgramTooOld = "This program's version is too old, please update.";
constexpr const char* kHostTooOld = "CorvaneWorkCenter version too old,please update.";
constexpr const char* kVersionFailed = "CorvaneWorkCenter version too old,please update!";

// Host run mode -> the form's RunMode, and whether Value is kept.
struct RunModeEntry {
    std::uint8_t runMode;
    bool keepsValue;
};

RunModeEntry runModeOf(std::int32_t mode) {
    switch (mode) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5: return {static_cast<std::uint8_t>(mode), false};
    case 7: return {7, true};
    case 8: return {8, true};
    case 10: return {9, true};
    case 12: return {10, false};
    case 13: return {11, false};
    default: return {0, false};
    }
}

// Flags bit -> the HostOptions bit a clear flag clears.
constexpr std::pair<std::int32_t, std::uint16_t> kOptionOfFlag[] = {
    {1, 1}, {2, 8}, {4, 4}, {8, 2}, {16, 16}, {32, 32}, {64, 64}, {128, 128},
};

}  // namespace

ControllerClass DLLControllerClass = &newMTCtrller;
FormClass frmRadicalClass = nullptr;

std::string internalErrorText(const char* variable) {
    return std::string("QVX DLL Internal Error :\rNot Assign \"") + variable + "\" varible";
}

std::string moduleFileName() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&moduleFileName), &info) == 0 || !info.dli_fname) return {};
    return utf8ToGbk(info.dli_fname);
}

TDLLMTCtrller::~TDLLMTCtrller() {
    // The host is done with the controller: the form goes whatever its
    // handlers do, and nothing may leave a destructor.
    try {
        if (form_) FreeForm(false);
    } catch (const std::exception& error) {
        WriteAlertLog("DLLMTCtrller", std::string("closing the form failed: ") + error.what());
    }
    try {
        if (form_) destroyForm();
    } catch (const std::exception& error) {
        WriteAlertLog("DLLMTCtrller", std::string("destroying the form failed: ") + error.what());
    }
    form_ = nullptr;
    ownedForm_.reset();
}

// ------------------------------------------------------------- operations

void TDLLMTCtrller::GetHostTitle(std::u16string& title) {
    if (form_) title = codePageToUtf16(form_->HostTitle, CP_GBK);
}

bool TDLLMTCtrller::GetFormVisible() { return form_ && form_->visible(); }

void TDLLMTCtrller::SetFormVisible(std::int16_t show) {
    if (!form_) return;
    form_->setVisible(show != 0);
    if (show != 0 && form_) {
        if (form_->windowState() == WindowState::wsMinimized) form_->setWindowState(WindowState::wsNormal);
        form_->bringToFront();
    }
}

std::int64_t TDLLMTCtrller::GetFormHandle() { return form_ ? form_->windowHandle() : 0; }

std::int32_t TDLLMTCtrller::Execute(const Variant& params) {
    if (!form_) {
        createForm();
        try {
            checkHostVersion();
        } catch (...) {
            // No form may outlive a failed check: a later Execute would
            // otherwise run it unchecked.
            destroyForm();
            throw;
        }
        form_->broker().HostObject = HostObject;
        registerServerObjects();
        DoCreated();
    }
    if (!hooked_) hookFormEvents();
    return form_->Initialize(params) ? 0 : -1;
}

std::int32_t TDLLMTCtrller::SetParameter(const Variant& params) {
    if (!form_) return -1;
    const Variant& list = params.deref();
    if (list.isNull() || !list.isArray()) return -1;
    try {
        const Variant& start = list[list.lowBound() + 1].deref();
        if (start.isNull() || !start.isArray()) {
            form_->StartParam = start.toString();
        } else {
            form_->StartParam = start[start.lowBound()].toString();
            form_->StartValue = start[start.lowBound() + 1];
        }
    } catch (const std::exception&) {
        return -1;
    }
    return 0;
}

std::int32_t TDLLMTCtrller::SetRunMode(std::int32_t mode, std::int32_t flags, const Variant& value) {
    if (!form_) return -1;
    for (auto [flag, option] : kOptionOfFlag)
        if ((flags & flag) == 0) form_->HostOptions &= static_cast<std::uint16_t>(~option);
    form_->UpdateEditState();
    if (!form_) return 0;
    RunModeEntry entry = runModeOf(mode);
    form_->RunMode = entry.runMode;
    if (entry.keepsValue) form_->RunModeValue = value;
    return 0;
}

void TDLLMTCtrller::ShowModalForm(Variant& result) {
    if (!form_) return;
    form_->showModal();
    if (!form_) return;
    result = form_->ResultValue;
    FreeForm(false);
}

void TDLLMTCtrller::FreeForm(bool silent) {
    if (!form_ || form_->destroying()) return;
    if (!silent) {
        CloseAction action = CloseAction::caHide;
        DoFormClose(*form_, action);  // the action is not used: the form goes anyway
    }
    if (form_) destroyForm();
}

std::int32_t TDLLMTCtrller::GetSessionInfo(Variant& info) {
    if (!form_) return -1;
    TBrokers& broker = form_->broker();
    info = Variant::arrayOf({broker.UserId, broker.CompanyId, broker.ProgramId, broker.ProgramName});
    return 0;
}

bool TDLLMTCtrller::IsFormFreed() { return form_ == nullptr; }

// ------------------------------------------------------------ form events

void TDLLMTCtrller::DoFormShow(ControlledForm& sender) {
    if (savedShow_) savedShow_(sender);
    NotifyHost(heShown);
}

void TDLLMTCtrller::DoFormHide(ControlledForm& sender) {
    if (savedHide_) savedHide_(sender);
    NotifyHost(heHidden);
}

void TDLLMTCtrller::DoFormDestroy(ControlledForm& sender) {
    if (form_) {
        ResultCode = form_->ResultCode;
        ResultValue = form_->ResultValue;
        if (savedDestroy_) savedDestroy_(sender);
        NotifyHost(heDestroying);
    }
    form_ = nullptr;
}

void TDLLMTCtrller::DoFormClose(ControlledForm& sender, CloseAction& action) {
    if (savedClose_) savedClose_(sender, action);
    NotifyHost(heClosing);
}

// ------------------------------------------------------------ extra slots

void TDLLMTCtrller::SetDialogService(ui::DialogService* service) {
    dialogs_ = service;
    if (form_) form_->setDialogService(service);
}

void TDLLMTCtrller::SetApplication(ui::Application* application) {
    application_ = application;
    if (form_) form_->setApplication(application);
}

void TDLLMTCtrller::ProcessMessages() {
    if (form_) form_->processMessages();
    if (releasePending_ && form_) destroyForm();
    releasePending_ = false;
}

bool TDLLMTCtrller::ScriptCommand(std::string_view command, std::string_view argument,
                                  std::vector<std::string>& output) {
    if (!form_) {
        output.push_back("no window is open");
        return false;
    }
    try {
        if (command == "close") {
            form_->close();
            ProcessMessages();
            return true;
        }
        return form_->scriptCommand(command, argument, output);
    } catch (const EAbort&) {
        return true;  // the operation ended silently, as it does for a person
    } catch (const std::exception& error) {
        output.push_back(error.what());
        return false;
    }
}

// ---------------------------------------------------------------- helpers

void TDLLMTCtrller::createForm() {
    if (!frmRadicalClass) throw Exception(internalErrorText("frmRadicalClass"));
    ownedForm_ = frmRadicalClass();
    form_ = ownedForm_.get();
    hooked_ = false;
    releasePending_ = false;
    form_->OnReleaseRequest = [this] { releasePending_ = true; };
    form_->setDialogService(dialogs_);
    if (application_) form_->setApplication(application_);
    form_->ModulePath = moduleFileName();
}

void TDLLMTCtrller::registerServerObjects() {
    // This binary's own registry (the host has another): the server objects
    // the module creates "on this machine" reach the host's application
    // server over TCP.
    std::string address;
    int port = 0;
    if (!host::HostObject(HostObject).serverLocation(address, port)) return;
    com::registerRemoteServerObjects(com::ProgIdRegistry::instance(), address, static_cast<std::uint16_t>(port));
}

void TDLLMTCtrller::checkHostVersion() {
    try {
        host::HostObject host(HostObject);
        if (kDependencyVersion < host.dependencyVersion()) {
            showPlainMessage(kProgramTooOld);
            throw Exception(kProgramTooOld);
        }
        if (kDependencyVersion > host.dependencyVersion()) {
            showPlainMessage(kHostTooOld);
            throw Exception(kHostTooOld);
        }
    } catch (const std::exception& error) {
        showPlainMessage(kVersionFailed);
        throw Exception(std::string(kVersionFailed) + error.what());
    }
}

void TDLLMTCtrller::hookFormEvents() {
    savedShow_ = std::move(form_->OnShow);
    form_->OnShow = [this](ControlledForm& sender) { DoFormShow(sender); };
    savedHide_ = std::move(form_->OnHide);
    form_->OnHide = [this](ControlledForm& sender) { DoFormHide(sender); };
    savedDestroy_ = std::move(form_->OnDestroy);
    form_->OnDestroy = [this](ControlledForm& sender) { DoFormDestroy(sender); };
    savedClose_ = std::move(form_->OnClose);
    form_->OnClose = [this](ControlledForm& sender, CloseAction& action) { DoFormClose(sender, action); };
    hooked_ = true;
}

void TDLLMTCtrller::destroyForm() {
    std::unique_ptr<ControlledForm> doomed = std::move(ownedForm_);
    if (doomed) doomed->beginDestroy();  // the hooked handler clears the reference
    form_ = nullptr;
    hooked_ = false;
    releasePending_ = false;
    savedShow_ = nullptr;
    savedHide_ = nullptr;
    savedDestroy_ = nullptr;
    savedClose_ = nullptr;
}

void TDLLMTCtrller::showPlainMessage(const std::string& text) {
    if (!dialogs_) {
        WriteAlertLog("DLLMTCtrller", text);
        return;
    }
    ui::MessageDialogRequest request;
    request.type = ui::MsgDlgType::Custom;
    request.buttons = ui::mbOK;
    request.defaultButton = ui::mbOK;
    request.text = text;
    dialogs_->messageDialog(request);
}

}  // namespace corvane::host
