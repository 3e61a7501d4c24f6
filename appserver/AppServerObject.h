#pragma once

// "CopIS01S.Class1": the application server object a program module logs
// in to and opens its data sets through.

#include "appserver/ServerObject.h"
#include "appserver/Session.h"

namespace corvane::appserver {

class AppServerObject : public ServerObject {
public:
    explicit AppServerObject(Session& session);

    // Connect's answers.
    static constexpr int kLoginAccepted = 0;
    static constexpr int kUnknownUser = 1;
    static constexpr int kUserDisabled = 2;
    static constexpr int kUnknownCompany = 3;
    static constexpr int kUnknownProgram = 4;
    static constexpr int kNoRights = 5;

private:
    Variant connect(std::span<Variant> args);
    Variant svrData();
    Variant whatIs(std::span<Variant> args);
    Variant getRecCount();
    Variant getBaseLimitedRecs(std::span<Variant> args);
    Variant getFormat(std::span<Variant> args);
    Variant loadTable(std::span<Variant> args);
    Variant insertConTable(std::span<Variant> args);
    Variant deleteConTable(std::span<Variant> args);
    Variant changeConName(std::span<Variant> args);
    Variant dataRequest(std::span<Variant> args);
    Variant getRecords(std::span<Variant> args);
    Variant applyUpdates(std::span<Variant> args);

    Session& session_;
};

}  // namespace corvane::appserver
