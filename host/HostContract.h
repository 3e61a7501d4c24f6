#pragma once

// What the module calls on the host program's automation object, on the
// three service objects the host hands out, on the application server and
// on the lookup server. Every call is late-bound; these wrappers fix the
// member names and the argument shapes in one place. A wrapper around an
// empty variant (a service the host did not hand out) reports absent() and
// its calls raise like any call on a missing object: callers decide whether
// to catch (the broker does, and returns empty results).

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/Dispatch.h"
#include "platform/core/Variant.h"

namespace corvane::host {

// Programmatic ids and constants of the contract.
inline constexpr const char* kHostProgId = "CorvaneWorkCenter.Manager";
inline constexpr const char* kAppServerProgId = "CopIS01S.Class1";
inline constexpr const char* kLookupServerProgId = "F2WindowS.Class1";
inline constexpr const char* kLookupServerClassId = "{BB19C8CE-93C6-11D2-B924-0080C8938389}";
inline constexpr int kDependencyVersion = 8000;
inline constexpr int kDefaultServerPort = 211;

// A late-bound object held in a variant.
class LateBound {
public:
    LateBound() = default;
    explicit LateBound(Variant object) : object_(std::move(object)) {}

    bool absent() const;              // not a dispatch reference
    const Variant& object() const { return object_; }
    Dispatch& dispatch() const;       // raises EOleError when absent

protected:
    Variant call(std::string_view member, std::initializer_list<Variant> args) const;
    Variant get(std::string_view property) const;
    void put(std::string_view property, const Variant& value) const;

private:
    Variant object_;
};

// Validator service ("Com_Validator").
class ValidatorService : public LateBound {
public:
    using LateBound::LateBound;
    bool checkValue(std::string_view table, std::string_view checkCode, std::string_view companyDb,
                    const Variant& params, Variant& result) const;
    bool queryData(std::string_view table, std::string_view checkCode, std::string_view companyDb,
                   const Variant& params, Variant& result) const;
    bool queryMaxSeq(std::string_view table, std::string_view keyFields, const Variant& values,
                     std::string_view dateText, std::string_view programId, std::string_view companyDb,
                     Variant& result) const;
    void setBaseLimited(std::string_view permission) const;

private:
    bool check(std::string_view member, std::string_view table, std::string_view checkCode, std::string_view companyDb,
               const Variant& params, Variant& result) const;
};

// Lookup window service ("Com_F2Window").
class LookupWindowService : public LateBound {
public:
    using LateBound::LateBound;
    inline static constexpr int kRequestSize = 19;
    Variant f2GetData(const Variant& request) const;  // request: 19 elements, 0..18
    // Below 0 when the user cancelled; text is replaced by the chosen phrase.
    std::int64_t getPhrase2(std::string_view userId, std::string_view companyId, std::int64_t window,
                            std::string& text) const;
    Variant getCalcValue(std::string_view expression, std::int64_t window) const;
    Variant showCharaters(std::string_view userId, std::string_view companyId, const Variant& kind,
                          const Variant& flag, std::string_view window) const;
};

// Gateway service ("Com_Counter"): named server services and settings.
class GatewayService : public LateBound {
public:
    using LateBound::LateBound;
    Variant getCounter(std::string_view service, const Variant& params, std::string_view companyId,
                       std::string_view companyDb) const;
    // 2 x n array: row 0 names, row 1 values.
    Variant getSysInfo(std::string_view companyId) const;
};

// The host program's automation object.
class HostObject : public LateBound {
public:
    using LateBound::LateBound;
    std::int64_t dependencyVersion() const;
    void connect() const;
    // Where the host's application server is (members ServerAddress and
    // ServerPort); false when the host has none or does not say.
    bool serverLocation(std::string& address, int& port) const;
    std::string getMessage(std::string_view type, std::string_view code) const;
    // Opens another program; below 0 is a failure code (-1 to -7).
    std::int64_t execWork(const Variant& caller, const Variant& param, const Variant& options, Variant& result) const;
    void callHelp(std::string_view moduleCode, const Variant& topic) const;
    Variant comValidator() const;
    Variant comF2Window() const;
    Variant comCounter() const;
};

// The application server ("CopIS01S.Class1").
class AppServer : public LateBound {
public:
    using LateBound::LateBound;
    // 6-element login array, UTF-16 texts; 0 = accepted.
    std::int64_t connect(const Variant& login) const;
    std::string svrData() const;
    std::string today() const;                 // Whatis("TODAY")
    std::int64_t sqlType() const;              // WhatIs("SQLTYPE")
    std::int64_t getRecCount() const;
    // [allowed count, array of allowed key texts]
    Variant getBaseLimitedRecs(std::string& keyPrefix, std::string& parentCondition, std::int64_t rowCount) const;
    std::u16string getFormat(std::string_view companyId, std::string_view programId) const;
    void loadTable(std::string_view userId, std::string_view programId) const;
    // Each returns "" on success, else the error text.
    std::string insertConTable(const Variant& scheme) const;
    std::string deleteConTable(const Variant& key) const;
    std::string changeConName(const Variant& oldKey, const Variant& newKey) const;
    void setTopRow(std::int64_t rows) const;
};

// The lookup server ("F2WindowS.Class1"): the module only connects to it
// and hands the connection to the lookup controls.
class LookupServer : public LateBound {
public:
    using LateBound::LateBound;
};

}  // namespace corvane::host
