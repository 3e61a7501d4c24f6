#include "workcenter/CommandLine.h"

#include <charconv>

namespace corvane::workcenter {

std::string usageText() {
    return "usage: CorvaneWorkCenter [--user ID] [--company ID] [--company-db NAME]\n"
           "                         [--modules FOLDER] [--profile FILE] [--language CHS|CHT|ENG]\n"
           "                         [--data FOLDER] [--dependency-version N]\n"
           "                         [--server ADDRESS:PORT | --no-server]\n"
           "                         [--script FILE|-] [PROGRAM]\n";
}

namespace {

// "ADDRESS:PORT" -> the settings' server address and port.
bool parseServer(const std::string& text, Settings& settings) {
    std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) return false;
    int port = 0;
    const char* first = text.data() + colon + 1;
    const char* last = text.data() + text.size();
    auto [end, ec] = std::from_chars(first, last, port);
    if (ec != std::errc() || end != last || first == last || port < 1 || port > 65535) return false;
    settings.serverAddress = text.substr(0, colon);
    settings.serverPort = port;
    return true;
}

}  // namespace

std::optional<Settings> parseCommandLine(const std::vector<std::string>& args, std::string& error) {
    Settings settings;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        auto value = [&]() -> const std::string* {
            if (i + 1 >= args.size()) {
                error = option + " needs a value";
                return nullptr;
            }
            return &args[++i];
        };
        const std::string* v = nullptr;
        if (option == "--help" || option == "-h") {
            settings.help = true;
        } else if (option == "--no-server") {
            settings.noServer = true;
        } else if (option == "--server") {
            if (!(v = value())) return std::nullopt;
            if (!parseServer(*v, settings)) {
                error = "--server needs ADDRESS:PORT (port 1 to 65535)";
                return std::nullopt;
            }
        } else if (option == "--user" || option == "--company" || option == "--company-db" ||
                   option == "--modules" || option == "--profile" || option == "--language" ||
                   option == "--data" || option == "--script" || option == "--dependency-version") {
            if (!(v = value())) return std::nullopt;
            if (option == "--user") settings.userId = *v;
            else if (option == "--company") settings.companyId = *v;
            else if (option == "--company-db") settings.companyDb = *v;
            else if (option == "--modules") settings.moduleFolder = *v;
            else if (option == "--profile") settings.profile = *v;
            else if (option == "--data") settings.dataFolder = *v;
            else if (option == "--script") settings.script = *v;
            else if (option == "--language") {
                if (*v != "CHS" && *v != "CHT" && *v != "ENG") {
                    error = "--language must be CHS, CHT or ENG";
                    return std::nullopt;
                }
                settings.language = *v;
            } else {
                auto [end, ec] = std::from_chars(v->data(), v->data() + v->size(), settings.dependencyVersion);
                if (ec != std::errc() || end != v->data() + v->size()) {
                    error = "--dependency-version needs a number";
                    return std::nullopt;
                }
            }
        } else if (!option.empty() && option[0] == '-') {
            error = "unknown option " + option;
            return std::nullopt;
        } else if (settings.program.empty()) {
            settings.program = option;
        } else {
            error = "more than one program given";
            return std::nullopt;
        }
    }
    if (settings.userId.empty() || settings.companyId.empty() || settings.companyDb.empty()) {
        error = "user, company and company database must not be empty";
        return std::nullopt;
    }
    return settings;
}

}  // namespace corvane::workcenter
