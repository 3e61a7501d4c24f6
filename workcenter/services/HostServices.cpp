#include "workcenter/services/HostServices.h"

#include "platform/com/DispatchObject.h"
#include "platform/com/RemoteDispatch.h"
#include "platform/core/CodePage.h"
#include "platform/core/Exceptions.h"
#include "workcenter/services/Calculator.h"

namespace corvane::host {

using com::Args;
using com::DispatchObject;

namespace {

// Calls the server with the caller's arguments as they are: by-reference
// arguments stay references, so the server's answer is written through.
Variant forward(const DispatchRef& target, std::string_view member, Args args) { return target->invoke(member, args); }

std::u16string textOf(const Variant& v) { return v.deref().isNullOrEmpty() ? std::u16string() : v.deref().toWide(); }

// Special characters offered by ShowCharaters, by kind.
const char16_t* const kUnitCharacters[] = {u"\u33a1", u"\u338f", u"\u2103", u"\u00b1", u"\u00d7",
                                           u"\u00f7", u"\u2264", u"\u2265", u"\u2030", u"\u2116"};
const char16_t* const kPunctuation[] = {u"\uff0c", u"\u3002", u"\u3001", u"\uff1b", u"\uff1a",
                                        u"\uff1f", u"\uff01", u"\u300c", u"\u300d", u"\u2026"};

}  // namespace

DispatchRef makeValidator(DispatchRef serverGateway) {
    auto validator = std::make_shared<DispatchObject>("Validator");
    auto baseLimited = std::make_shared<Variant>(Variant(u""));
    validator->addProperty(
        "BaseLimited", [baseLimited] { return *baseLimited; },
        [baseLimited](const Variant& v) { *baseLimited = v.deref(); });
    for (const char* member : {"CheckValue", "QueryData"}) {
        validator->addMethod(member, [serverGateway, member](Args args) {
            if (args.size() < 5) throw EOleError(std::string(member) + " expects table, code, database, parameters, result");
            return forward(serverGateway, member, args.first(5));
        });
    }
    validator->addMethod("QueryMaxSeq", [serverGateway](Args args) {
        if (args.size() < 7)
            throw EOleError("QueryMaxSeq expects table, key fields, values, date, program, database, result");
        return forward(serverGateway, "QueryMaxSeq", args.first(7));
    });
    return validator;
}

DispatchRef makeLookupWindow(DispatchRef lookupServer, std::shared_ptr<Chooser> chooser) {
    auto window = std::make_shared<DispatchObject>("F2Window");
    window->addMethod("F2GetData", [lookupServer, chooser](Args args) {
        const Variant& a = com::arg(args, 0);
        if (!a.isArray() || a.length() < 5) throw EOleError("F2GetData expects the 19-element lookup array");
        int low = a.lowBound();
        Variant table = a[low].deref(), kind = a[low + 1].deref(), params = a[low + 2].deref(), typed = a[low + 4].deref();
        Variant answer = lookupServer->call("F2Query", {table, kind, typed, params});
        ChoiceRequest request;
        request.kind = "lookup";
        request.title = textOf(table) + u" " + textOf(kind);
        for (const Variant& c : answer[0].array().elements()) request.captions.push_back(textOf(c));
        const auto& rows = answer[1].array().elements();
        for (const Variant& row : rows) {
            std::vector<std::u16string> shown;
            for (const Variant& v : row.array().elements()) shown.push_back(textOf(v));
            request.rows.push_back(std::move(shown));
        }
        int chosen = chooser->choose(request);
        if (chosen < 0) return Variant();
        return Variant::arrayOf({rows.at(static_cast<std::size_t>(chosen))});
    });
    window->addMethod("GetPhrase2", [lookupServer, chooser](Args args) {
        if (args.size() < 4) throw EOleError("GetPhrase2 expects user, company, window, text");
        Variant phrases = lookupServer->call("GetPhrases", {com::arg(args, 0)});
        ChoiceRequest request;
        request.kind = "phrase";
        request.captions = {u"\u5e38\u7528\u8bed"};  // 常用语
        for (const Variant& p : phrases.array().elements()) request.rows.push_back({textOf(p)});
        int chosen = chooser->choose(request);
        if (chosen < 0) return Variant(-1);
        args[3].assignThrough(phrases.array().elements().at(static_cast<std::size_t>(chosen)));
        return Variant(chosen);
    });
    window->addMethod("GetCalcValue", [](Args args) {
        std::string expression = utf16ToUtf8(textOf(com::arg(args, 0)));
        std::optional<double> value = evaluateExpression(expression);
        return Variant(value ? formatCalcValue(*value) : std::string());
    });
    window->addMethod("ShowCharaters", [chooser](Args args) {
        std::u16string kind = textOf(com::arg(args, 2));
        ChoiceRequest request;
        request.kind = "character";
        request.captions = {u"\u7b26\u53f7"};  // 符号
        bool units = kind.empty() || kind == u"1";
        if (units) {
            for (const char16_t* c : kUnitCharacters) request.rows.push_back({c});
        } else {
            for (const char16_t* c : kPunctuation) request.rows.push_back({c});
        }
        int chosen = chooser->choose(request);
        if (chosen < 0) return Variant();
        return Variant(request.rows[static_cast<std::size_t>(chosen)][0]);
    });
    return window;
}

DispatchRef makeGateway(DispatchRef serverGateway) {
    auto gateway = std::make_shared<DispatchObject>("Counter");
    gateway->addMethod("GETCOUNTER", [serverGateway](Args args) {
        if (args.size() < 2) throw EOleError("GETCOUNTER expects service, parameters, [company, database]");
        return forward(serverGateway, "GETCOUNTER", args.first(std::min<std::size_t>(args.size(), 3)));
    });
    gateway->addMethod("GetSysInfo", [serverGateway](Args args) {
        if (args.empty()) throw EOleError("GetSysInfo expects the company id");
        return forward(serverGateway, "GetSysInfo", args.first(1));
    });
    return gateway;
}

HostServiceObjects connectHostServices(const std::string& address, std::uint16_t port, std::shared_ptr<Chooser> chooser) {
    auto connection = RemoteConnection::open(address, port);
    DispatchRef serverGateway = createRemoteObject(connection, "CorvaneGateway.Class1");
    DispatchRef lookupServer = createRemoteObject(connection, "F2WindowS.Class1");
    return {makeValidator(serverGateway), makeLookupWindow(lookupServer, std::move(chooser)), makeGateway(serverGateway)};
}

}  // namespace corvane::host
