#pragma once

// Recording test doubles of the host object, its three service objects and
// the broker's owning form.

#include <functional>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <vector>

#include "host/BrokerOwner.h"
#include "platform/com/DispatchObject.h"
#include "platform/core/Exceptions.h"
#include "platform/ui/ScriptedDialogService.h"

namespace corvane::host::doubles {

using com::arg;
using com::Args;

// Every call of a double: member and arguments (dereferenced).
struct Call {
    std::string member;
    std::vector<Variant> args;
};

class Recorder {
public:
    std::vector<Call> calls;
    std::vector<Call> callsOf(const std::string& member) const {
        std::vector<Call> found;
        for (const Call& c : calls)
            if (c.member == member) found.push_back(c);
        return found;
    }
    void record(const std::string& member, Args args) {
        Call call{member, {}};
        for (const Variant& a : args) call.args.push_back(a.deref());
        calls.push_back(std::move(call));
    }
};

// A validator: CheckValue/QueryData answer from a table keyed by
// "TABLE/CODE"; an absent key answers false. "raise" makes every call raise.
struct FakeValidator {
    Recorder recorder;
    std::map<std::string, Variant> answers;
    bool raise = false;
    bool baseLimitedRaises = false;
    Variant maxSeqAnswer = "0005";
    bool maxSeqResult = true;
    std::shared_ptr<com::DispatchObject> object = std::make_shared<com::DispatchObject>("Validator");

    FakeValidator() {
        auto check = [this](const char* member) {
            return [this, member](Args args) {
                recorder.record(member, args);
                if (raise) throw EOleError("validator down");
                auto found = answers.find(arg(args, 0).toString() + "/" + arg(args, 1).toString());
                if (found == answers.end()) return Variant(false);
                args[4].assignThrough(found->second);
                return Variant(true);
            };
        };
        object->addMethod("CheckValue", check("CheckValue"));
        object->addMethod("QueryData", check("QueryData"));
        object->addMethod("QueryMaxSeq", [this](Args args) {
            recorder.record("QueryMaxSeq", args);
            if (raise) throw EOleError("validator down");
            args[6].assignThrough(maxSeqAnswer);
            return Variant(maxSeqResult);
        });
        object->addProperty("BaseLimited", [] { return Variant(); }, [this](const Variant& v) {
            std::vector<Variant> args{v};
            recorder.record("BaseLimited", args);
            if (baseLimitedRaises) throw EOleError("no such property");
        });
    }
};

struct FakeLookupWindow {
    Recorder recorder;
    Variant rows = Variant::arrayOf({Variant::arrayOf({"F01", "Factory one"})});
    std::int64_t phraseStatus = 0;
    bool calcRaises = false;
    std::shared_ptr<com::DispatchObject> object = std::make_shared<com::DispatchObject>("LookupWindow");

    FakeLookupWindow() {
        object->addMethod("F2GetData", [this](Args args) {
            recorder.record("F2GetData", args);
            return rows;
        });
        object->addMethod("GetPhrase2", [this](Args args) {
            recorder.record("GetPhrase2", args);
            args[3].assignThrough(arg(args, 3).toString() + " phrase");
            return Variant(phraseStatus);
        });
        object->addMethod("GetCalcValue", [this](Args args) {
            recorder.record("GetCalcValue", args);
            if (calcRaises) throw EOleError("Unknown name \"GetCalcValue\"");
            return Variant(42.5);
        });
        object->addMethod("ShowCharaters", [this](Args args) {
            recorder.record("ShowCharaters", args);
            return Variant("chars");
        });
    }
};

struct FakeGateway {
    Recorder recorder;
    // GETCOUNTER answers by service name.
    std::map<std::string, Variant> services;
    Variant sysInfo;
    std::shared_ptr<com::DispatchObject> object = std::make_shared<com::DispatchObject>("Gateway");

    FakeGateway() {
        object->addMethod("GETCOUNTER", [this](Args args) {
            recorder.record("GETCOUNTER", args);
            auto found = services.find(arg(args, 0).toString());
            return found == services.end() ? Variant() : found->second;
        });
        object->addMethod("GetSysInfo", [this](Args args) {
            recorder.record("GetSysInfo", args);
            return sysInfo;
        });
    }
};

// The host object; service objects are handed out when set.
struct FakeHost {
    Recorder recorder;
    std::map<std::string, std::string> messages;
    Variant version = 8000;
    std::int64_t execStatus = 0;
    Variant validator, lookupWindow, gateway;
    std::shared_ptr<com::DispatchObject> object = std::make_shared<com::DispatchObject>("Host");

    explicit FakeHost(bool withVersion = true) {
        if (withVersion) object->addProperty("DependencyVersion", [this] { return version; });
        object->addMethod("GetMessage", [this](Args args) {
            recorder.record("GetMessage", args);
            return Variant(messages[arg(args, 0).toString() + " " + arg(args, 1).toString()]);
        });
        object->addMethod("ExecWork", [this](Args args) {
            recorder.record("ExecWork", args);
            args[4].assignThrough("opened");
            return Variant(execStatus);
        });
        object->addProperty("Com_Validator", [this] {
            recorder.record("Com_Validator", {});
            return validator;
        });
        object->addProperty("Com_F2Window", [this] {
            recorder.record("Com_F2Window", {});
            return lookupWindow;
        });
        object->addProperty("Com_Counter", [this] {
            recorder.record("Com_Counter", {});
            return gateway;
        });
    }
    Variant ref() const { return Variant(DispatchRef(object)); }
};

// The broker's form.
struct FakeOwner : BrokerOwner {
    std::string caption_ = "Resources";
    std::string uiCodePage_ = "936";
    std::string sysCodePage_ = "936";
    int convertMode = 0;
    std::set<int> rights;
    int f2 = 0;
    Variant lookupOpenParams;
    Variant returned;
    int afterDialogs = 0;
    ui::ScriptedDialogService dialogs;

    std::string caption() const override { return caption_; }
    std::int64_t windowHandle() override { return 0x77; }
    std::string uiCodePage() const override { return uiCodePage_; }
    std::string sysCodePage() const override { return sysCodePage_; }
    int uiConvertMode() const override { return convertMode; }
    std::string gbToBig5(const std::string& text) const override { return "<B5>" + text; }
    std::string big5ToGb(const std::string& text) const override { return "<GB>" + text; }
    std::string toUI(const std::string& text) const override { return text; }
    bool hasRight(int element) const override { return rights.count(element) > 0; }
    int f2State() const override { return f2; }
    void setLookupOpenParams(const Variant& params) override { lookupOpenParams = params; }
    Variant returnedRows() const override { return returned; }
    ui::DialogService* dialogService() const override { return const_cast<ui::ScriptedDialogService*>(&dialogs); }
    void afterMessageDialog() override { ++afterDialogs; }
};

}  // namespace corvane::host::doubles
