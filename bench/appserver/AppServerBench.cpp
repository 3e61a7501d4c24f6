// The application server over loopback TCP on 100,000 MPSMB rows, beside
// the raw SQLite C API doing the same work and a bare loopback round trip,
// all in the same run:
//   first packet  DataRequest + 20 rows      vs  raw query of 20 rows + one round trip
//   fetch all     every row decoded          vs  raw read of every row
//   apply one     one changed row applied    vs  raw one-row transaction + one round trip

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <asio.hpp>
#include <cstdio>
#include <filesystem>
#include <map>
#include <thread>

#include "appserver/Schema.h"
#include "bench/support/BenchReport.h"
#include "appserver/Server.h"
#include "appserver/db/Database.h"
#include "platform/com/RemoteDispatch.h"
#include "platform/wire/PacketCodec.h"

using namespace corvane;
using asio::ip::tcp;

namespace {

constexpr int kRows = 100000;
const char* const kSelect =
    "SELECT MPSMB.*, CMSMB.MB002 AS MB003C FROM MPSMB LEFT JOIN CMSMB ON CMSMB.MB001 = MPSMB.MB003";

struct Fixture {
    std::filesystem::path dir;
    std::string dbPath;
    std::unique_ptr<appserver::Server> server;
    std::thread serverThread;
    DispatchRef app;
    sqlite3* raw = nullptr;
    // Loopback echo for the round-trip anchor.
    asio::io_context echoIo;
    std::unique_ptr<tcp::acceptor> echoAcceptor;
    std::thread echoThread;
    std::unique_ptr<tcp::socket> echoClient;

    Fixture() {
        dir = std::filesystem::temp_directory_path() / ("corvane_bench_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        dbPath = (dir / "bench.db").string();
        {
            auto db = appserver::openSqlite(dbPath);
            appserver::ensureSchema(*db);
            appserver::addGeneratedResources(*db, kRows - 300);
        }
        appserver::ServerConfig config;
        config.port = 0;
        config.databasePath = dbPath;
        config.logPath = (dir / "server.log").string();
        server = std::make_unique<appserver::Server>(config);
        server->start();
        serverThread = std::thread([this] { server->run(); });
        app = createRemoteObject("127.0.0.1", server->port(), "CopIS01S.Class1");
        std::vector<Variant> login{Variant::arrayOf({Variant(u"RESI01"), Variant(u"DS"), Variant(u"DEMO"), Variant(u"DEMO"),
                                                     Variant(u"True"), Variant(u"False")})};
        if (app->invoke("Connect", login).toInt() != 0) throw std::runtime_error("login refused");

        sqlite3_open_v2(dbPath.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_exec(raw, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
        sqlite3_busy_timeout(raw, 30000);

        echoAcceptor = std::make_unique<tcp::acceptor>(echoIo, tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0));
        std::uint16_t echoPort = echoAcceptor->local_endpoint().port();
        echoThread = std::thread([this] {
            tcp::socket s(echoIo);
            echoAcceptor->accept(s);
            s.set_option(tcp::no_delay(true));
            char buffer[16];
            asio::error_code ec;
            for (;;) {
                asio::read(s, asio::buffer(buffer), ec);
                if (ec) return;
                asio::write(s, asio::buffer(buffer), ec);
                if (ec) return;
            }
        });
        echoClient = std::make_unique<tcp::socket>(echoIo);
        echoClient->connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), echoPort));
        echoClient->set_option(tcp::no_delay(true));
    }

    ~Fixture() {
        app.reset();
        echoClient->close();
        echoThread.join();
        sqlite3_close(raw);
        server->stop();
        serverThread.join();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

Fixture* fixture = nullptr;

DataPacket request(int count) {
    std::vector<Variant> req{Variant(u"pvdMain"), Variant::arrayOf({Variant(u""), Variant(u"MB001")})};
    fixture->app->invoke("AS_DataRequest", req);
    auto recs = std::make_shared<Variant>(0);
    std::vector<Variant> get{Variant(u"pvdMain"), Variant(count), Variant::ref(recs), Variant(0)};
    return wire::decodeDataPacket(fixture->app->invoke("AS_GetRecords", get).asString());
}

// Reads every column of a row the way a client keeps it: numbers as
// numbers, texts copied.
void readRawRow(sqlite3_stmt* stmt, std::vector<std::string>& texts, std::vector<double>& numbers) {
    int n = sqlite3_column_count(stmt);
    for (int i = 0; i < n; ++i) {
        switch (sqlite3_column_type(stmt, i)) {
        case SQLITE_TEXT:
            texts[static_cast<std::size_t>(i)].assign(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)),
                                                      static_cast<std::size_t>(sqlite3_column_bytes(stmt, i)));
            break;
        case SQLITE_NULL: break;
        default: numbers[static_cast<std::size_t>(i)] = sqlite3_column_double(stmt, i);
        }
    }
}

