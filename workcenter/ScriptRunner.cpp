#include "workcenter/ScriptRunner.h"

#include <sstream>

#include "config/LibStrs.h"
#include "platform/core/CodePage.h"

namespace corvane::workcenter {

namespace {

// Splits off the first word of text.
std::string firstWord(std::string& text) {
    std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) {
        text.clear();
        return {};
    }
    std::size_t end = text.find_first_of(" \t", start);
    std::string word = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    std::size_t rest = end == std::string::npos ? std::string::npos : text.find_first_not_of(" \t", end);
    text = rest == std::string::npos ? std::string() : text.substr(rest);
    return word;
}

bool parseInt(const std::string& text, int& value) {
    try {
        std::size_t used = 0;
        value = std::stoi(text, &used);
        return used == text.size();
    } catch (...) {
        return false;
    }
}

std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

}  // namespace

ScriptRunner::ScriptRunner(Settings settings, Sink sink)
    : sink_(std::move(sink)), center_(std::move(settings), dialogs_, sink_) {
    dialogs_.onDialog = [this](const ui::ScriptedDialogService::Record& record) { printDialog(record); };
}

void ScriptRunner::printDialog(const ui::ScriptedDialogService::Record& record) {
    const ui::MessageDialogRequest& request = record.request;
    if (!record.formName.empty()) {
        sink_("DIALOG " + record.formName);
    } else {
        std::string type = request.messageType.empty() ? "-" : request.messageType;
        std::string code = request.messageCode.empty() ? "-" : request.messageCode;
        sink_("MSG " + type + " " + code + " " + gbkToUtf8(oneLine(TrimStr(request.text))));
    }
    if (!record.expected) {
        unexpectedDialog_ = true;
        sink_("ERROR no answer was queued for this dialog");
    }
}

void ScriptRunner::fail(const std::string& text) { sink_("ERROR " + gbkToUtf8(oneLine(text))); }

bool ScriptRunner::run(std::istream& script) {
    std::string line;
    bool ok = true;
    while (ok && std::getline(script, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        try {
            ok = execute(utf8ToGbk(line.substr(start)));
            center_.processMessages();
        } catch (const std::exception& error) {
            fail(error.what());
            ok = false;
        }
    }
    try {
        center_.closeAll();
    } catch (const std::exception& error) {
        fail(error.what());
        ok = false;
    }
    return ok && !unexpectedDialog_;
}

bool ScriptRunner::execute(const std::string& line) {
    std::string arguments = line;
    std::string command = firstWord(arguments);
    if (command == "open") return openCommand(arguments);
    if (command == "answer") {
        int answer = 0;
        if (!parseInt(arguments, answer) || (answer != 1 && answer != 2 && answer != 6 && answer != 7 && answer != 10)) {
            fail("answer needs 1, 2, 6, 7 or 10");
            return false;
        }
        dialogs_.queueAnswer(answer);
        return true;
    }
    if (command == "pick") {
        int row = 0;
        if (arguments == "none") {
            center_.pickQueue().push_back(Variant());
        } else if (parseInt(arguments, row) && row >= 1) {
            center_.pickQueue().push_back(Variant(row));
        } else {
            fail("pick needs a row number (from 1) or none");
            return false;
        }
        return true;
    }
    if (command == "screenshot") return screenshotCommand(arguments);
    return windowCommand(command, arguments);
}

bool ScriptRunner::screenshotCommand(const std::string& file) {
    if (file.empty()) {
        fail("screenshot needs a file name");
        return false;
    }
    if (!center_.active()) {
        fail("screenshot: no window is open");
        return false;
    }
    if (!screenshot) {
        fail("screenshot: this host was built without a window system");
        return false;
    }
    std::string error;
    if (!screenshot(gbkToUtf8(file), error)) {
        fail("screenshot: " + utf8ToGbk(error));
        return false;
    }
    return true;
}

bool ScriptRunner::openCommand(const std::string& arguments) {
    std::string rest = arguments;
    WorkCenter::OpenRequest request;
    request.programId = firstWord(rest);
    if (request.programId.empty()) {
        fail("open needs a program id");
        return false;
    }
    for (char& c : request.programId) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::string mode = firstWord(rest);
    if (!mode.empty() && !parseInt(mode, request.runMode)) {
        fail("open: the run mode must be a number");
        return false;
    }
    if (!rest.empty()) request.startParameter = rest;
    std::string error;
    if (center_.open(request, error) != 0) {
        fail(error);
        return false;
    }
    return true;
}

bool ScriptRunner::windowCommand(const std::string& command, const std::string& arguments) {
    ProgramModule* program = center_.active();
    if (!program) {
        fail(command + ": no window is open");
        return false;
    }
    std::vector<std::string> output;
    bool ok = false;
    try {
        ok = program->controller().ScriptCommand(command, arguments, output);
    } catch (const std::exception& failure) {
        output.push_back(failure.what());
    }
    for (const std::string& line : output) {
        if (ok)
            sink_(gbkToUtf8(line));
        else
            fail(command + ": " + line);
    }
    if (!ok && output.empty()) fail(command + " failed");
    return ok;
}

}  // namespace corvane::workcenter
