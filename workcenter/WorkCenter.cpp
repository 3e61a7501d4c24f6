#include "workcenter/WorkCenter.h"

#include "config/LibStrs.h"
#include "platform/com/DispatchObject.h"
#include "platform/core/Exceptions.h"
#include "workcenter/services/Chooser.h"
#include "workcenter/services/HostServices.h"
#include "platform/core/CodePage.h"
#include "platform/ui/DialogService.h"

namespace corvane::workcenter {

using com::arg;
using com::Args;

WorkCenter::WorkCenter(Settings settings, ui::DialogService& dialogs, Sink sink)
    : settings_(std::move(settings)), dialogs_(dialogs), sink_(std::move(sink)),
      chooser_(std::make_shared<host::ScriptedChooser>(picks_)) {
    buildHostObject();
}

void WorkCenter::setChooser(std::shared_ptr<host::Chooser> chooser) { chooser_ = std::move(chooser); }

bool WorkCenter::connectServer() {
    if (settings_.noServer) return false;
    std::string where = settings_.serverAddress + ":" + std::to_string(settings_.serverPort);
    try {
        if (settings_.serverAddress.empty() || settings_.serverPort < 1 || settings_.serverPort > 65535)
            throw EOleError("no application server is configured");
        host::HostServiceObjects objects = host::connectHostServices(
            settings_.serverAddress, static_cast<std::uint16_t>(settings_.serverPort), chooser_);
        setServices({Variant(objects.validator), Variant(objects.lookupWindow), Variant(objects.gateway)});
        return true;
    } catch (const std::exception& error) {
        std::string text = "cannot reach the application server at " + where + " (" + error.what() +
                           "); the host's services are absent";
        WriteAlertLog("CorvaneWorkCenter", text);
        sink_("ERROR " + gbkToUtf8(text));
        return false;
    }
}

WorkCenter::~WorkCenter() { closeAll(); }

bool WorkCenter::loadMessages(std::string& error) {
    return messages_.load(MessageTable::fileFor(settings_.dataFolder, settings_.language), error);
}

void WorkCenter::buildHostObject() {
    auto host = std::make_shared<com::DispatchObject>("CorvaneWorkCenter.Manager");
    host->addProperty("DependencyVersion", [this] { return Variant(settings_.dependencyVersion); });
    // Connect: a program that started the host object itself asks for the
    // services; a host already connected keeps its connection.
    host->addMethod("Connect", [this](Args) {
        if (!hasServices()) connectServer();
        return Variant();
    });
    // Where the application server is, for the modules' own server objects.
    host->addProperty("ServerAddress", [this] {
        return settings_.noServer ? Variant(std::string()) : Variant(settings_.serverAddress);
    });
    host->addProperty("ServerPort", [this] {
        return Variant(static_cast<std::int64_t>(settings_.noServer ? 0 : settings_.serverPort));
    });
    host->addMethod("GetMessage", [this](Args args) {
        return Variant(messages_.text(arg(args, 0).toString(), arg(args, 1).toString()));
    });
    host->addMethod("ExecWork", [this](Args args) {
        Variant result;
        std::int64_t status = execWork(arg(args, 0), arg(args, 1), arg(args, 2), result);
        if (args.size() > 4) args[4].assignThrough(result);
        return Variant(status);
    });
    host->addMethod("CallHelp", [this](Args args) {
        const Variant& topic = arg(args, 0);
        std::string line = "HELP";
        if (topic.isArray())
            for (int i = topic.lowBound(); i <= topic.highBound(); ++i) line += " " + topic[i].toString();
        sink_(gbkToUtf8(line));
        return Variant();
    });
    host->addProperty("Com_Validator", [this] { return services_.validator; });
    host->addProperty("Com_F2Window", [this] { return services_.lookupWindow; });
    host->addProperty("Com_Counter", [this] { return services_.gateway; });
    hostObject_ = host;
}

Variant WorkCenter::startParamsOfLogin() const {
    return Variant::arrayOf({settings_.userId, settings_.companyId, settings_.companyDb, 0, ""});
}

int WorkCenter::open(const OpenRequest& request, std::string& error) {
    int status = 0;
    std::unique_ptr<ProgramModule> module =
        ProgramModule::load(settings_.moduleFolder, request.programId, status, error);
    if (!module) return status;
    host::TDLLBaseController& controller = module->controller();
    controller.HostObject = Variant(hostObject_);
    controller.OnHostEvent = [this](std::int32_t code, host::TDLLBaseController&) {
        sink_("EVENT " + std::to_string(code));
    };
    controller.SetDialogService(&dialogs_);
    controller.SetApplication(application_);
    programs_.push_back(std::move(module));
    try {
        Variant params = request.startParams.isEmpty() ? startParamsOfLogin() : request.startParams;
        if (controller.Execute(params) != 0) {
            error = "program " + request.programId + " did not start";
            status = osInitFailed;
        } else if (controller.SetRunMode(request.runMode, request.flags, request.runModeValue) != 0) {
            error = "program " + request.programId + " refused run mode " + std::to_string(request.runMode);
            status = osInitFailed;
        } else if (!request.startParameter.isNullOrEmpty() &&
                   controller.SetParameter(Variant::arrayOf({Variant(), request.startParameter})) != 0) {
            error = "program " + request.programId + " refused the start parameter";
            status = osInitFailed;
        } else {
            controller.SetFormVisible(-1);
        }
    } catch (const std::exception& failure) {
        error = failure.what();
        status = osInitFailed;
    }
    if (status != 0) {
        // A program that did not start goes away again.
        for (auto it = programs_.begin(); it != programs_.end(); ++it)
            if (&(*it)->controller() == &controller) {
                programs_.erase(it);
                break;
            }
        return status;
    }
    processMessages();
    return 0;
}

std::int64_t WorkCenter::execWork(const Variant& caller, const Variant& param, const Variant& options,
                                  Variant& result) {
    result = Variant();
    if (!caller.isArray() || caller.length() < 3) return osUnexpected;
    OpenRequest request;
    int low = caller.lowBound();
    request.programId = caller[low + 2].toString();
    request.startParams = Variant::arrayOf({caller[low].toString(), caller[low + 1].toString(),
                                            settings_.companyDb, 0, ""});
    if (options.isArray() && options.length() >= 1) {
        int mode = static_cast<int>(options[options.lowBound()].toInt());
        request.runMode = mode == 0 ? 1 : mode;
        if (options.length() >= 3) request.runModeValue = options[options.lowBound() + 2];
    }
    request.startParameter = param;
    std::string error;
    int status = open(request, error);
    if (status != 0) sink_("ERROR " + gbkToUtf8(error));
    return status;
}

ProgramModule* WorkCenter::active() { return programs_.empty() ? nullptr : programs_.back().get(); }

void WorkCenter::processMessages() {
    for (std::size_t i = 0; i < programs_.size(); ++i) programs_[i]->controller().ProcessMessages();
    for (auto it = programs_.begin(); it != programs_.end();) {
        if ((*it)->controller().IsFormFreed())
            it = programs_.erase(it);
        else
            ++it;
    }
}

void WorkCenter::closeAll() {
    while (!programs_.empty()) programs_.pop_back();
}

}  // namespace corvane::workcenter