std::size_t rawQuery(const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(fixture->raw, sql.c_str(), -1, &stmt, nullptr);
    std::vector<std::string> texts(64);
    std::vector<double> numbers(64);
    std::size_t rows = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        readRawRow(stmt, texts, numbers);
        ++rows;
    }
    sqlite3_finalize(stmt);
    return rows;
}

void BM_LoopbackRoundTrip(benchmark::State& state) {
    char buffer[16] = "ping";
    for (auto _ : state) {
        asio::write(*fixture->echoClient, asio::buffer(buffer));
        asio::read(*fixture->echoClient, asio::buffer(buffer));
    }
}

void BM_RawFirst20(benchmark::State& state) {
    std::string sql = std::string(kSelect) + " ORDER BY MPSMB.MB001 LIMIT 20";
    for (auto _ : state) benchmark::DoNotOptimize(rawQuery(sql));
}

void BM_AppServerFirstPacket(benchmark::State& state) {
    for (auto _ : state) {
        DataPacket p = request(20);
        if (p.rows.size() != 20) state.SkipWithError("short packet");
    }
}

void BM_RawReadAll(benchmark::State& state) {
    std::string sql = std::string(kSelect) + " ORDER BY MPSMB.MB001";
    for (auto _ : state) {
        if (rawQuery(sql) != static_cast<std::size_t>(kRows)) state.SkipWithError("short read");
    }
}

void BM_AppServerFetchAll(benchmark::State& state) {
    for (auto _ : state) {
        DataPacket p = request(-1);
        if (p.rows.size() != static_cast<std::size_t>(kRows)) state.SkipWithError("short fetch");
    }
}

void BM_RawApplyOne(benchmark::State& state) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(fixture->raw,
                       "UPDATE MPSMB SET MB007 = ?1, FLAG = (FLAG + 1) % 1000 WHERE MB001 = 'R000400' AND FLAG IS FLAG",
                       -1, &stmt, nullptr);
    int n = 0;
    for (auto _ : state) {
        sqlite3_exec(fixture->raw, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        std::string text = "raw " + std::to_string(++n);
        sqlite3_bind_text(stmt, 1, text.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(stmt);
        sqlite3_reset(stmt);
        sqlite3_exec(fixture->raw, "COMMIT", nullptr, nullptr, nullptr);
    }
    sqlite3_finalize(stmt);
}

void BM_AppServerApplyOne(benchmark::State& state) {
    std::vector<Variant> req{Variant(u"pvdMain"), Variant::arrayOf({Variant(u"MPSMB.MB001 = 'R000500'"), Variant(u"")})};
    fixture->app->invoke("AS_DataRequest", req);
    auto recs = std::make_shared<Variant>(0);
    std::vector<Variant> get{Variant(u"pvdMain"), Variant(1), Variant::ref(recs), Variant(0)};
    DataPacket p = wire::decodeDataPacket(fixture->app->invoke("AS_GetRecords", get).asString());
    std::map<std::string, int> col;
    for (std::size_t i = 0; i < p.columns.size(); ++i) col[p.columns[i].name] = static_cast<int>(i);
    RowValues row = p.rows.at(0);
    int n = 0;
    for (auto _ : state) {
        DeltaRow d{UpdateKind::Modify, row, row, std::vector<bool>(row.size(), false)};
        d.current[col["MB007"]] = Variant(u"apply " + std::u16string(1, u'0' + (++n % 10)));
        d.changed[col["MB007"]] = true;
        d.current[col["FLAG"]] = Variant(static_cast<double>((row[col["FLAG"]].toInt() + 1) % 1000));
        d.changed[col["FLAG"]] = true;
        Delta delta{p.columns, {d}};
        auto errors = std::make_shared<Variant>(0);
        std::vector<Variant> args{Variant(u"pvdMain"), Variant(wire::encodeDelta(delta)), Variant(0), Variant::ref(errors)};
        ApplyResult r = wire::decodeApplyResult(fixture->app->invoke("AS_ApplyUpdates", args).asString());
        if (r.errorCount != 0) {
            state.SkipWithError("apply failed");
            break;
        }
        row = d.current;
    }
}

BENCHMARK(BM_LoopbackRoundTrip)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawFirst20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AppServerFirstPacket)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawReadAll)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_AppServerFetchAll)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RawApplyOne)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AppServerApplyOne)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Fixture f;
    fixture = &f;
    bench::RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto t = [&](const char* name) { return reporter.seconds(name); };
    double rtt = t("BM_LoopbackRoundTrip");
    if (rtt > 0) {
        bench::printRatio("appserver_first_packet", t("BM_AppServerFirstPacket"), t("BM_RawFirst20") + rtt);
        bench::printRatio("appserver_fetch_all", t("BM_AppServerFetchAll/iterations:5"), t("BM_RawReadAll/iterations:5"));
        bench::printRatio("appserver_apply_one", t("BM_AppServerApplyOne"), t("BM_RawApplyOne") + rtt);
    }
    fixture = nullptr;
    return 0;
}
