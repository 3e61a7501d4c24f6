#pragma once

// The broker: every program window owns one. It holds the login data, the
// program's identity and the company and login settings, and it is the
// module's only way to the host's services (messages, the gateway's named
// services, value checks, lookup windows, phrase input, other programs).
// A service the host did not hand out is never an error: its calls return
// empty results.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/BrokerOwner.h"
#include "host/NameValueList.h"
#include "platform/core/Variant.h"

namespace corvane::host {

// Reads the current text of a data-set field by name.
using FieldTextReader = std::function<std::string(const std::string& fieldName)>;

// ServiceMask bits. A new broker asks for everything (15: bit 1 has no
// service of its own).
enum ServiceBit : std::uint8_t { svValidator = 2, svLookupWindow = 4, svGateway = 8 };
inline constexpr std::uint8_t kAllServices = 15;

class TBrokers {
public:
    explicit TBrokers(BrokerOwner* owner = nullptr);
    ~TBrokers();
    TBrokers(const TBrokers&) = delete;
    TBrokers& operator=(const TBrokers&) = delete;

    std::string ProgramId;
    std::string UserId;
    std::string UserGroup;
    std::string CompanyId;
    std::string CompanyDb;
    std::string ProgramName;
    std::string ReportProgramId;
    bool ProgramFlag = false;
    NameValueList SysInfo;
    NameValueList ServerData;
    std::uint8_t ServiceMask = kAllServices;
    Variant HostObject;
    Variant Validator;
    Variant LookupWindow;
    Variant Gateway;

    BrokerOwner* owner() const { return owner_; }

    // Settings.
    void SetSysValue(std::string_view name, std::string_view value);
    std::string GetSysValue(std::string_view name) const;

    // Start-up, in this order.
    bool ConnectServices();
    void LoadProgramInfo();
    bool LoadSysInfo();

    // Messages.
    int ShowMsg(std::string_view type, std::string_view code, int defaultButton = 2, bool abortOnCancel = true,
                int codePage = 936, const std::vector<Variant>& args = {});
    std::string GetMessageText(std::string_view type, std::string_view code);

    // Services.
    void CallService(std::string_view name, const Variant& params, Variant& result);
    bool CheckValue(std::string_view table, std::string_view checkCode, Variant& result, const Variant& params);
    bool QueryData(std::string_view table, std::string_view checkCode, Variant& result, const Variant& params);
    void QueryMaxSeq(const FieldTextReader& dataSet, std::string_view table, std::string& seq,
                     std::string_view dateText, std::string_view keyFields);
    void LookupData(std::string_view table, std::string_view kind, Variant& rows, bool flagB, bool flagA,
                    std::string_view initialText, const Variant& params);
    std::string GetPhrase(std::string_view initialText);
    std::string GetCalcValue(std::string_view expression);
    void ShowCharacters(const Variant& kind, const Variant& flag, Variant& result, std::int64_t window,
                        std::string_view user, std::string_view company);
    std::int64_t ExecProgram(std::string_view programId, const Variant& param, bool showErrors, Variant& result,
                             const Variant& options);
    std::string GetProgramName(std::string_view programId);
    int MaxRecord() const;

    // The machine's beep; tests count beeps by replacing it.
    static std::function<void()>& beepHook();

private:
    std::string convertForUI(const std::string& text) const;
    bool callValidator(const char* member, std::string_view table, std::string_view checkCode, Variant& result,
                       const Variant& params);
    void passBaseLimited();
    std::int64_t formHandle() const;

    BrokerOwner* owner_;
    BrokerOwner defaultOwner_;
};

// The text of an ExecProgram failure status ("[%s]..."), "" for others.
std::string execProgramStatusText(std::int64_t status);

}  // namespace corvane::host
