// Eight clients change the same twenty records two hundred times each:
// every change is stored or reported as a reconcile error, and each row's
// FLAG ends equal to the number of its stored changes (mod 1000), with no
// lost update of the changed value either.

#include <gtest/gtest.h>

#include <array>
#include <iostream>
#include <mutex>
#include <thread>

#include "appserver/db/Database.h"
#include "platform/com/RemoteDispatch.h"
#include "tests/appserver/ServerProcess.h"
#include "tests/appserver/TestClient.h"
#include "tests/support/TestSupport.h"

using namespace corvane;

TEST(Concurrency, EightClientsOnTwentyRecords) {
    constexpr int kClients = 8;
    constexpr int kChanges = 200;
    constexpr int kRecords = 20;
    test::TempDir dir;
    test::ServerProcess server((dir / "conc.db").string());
    {
        auto db = appserver::openSqlite(server.databasePath());
        appserver::execute(*db, "UPDATE MPSMB SET FLAG = 0, MB005 = 0 WHERE MB001 <= 'R020'");
    }
    auto keyOf = [](int record) {
        char key[16];
        std::snprintf(key, sizeof key, "R%03d", record + 1);
        return std::u16string(key, key + 4);
    };

    std::mutex mutex;
    std::array<int, kRecords> stored{};
    int conflicts = 0;
    std::vector<std::string> failures;
    std::vector<std::thread> clients;
    for (int t = 0; t < kClients; ++t) {
        clients.emplace_back([&, t] {
            try {
                DispatchRef app = createRemoteObject("127.0.0.1", server.port(), "CopIS01S.Class1");
                if (test::login(*app) != 0) throw std::runtime_error("login refused");
                for (int i = 0; i < kChanges; ++i) {
                    int record = (t * 7 + i * 3) % kRecords;
                    DataPacket p = test::open(*app, u"pvdMain", u"MPSMB.MB001 = '" + keyOf(record) + u"'", u"");
                    if (p.rows.size() != 1) throw std::runtime_error("record not found");
                    const auto& c = p.columns;
                    double old = test::valueOf(c, p.rows[0], "MB005").toDouble();
                    ApplyResult r = test::apply(*app, Delta{c, {test::modifyRow(c, p.rows[0], {{"MB005", Variant(old + 1)}})}}, 0);
                    std::lock_guard lock(mutex);
                    if (r.errorCount == 0) {
                        ++stored[static_cast<std::size_t>(record)];
                    } else if (r.errors.size() == 1 && r.errors[0].errorCode == 1 && r.rolledBack) {
                        ++conflicts;
                    } else {
                        failures.push_back("unexpected apply result");
                    }
                }
            } catch (const std::exception& e) {
                std::lock_guard lock(mutex);
                failures.push_back(e.what());
            }
        });
    }
    for (auto& c : clients) c.join();
    ASSERT_TRUE(failures.empty()) << failures.front();

    int total = conflicts;
    auto db = appserver::openSqlite(server.databasePath(), true);
    for (int record = 0; record < kRecords; ++record) {
        total += stored[static_cast<std::size_t>(record)];
        auto row = appserver::queryAll(*db, "SELECT FLAG, MB005 FROM MPSMB WHERE MB001 = ?1", {Variant(keyOf(record))});
        EXPECT_EQ(row[0][0].toInt(), stored[static_cast<std::size_t>(record)] % 1000) << "record " << record;
        EXPECT_EQ(row[0][1].toInt(), stored[static_cast<std::size_t>(record)]) << "record " << record;
    }
    EXPECT_EQ(total, kClients * kChanges);
    std::cout << "[ INFO     ] stored " << total - conflicts << ", reported as conflicts " << conflicts << "\n";
}
