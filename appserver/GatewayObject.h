#pragma once

// "CorvaneGateway.Class1": what the host's service objects ask the server
// for. The named services of GETCOUNTER, the company settings, and the
// check codes (data in CV_CHECKCODES, never code) behind CheckValue and
// QueryData, and the next serial number of QueryMaxSeq.

#include "appserver/ServerObject.h"
#include "appserver/Session.h"

namespace corvane::appserver {

class GatewayObject : public ServerObject {
public:
    explicit GatewayObject(Session& session);

private:
    Variant getCounter(std::span<Variant> args);
    Variant simpleSql(const std::vector<Variant>& params);
    Variant transactionSql(const std::vector<Variant>& params);
    Variant getUserDefine(const std::vector<Variant>& params);
    Variant setUserDefine(const std::vector<Variant>& params);
    Variant queryUdfData(const std::vector<Variant>& params);
    Variant getSysInfo(std::span<Variant> args);
    Variant checkValue(std::string_view member, std::span<Variant> args);
    Variant queryMaxSeq(std::span<Variant> args);

    Session& session_;
};

// "F2WindowS.Class1": the lookup server. F2Query gives the candidate rows
// of a lookup (table, kind, typed text) with their column captions;
// GetPhrases the phrase list of a user.
class LookupServerObject : public ServerObject {
public:
    explicit LookupServerObject(Session& session);

private:
    Session& session_;
};

}  // namespace corvane::appserver
