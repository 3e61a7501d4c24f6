#include "appserver/Session.h"

#include <algorithm>
#include <cctype>

#include "appserver/Provider.h"

namespace corvane::appserver {

Session::Session(std::string databasePath)
    : databasePath_(std::move(databasePath)), db_(openSqlite(databasePath_)) {}

Session::~Session() = default;

Provider& Session::provider(std::string_view name) {
    std::string key(name);
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
    auto it = providers_.find(key);
    if (it != providers_.end()) return *it->second;
    ProviderKind kind;
    if (key == "pvdmain") kind = ProviderKind::Main;
    else if (key == "pvdconsave") kind = ProviderKind::ConSave;
    else if (key == "pvdcolor") kind = ProviderKind::Color;
    else throw EOleError("unknown provider " + std::string(name));
    if (kind != ProviderKind::ConSave) requireLogin("the provider " + std::string(name));
    auto& slot = providers_[key];
    slot = std::make_unique<Provider>(*this, kind);
    return *slot;
}

void Session::requireLogin(std::string_view member) const {
    if (!login.loggedIn) throw EOleError(std::string(member) + " needs a login first (Connect)");
}

}  // namespace corvane::appserver
