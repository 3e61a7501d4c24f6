#include "host/HostContract.h"

#include <memory>
#include <vector>

#include "platform/core/CodePage.h"
#include "platform/core/Exceptions.h"

namespace corvane::host {

namespace {

// Texts sent to the application server travel as UTF-16.
Variant wide(std::string_view gbk) { return Variant(codePageToUtf16(gbk, CP_GBK)); }

// A by-reference cell holding the initial value.
std::shared_ptr<Variant> cell(Variant initial = {}) { return std::make_shared<Variant>(std::move(initial)); }

}  // namespace

bool LateBound::absent() const { return object_.deref().type() != VarType::Dispatch || !object_.asDispatch(); }

Dispatch& LateBound::dispatch() const {
    if (absent()) throw EOleError("Object is not a dispatch reference");
    return *object_.asDispatch();
}

Variant LateBound::call(std::string_view member, std::initializer_list<Variant> args) const {
    return dispatch().call(member, args);
}

Variant LateBound::get(std::string_view property) const { return dispatch().getProperty(property); }

void LateBound::put(std::string_view property, const Variant& value) const { dispatch().putProperty(property, value); }

// --------------------------------------------------------------- validator

bool ValidatorService::checkValue(std::string_view table, std::string_view checkCode, std::string_view companyDb,
                                  const Variant& params, Variant& result) const {
    return check("CheckValue", table, checkCode, companyDb, params, result);
}

bool ValidatorService::queryData(std::string_view table, std::string_view checkCode, std::string_view companyDb,
                                 const Variant& params, Variant& result) const {
    return check("QueryData", table, checkCode, companyDb, params, result);
}

// CheckValue and QueryData share their arguments: the answer comes back by reference.
bool ValidatorService::check(std::string_view member, std::string_view table, std::string_view checkCode,
                             std::string_view companyDb, const Variant& params, Variant& result) const {
    auto out = cell();
    bool ok = call(member, {table, checkCode, companyDb, params, Variant::ref(out)}).toBool();
    result = *out;
    return ok;
}

bool ValidatorService::queryMaxSeq(std::string_view table, std::string_view keyFields, const Variant& values,
                                   std::string_view dateText, std::string_view programId,
                                   std::string_view companyDb, Variant& result) const {
    auto out = cell();
    bool ok = call("QueryMaxSeq", {table, keyFields, values, dateText, programId, companyDb, Variant::ref(out)})
                  .toBool();
    result = *out;
    return ok;
}

void ValidatorService::setBaseLimited(std::string_view permission) const { put("BaseLimited", permission); }

// ----------------------------------------------------------- lookup window

Variant LookupWindowService::f2GetData(const Variant& request) const { return call("F2GetData", {request}); }

std::int64_t LookupWindowService::getPhrase2(std::string_view userId, std::string_view companyId,
                                             std::int64_t window, std::string& text) const {
    auto phrase = cell(Variant(text));
    std::int64_t status = call("GetPhrase2", {userId, companyId, window, Variant::ref(phrase)}).toInt();
    text = phrase->toString();
    return status;
}

Variant LookupWindowService::getCalcValue(std::string_view expression, std::int64_t window) const {
    auto text = cell(Variant(expression));
    return call("GetCalcValue", {Variant::ref(text), window});
}

Variant LookupWindowService::showCharaters(std::string_view userId, std::string_view companyId, const Variant& kind,
                                           const Variant& flag, std::string_view window) const {
    return call("ShowCharaters", {userId, companyId, kind, flag, window});
}

// ----------------------------------------------------------------- gateway

Variant GatewayService::getCounter(std::string_view service, const Variant& params, std::string_view companyId,
                                   std::string_view companyDb) const {
    return call("GETCOUNTER", {service, params, Variant::arrayOf({companyId, companyDb})});
}

Variant GatewayService::getSysInfo(std::string_view companyId) const {
    auto company = cell(Variant(companyId));
    return call("GetSysInfo", {Variant::ref(company)});
}

// ------------------------------------------------------------- host object

std::int64_t HostObject::dependencyVersion() const { return get("DependencyVersion").toInt(); }

void HostObject::connect() const { call("Connect", {}); }

bool HostObject::serverLocation(std::string& address, int& port) const {
    if (absent()) return false;
    try {
        address = get("ServerAddress").toString();
        std::int64_t number = get("ServerPort").toInt();
        if (address.empty() || number < 1 || number > 65535) return false;
        port = static_cast<int>(number);
        return true;
    } catch (const std::exception&) {
        return false;  // a host without the members has no server to offer
    }
}

std::string HostObject::getMessage(std::string_view type, std::string_view code) const {
    return call("GetMessage", {type, code}).toString();
}

std::int64_t HostObject::execWork(const Variant& caller, const Variant& param, const Variant& options,
                                  Variant& result) const {
    auto mode = cell(Variant(2));
    auto out = cell(result);
    std::int64_t status = call("ExecWork", {caller, param, options, Variant::ref(mode), Variant::ref(out)}).toInt();
    result = *out;
    return status;
}

void HostObject::callHelp(std::string_view moduleCode, const Variant& topic) const {
    call("CallHelp", {Variant::arrayOf({moduleCode, topic})});
}

Variant HostObject::comValidator() const { return get("Com_Validator"); }
Variant HostObject::comF2Window() const { return get("Com_F2Window"); }
Variant HostObject::comCounter() const { return get("Com_Counter"); }

// ------------------------------------------------------ application server

std::int64_t AppServer::connect(const Variant& login) const { return call("Connect", {login}).toInt(); }

std::string AppServer::svrData() const { return get("SvrData").toString(); }

std::string AppServer::today() const { return call("Whatis", {wide("TODAY")}).toString(); }

std::int64_t AppServer::sqlType() const { return call("WhatIs", {wide("SQLTYPE")}).toInt(); }

std::int64_t AppServer::getRecCount() const { return get("GetRecCount").toInt(); }

Variant AppServer::getBaseLimitedRecs(std::string& keyPrefix, std::string& parentCondition,
                                      std::int64_t rowCount) const {
    auto prefix = cell(wide(keyPrefix));
    auto parent = cell(wide(parentCondition));
    Variant answer = call("GetBaseLimitedRecs", {Variant::ref(prefix), Variant::ref(parent), rowCount});
    keyPrefix = prefix->toString();
    parentCondition = parent->toString();
    return answer;
}

std::u16string AppServer::getFormat(std::string_view companyId, std::string_view programId) const {
    return call("GetFormat", {wide(companyId), wide(programId)}).toWide();
}

void AppServer::loadTable(std::string_view userId, std::string_view programId) const {
    call("LoadTable", {Variant::arrayOf({wide(userId), wide(programId)})});
}

std::string AppServer::insertConTable(const Variant& scheme) const {
    return call("InsertConTable", {scheme}).toString();
}

std::string AppServer::deleteConTable(const Variant& key) const { return call("DeleteConTable", {key}).toString(); }

std::string AppServer::changeConName(const Variant& oldKey, const Variant& newKey) const {
    return call("ChangeConName", {oldKey, newKey}).toString();
}

void AppServer::setTopRow(std::int64_t rows) const { call("SetTopRow", {rows}); }

}  // namespace corvane::host
