#include "host/Brokers.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>

#include "config/LibStrs.h"
#include "host/HostContract.h"
#include "host/MessageFormat.h"
#include "platform/core/Exceptions.h"
#include "platform/ui/DialogService.h"

namespace corvane::host {

namespace {

constexpr const char* kLogSource = "Brokers";

// The button names a caller's DefaultButton indexes, in MsgDlgBtn order.
constexpr std::array<const char*, 11> kButtonNames = {"Yes",   "No",  "OK",      "Cancel",   "Abort", "Retry",
                                                      "Ignore", "All", "NoToAll", "YesToAll", "Help"};

struct DialogShape {
    ui::MsgDlgType kind;
    unsigned buttons;
};

DialogShape dialogShapeOf(std::string_view type) {
    using namespace ui;
    if (type == "C") return {MsgDlgType::Warning, mbOK | mbCancel};
    if (type == "D") return {MsgDlgType::Warning, mbYes | mbNo | mbCancel};
    if (type == "E") return {MsgDlgType::Error, mbOK};
    if (type == "I") return {MsgDlgType::Information, mbOK};
    if (type == "Q") return {MsgDlgType::Confirmation, mbOK | mbCancel};
    if (type == "T") return {MsgDlgType::Error, mbYes | mbNo | mbCancel | mbYesToAll};
    if (type == "W") return {MsgDlgType::Warning, mbOK | mbCancel};
    return {MsgDlgType::Custom, mbOK};
}

const char* buttonName(ui::MsgDlgBtn button) {
    for (std::size_t i = 0; i < kButtonNames.size(); ++i)
        if (button == (1u << i)) return kButtonNames[i];
    return "";
}

void defaultBeep() {
    if (isatty(STDERR_FILENO)) std::fputc('\a', stderr);
}

bool isDispatch(const Variant& value) {
    return value.deref().type() == VarType::Dispatch && value.deref().asDispatch() != nullptr;
}

// Element index of a one-dimensional array, or nullptr when out of range.
const Variant* element(const Variant& array, int index) {
    const Variant& a = array.deref();
    if (!a.isArray() || a.dimCount() != 1) return nullptr;
    int at = a.lowBound() + index;
    if (at > a.highBound()) return nullptr;
    return &a[at];
}

}  // namespace

std::function<void()>& TBrokers::beepHook() {
    static std::function<void()> hook = defaultBeep;
    return hook;
}

std::string execProgramStatusText(std::int64_t status) {
    switch (status) {
    case -1: return "[%s]作业程序文档不存在!";
    case -2: return "[%s]作业程序文档装入失败!";
    case -3: return "[%s]作业程序启动时无法录入公用元件!";
    case -4: return "[%s]作业程序启动时取作业权限错误!";
    case -5: return "[%s]作业程序无运行作业权限!";
    case -6: return "[%s]作业程序起始化错误!";
    case -7: return "[%s]作业程序发生不可预知的错误!";
    default: return {};
    }
}

TBrokers::TBrokers(BrokerOwner* owner) : owner_(owner ? owner : &defaultOwner_) {}

TBrokers::~TBrokers() {
    HostObject = Variant();
    Validator = Variant();
    LookupWindow = Variant();
    Gateway = Variant();
}

std::int64_t TBrokers::formHandle() const { return owner_->windowHandle(); }

// ----------------------------------------------------------------- settings

void TBrokers::SetSysValue(std::string_view name, std::string_view value) {
    if (!name.empty()) SysInfo.setValue(name, value);
}

std::string TBrokers::GetSysValue(std::string_view name) const {
    return name.empty() ? std::string() : SysInfo.value(name);
}

int TBrokers::MaxRecord() const {
    std::string text = TrimStr(ServerData.value("MAX_RECORD"));
    if (text.empty()) return 0;
    std::size_t used = 0;
    long long value = 0;
    try {
        value = std::stoll(text, &used);
    } catch (...) {
        return 0;
    }
    if (used != text.size()) return 0;
    return static_cast<int>(std::clamp<long long>(value, 0, 40));
}

// ----------------------------------------------------------------- start-up

bool TBrokers::ConnectServices() {
    if (!isDispatch(HostObject)) return false;
    try {
        host::HostObject host(HostObject);
        if ((ServiceMask & svValidator) && Validator.isEmpty()) Validator = host.comValidator();
        if ((ServiceMask & svLookupWindow) && LookupWindow.isEmpty()) LookupWindow = host.comF2Window();
        if ((ServiceMask & svGateway) && Gateway.isEmpty()) Gateway = host.comCounter();
        LoadProgramInfo();
        return true;
    } catch (const std::exception& error) {
        WriteAlertLog(kLogSource, "ConnectServices failed (" + std::string(exceptionClassName(error)) +
                                      "): " + error.what());
        for (int i = 0; i < 3; ++i)
            if (beepHook()) beepHook()();
        return false;
    }
}

void TBrokers::LoadProgramInfo() {
    ProgramName.clear();
    Variant info;
    if (!CheckValue("ADMMB", "06", info, Variant::arrayOf({ProgramId, CompanyDb}))) return;
    const Variant& list = info.deref();
    if (!list.isArray() || list.dimCount() != 1 || list.length() == 0) return;
    // Elements 0, 1 and 7 are read; a shorter answer is the validator's fault.
    if (!element(list, 7))
        throw EVariantBadIndexError("program information of " + ProgramId + " has " +
                                    std::to_string(list.length()) + " elements, 8 expected");
    ProgramName = element(list, 0)->toString();
    ReportProgramId = element(list, 1)->toString();
    ProgramFlag = element(list, 7)->toString() == "Y";
    if (const Variant* english = element(list, 9); english && owner_->uiCodePage() == "437")
        ProgramName = english->toString();
}

bool TBrokers::LoadSysInfo() {
    if (!isDispatch(Gateway)) return false;
    Variant settings = GatewayService(Gateway).getSysInfo(CompanyId);
    const Variant& table = settings.deref();
    if (!table.isArray()) return false;
    if (table.dimCount() != 2 || table.length(1) < 2) {
        WriteAlertLog(kLogSource, "GetSysInfo answered an array that is not 2 x n");
        return true;
    }
    int names = table.lowBound(1);
    for (int i = table.lowBound(2); i <= table.highBound(2); ++i)
        SetSysValue(table.at(names, i).toString(), table.at(names + 1, i).toString());
    return true;
}

// ----------------------------------------------------------------- messages

std::string TBrokers::GetMessageText(std::string_view type, std::string_view code) {
    if (!isDispatch(HostObject)) return {};
    return host::HostObject(HostObject).getMessage(type, code);
}

std::string TBrokers::convertForUI(const std::string& text) const {
    switch (owner_->uiConvertMode()) {
    case 1: return owner_->big5ToGb(text);
    case 2: return owner_->gbToBig5(text);
    default: return text;
    }
}

int TBrokers::ShowMsg(std::string_view type, std::string_view code, int defaultButton, bool abortOnCancel,
                      int /*codePage*/, const std::vector<Variant>& args) {
    std::string text = GetMessageText(type == "T" ? "E" : type, code);
    text = convertForUI(text);
    if (owner_->uiCodePage() == "950" || owner_->sysCodePage() == "950") text += "    ";
    text = formatMessage(text + " ", args);
    if (type == "T") text += "\r\n" + convertForUI("是否继续?");

    DialogShape shape = dialogShapeOf(type);
    ui::MessageDialogRequest request;
    request.type = shape.kind;
    request.buttons = shape.buttons;
    request.caption = owner_->caption();
    request.messageType = std::string(type);
    request.messageCode = std::string(code);
    if (owner_->uiConvertMode() != 0 || owner_->sysCodePage() != "936") text += "      ";
    request.text = text;
    for (ui::MsgDlgBtn button : ui::buttonsInOrder(shape.buttons)) {
        if (owner_->uiCodePage() == "437") break;
        std::string caption = ButtonCaption(buttonName(button));
        if (owner_->uiConvertMode() == 2) caption = owner_->gbToBig5(caption);
        request.buttonCaptions.emplace_back(button, caption);
    }
    // The default button is the one named by the caller's index; a dialog
    // without that button has none.
    request.defaultButton = static_cast<ui::MsgDlgBtn>(0);
    if (defaultButton >= 0 && defaultButton < static_cast<int>(kButtonNames.size()) &&
        (shape.buttons & (1u << defaultButton)))
        request.defaultButton = static_cast<ui::MsgDlgBtn>(1u << defaultButton);
    int mode = owner_->uiConvertMode();
    request.fontCharset = (mode == 2 || mode == 3) ? 136 : 134;

    int answer = ui::mrNone;
    if (ui::DialogService* dialogs = owner_->dialogService()) {
        answer = dialogs->messageDialog(request);
    } else {
        WriteAlertLog(kLogSource, "no dialog service for message " + std::string(type) + " " + std::string(code) +
                                      ": " + request.text);
    }
    owner_->afterMessageDialog();
    if (type == "W" && answer != ui::mrOk && abortOnCancel) throw EAbort();
    return answer;
}

// ----------------------------------------------------------------- services

void TBrokers::CallService(std::string_view name, const Variant& params, Variant& result) {
    if (!isDispatch(Gateway)) {
        result = Variant();
        return;
    }
    result = GatewayService(Gateway).getCounter(name, params, CompanyId, CompanyDb);
}

void TBrokers::passBaseLimited() {
    try {
        ValidatorService(Validator).setBaseLimited(ServerData.value("BaseLimited"));
    } catch (const std::exception&) {
        // A validator without the property checks without the permission.
    }
}

bool TBrokers::callValidator(const char* member, std::string_view table, std::string_view checkCode,
                             Variant& result, const Variant& params) {
    if (!isDispatch(Validator)) return false;
    passBaseLimited();
    try {
        ValidatorService validator(Validator);
        return std::string_view(member) == "CheckValue"
                   ? validator.checkValue(table, checkCode, CompanyDb, params, result)
                   : validator.queryData(table, checkCode, CompanyDb, params, result);
    } catch (const std::exception& error) {
        WriteAlertLog(kLogSource, std::string(member) + " " + std::string(table) + "/" + std::string(checkCode) +
                                      " failed: " + error.what());
        return false;
    }
}

bool TBrokers::CheckValue(std::string_view table, std::string_view checkCode, Variant& result,
                          const Variant& params) {
    return callValidator("CheckValue", table, checkCode, result, params);
}

bool TBrokers::QueryData(std::string_view table, std::string_view checkCode, Variant& result,
                         const Variant& params) {
    return callValidator("QueryData", table, checkCode, result, params);
}

void TBrokers::QueryMaxSeq(const FieldTextReader& dataSet, std::string_view table, std::string& seq,
                           std::string_view dateText, std::string_view keyFields) {
    seq = "unKnow";
    try {
        // One value per comma of the list, then one empty element.
        std::vector<Variant> values;
        std::string fields(keyFields);
        auto commas = std::count(keyFields.begin(), keyFields.end(), ',');
        for (long i = 0; i < commas; ++i) values.emplace_back(dataSet ? dataSet(CutToken(fields, ",")) : "");
        values.emplace_back("");
        if (!isDispatch(Validator)) return;
        passBaseLimited();
        Variant result;
        if (ValidatorService(Validator).queryMaxSeq(table, keyFields, Variant::arrayOf(std::move(values)),
                                                    dateText, ProgramId, CompanyDb, result))
            seq = result.toString();
    } catch (const std::exception& error) {
        WriteAlertLog(kLogSource, "QueryMaxSeq " + std::string(table) + " failed: " + error.what());
        seq = "unKnow";
    }
}

void TBrokers::LookupData(std::string_view table, std::string_view kind, Variant& rows, bool flagB, bool flagA,
                          std::string_view initialText, const Variant& params) {
    switch (owner_->f2State()) {
    case 1:
        // A lookup control collects the parameters it opens its own window with.
        owner_->setLookupOpenParams(Variant::arrayOf({table, kind, params, 1, initialText, CompanyDb, Variant(),
                                                      "", "", "", ServerData.value("BaseLimited"), "", "", "9"}));
        rows = Variant();
        return;
    case 2: rows = owner_->returnedRows(); return;
    default: break;
    }
    rows = Variant();
    if (!isDispatch(LookupWindow)) return;
    Variant request = Variant::array(0, LookupWindowService::kRequestSize - 1);
    request.at(0) = table;
    request.at(1) = kind;
    request.at(2) = params;
    request.at(3) = flagA;
    request.at(4) = initialText;
    request.at(5) = CompanyId;
    request.at(6) = CompanyDb;
    request.at(7) = formHandle();
    request.at(8) = 1;
    request.at(9) = flagB;
    request.at(11) = "";
    request.at(12) = "";
    request.at(13) = "";
    request.at(14) = ServerData.value("BaseLimited");
    request.at(15) = owner_->hasRight(33) || owner_->hasRight(35);
    request.at(16) = owner_->hasRight(32) || owner_->hasRight(34);
    request.at(17) = HostObject;
    request.at(18) = UserId;
    rows = LookupWindowService(LookupWindow).f2GetData(request);
}

std::string TBrokers::GetPhrase(std::string_view initialText) {
    if (!isDispatch(LookupWindow)) return {};
    std::string text(initialText);
    if (LookupWindowService(LookupWindow).getPhrase2(UserId, CompanyId, formHandle(), text) < 0) return {};
    return text;
}

std::string TBrokers::GetCalcValue(std::string_view expression) {
    if (!isDispatch(LookupWindow)) return {};
    try {
        return LookupWindowService(LookupWindow).getCalcValue(expression, formHandle()).toString();
    } catch (const std::exception&) {
        ShowMsg("E", "000032", 2, true, 936, {owner_->toUI("请更新F2WindowC.dll")});
        return {};
    }
}

void TBrokers::ShowCharacters(const Variant& kind, const Variant& flag, Variant& result, std::int64_t window,
                              std::string_view user, std::string_view company) {
    if (!isDispatch(LookupWindow)) {
        result = Variant();
        return;
    }
    std::int64_t handle = window != 0 ? window : formHandle();
    result = LookupWindowService(LookupWindow)
                 .showCharaters(user.empty() ? std::string_view(UserId) : user,
                                company.empty() ? std::string_view(CompanyId) : company, kind, flag,
                                std::to_string(handle));
}

std::int64_t TBrokers::ExecProgram(std::string_view programId, const Variant& param, bool showErrors,
                                   Variant& result, const Variant& options) {
    if (!isDispatch(HostObject)) return -1;
    Variant caller = Variant::arrayOf({UserId, CompanyId, programId, formHandle()});
    result = Variant();
    Variant effectiveOptions = options.deref().isNullOrEmpty() ? Variant::arrayOf({0, 4, Variant()}) : options;
    std::int64_t status = host::HostObject(HostObject).execWork(caller, param, effectiveOptions, result);
    if (showErrors && status < 0) {
        std::string text = execProgramStatusText(status);
        if (!text.empty())
            text = formatMessage(convertForUI(text), {convertForUI(GetProgramName(programId))});
        ShowMsg("E", "000032", 2, true, 936, {text});
    }
    return status;
}

std::string TBrokers::GetProgramName(std::string_view programId) {
    std::string name(programId);
    Variant rows;
    CallService("SimpleSQL",
                Variant::arrayOf({"SELECT MB002,MB011,MB012,MB013 FROM ADMMB WHERE MB001=" + QuotedStr(programId),
                                  "MB002,MB011,MB012,MB013", CompanyDb, "N"}),
                rows);
    const Variant* first = element(rows, 0);
    if (!first) return name;
    const Variant* value = element(*first, owner_->uiCodePage() != "437" ? 0 : 1);
    return value ? value->toString() : name;
}

}  // namespace corvane::host
