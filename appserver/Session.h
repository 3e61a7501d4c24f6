#pragma once

// What one client connection holds: its database connection, its login,
// the row limit for the next query, the scheme filter and the providers
// with their cursors. Objects created on the connection share it; nothing
// here is shared between connections.

#include <map>
#include <memory>
#include <string>

#include "appserver/db/Database.h"

namespace corvane::appserver {

class Provider;

struct Login {
    bool loggedIn = false;
    std::string programId;  // upper case
    std::string userId;
    std::string companyId;
    std::string companyDb;
    std::string userGroup;
    std::string groupList;
    std::string baseLimited;
    int maxRecord = 20;
};

struct ProgramDefinition {
    std::string mainTable, mainKey, mainSelect;
    std::string detailTable, detailKey, detailSelect;
    std::string headTable, headKey;
};

class Session {
public:
    explicit Session(std::string databasePath);
    ~Session();

    Database& db() { return *db_; }
    const std::string& databasePath() const { return databasePath_; }

    Login login;
    ProgramDefinition program;
    int topRow = 0;                 // row limit of the next main query, 0 = none
    std::string schemeUser, schemeProgram;  // LoadTable's filter of pvdConSave

    Provider& provider(std::string_view name);  // raises EOleError for an unknown name
    void requireLogin(std::string_view member) const;

private:
    std::string databasePath_;
    std::unique_ptr<Database> db_;
    std::map<std::string, std::unique_ptr<Provider>> providers_;
};

}  // namespace corvane::appserver
