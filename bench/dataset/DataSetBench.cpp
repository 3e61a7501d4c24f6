// Client data sets with 100,000 records of 39 fields: Locate by key and by
// two fields (hashed, after the index is built), re-sorting by a text
// column against std::stable_sort over the same keys, appending a 20-row
// packet at 1,000 and at 100,000 held rows, and posting one changed record.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <string>

#include "platform/core/CodePage.h"
#include "platform/db/ClientDataSet.h"

using namespace corvane;

namespace {

constexpr int kRecords = 100000;
const char* const kKinds[] = {"数控车床", "立式铣床", "摇臂钻床", "平面磨床", "冲压机", "注塑机",
                              "装配线", "焊接机器人", "喷涂线", "检测台", "激光切割机", "折弯机"};

std::vector<ColumnDef> columns() {
    std::vector<ColumnDef> cols;
    auto text = [&](const char* name, int size, std::uint32_t flags = 0) {
        cols.push_back(ColumnDef{name, FieldType::String, size, 0, 0, flags, {}});
    };
    auto number = [&](const std::string& name) { cols.push_back(ColumnDef{name, FieldType::Float, 0, 0, 0, 0, {}}); };
    text("MB001", 10, cfKey);
    text("MB002", 20);
    text("MB003", 6);
    text("MB003C", 20, cfReadOnly);
    number("MB004");
    number("MB005");
    text("MB006", 4);
    text("MB007", 255);
    for (const char* audit : {"COMPANY", "CREATOR", "USR_GROUP", "CREATE_DATE", "MODIFIER", "MODI_DATE"}) text(audit, 17);
    number("FLAG");
    char name[8];
    for (int i = 1; i <= 12; ++i) {
        std::snprintf(name, sizeof name, "UDF%02d", i);
        text(name, 255);
    }
    for (int i = 51; i <= 62; ++i) {
        std::snprintf(name, sizeof name, "UDF%02d", i);
        number(name);
    }
    return cols;  // 39 columns
}

std::u16string wide(const std::string& gbk) { return codePageToUtf16(gbk); }

std::string keyOf(int n) {
    char key[16];
    std::snprintf(key, sizeof key, "R%06d", n);
    return key;
}

// Rows first..first+count-1, as the server sends them (texts in UTF-16).
DataPacket packet(int first, int count) {
    static const std::vector<ColumnDef> cols = columns();
    std::mt19937 random(static_cast<unsigned>(first));
    DataPacket p;
    p.columns = cols;
    p.rows.reserve(static_cast<std::size_t>(count));
    for (int n = first; n < first + count; ++n) {
        RowValues row;
        row.reserve(cols.size());
        row.push_back(Variant(wide(keyOf(n))));
        row.push_back(Variant(wide(std::string(kKinds[random() % 12]) + std::to_string(random() % 100000) + "号")));
        std::string factory = "F0" + std::to_string(n % 3 + 1);
        row.push_back(Variant(wide(factory)));
        row.push_back(Variant(wide("第" + std::to_string(n % 3 + 1) + "工厂")));
        row.push_back(Variant(static_cast<double>(8 + n % 17)));
        row.push_back(Variant(static_cast<double>(8 + n % 9)));
        row.push_back(Variant(wide("小时")));
        row.push_back(Variant(n % 10 == 0 ? wide("设备检修中") : std::u16string()));
        for (const char* v : {"DEMO", "DS", "ADMIN", "20260106 09:30:00", "", ""}) row.push_back(Variant(wide(v)));
        row.push_back(Variant(1.0));
        for (int i = 0; i < 12; ++i) row.push_back(Variant(i < 2 ? wide("型号" + std::to_string(n % 50)) : std::u16string()));
        for (int i = 0; i < 12; ++i) row.push_back(i < 1 ? Variant(n * 0.5) : Variant::null());
        p.rows.push_back(std::move(row));
    }
    p.endOfData = true;
    return p;
}

const DataPacket& fullPacket() {
    static const DataPacket p = packet(0, kRecords);
    return p;
}

ClientDataSet& loaded() {
    static ClientDataSet* cds = [] {
        auto* d = new ClientDataSet("cdsMain");
        d->setData(fullPacket());
        return d;
    }();
    return *cds;
}

void BM_LocateKey(benchmark::State& state) {
    ClientDataSet& cds = loaded();
    cds.locate("MB001", Variant(keyOf(1)));  // builds the hash index
    std::vector<Variant> keys;
    std::mt19937 random(7);
    for (int i = 0; i < 4096; ++i) keys.push_back(Variant(keyOf(static_cast<int>(random() % kRecords))));
    std::size_t i = 0;
    for (auto _ : state) {
        bool found = cds.locate("MB001", keys[i++ & 4095]);
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_LocateKey);

void BM_LocateTwoFields(benchmark::State& state) {
    ClientDataSet& cds = loaded();
    std::vector<Variant> wanted;
    for (int i = 0; i < 4096; ++i) {
        cds.setRecNo(1 + (i * 24) % kRecords);
        wanted.push_back(Variant::arrayOf({cds.fieldByName("MB003").value(), cds.fieldByName("MB002").value()}));
    }
    cds.locate("MB003;MB002", wanted[0]);
    std::size_t i = 0;
    for (auto _ : state) {
        bool found = cds.locate("MB003;MB002", wanted[i++ & 4095]);
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_LocateTwoFields);

ClientDataSet& sortable() {
    static ClientDataSet* cds = [] {
        auto* d = new ClientDataSet("cdsSort");
        d->setData(fullPacket());
        return d;
    }();
    return *cds;
}

void BM_ResortByText(benchmark::State& state) {
    ClientDataSet& cds = sortable();
    for (auto _ : state) {
        state.PauseTiming();
        cds.setIndexFieldNames("");
        state.ResumeTiming();
        cds.setIndexFieldNames("MB002");
    }
}
BENCHMARK(BM_ResortByText)->Iterations(10)->Unit(benchmark::kMillisecond);

void BM_StableSortAnchor(benchmark::State& state) {
    ClientDataSet& cds = sortable();
    cds.setIndexFieldNames("");
    std::vector<std::string> keys;
    for (int i = 0; i < cds.recordCount(); ++i)
        keys.push_back(cds.withRecordAt(i, [&] { return cds.fieldByName("MB002").asString(); }));
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string> copy = keys;
        state.ResumeTiming();
        std::stable_sort(copy.begin(), copy.end());
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_StableSortAnchor)->Iterations(10)->Unit(benchmark::kMillisecond);

// Time per 20-row packet with `held` rows already held: batches of 50
// packets timed by hand, the data set reloaded between batches. (The row
// lists keep a quarter of their size in reserve, so growing them is
// amortised over many packets and a batch measures the per-packet work.)
void BM_AppendPacket(benchmark::State& state) {
    const int held = static_cast<int>(state.range(0));
    constexpr int kPackets = 50;
    DataPacket base = packet(0, held);
    std::vector<DataPacket> packets;
    for (int i = 0; i < kPackets; ++i) packets.push_back(packet(kRecords + i * 20, 20));
    ClientDataSet cds("cdsMain");
    for (auto _ : state) {
        cds.setData(base);
        cds.locate("MB001", Variant(keyOf(0)));  // a hash index kept up to date too
        auto start = std::chrono::steady_clock::now();
        for (const DataPacket& p : packets) cds.appendData(p);
        auto elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(elapsed / kPackets);
    }
}
// Few iterations: each reloads the data set, which takes far longer than
// the appends it times.
BENCHMARK(BM_AppendPacket)->Arg(1000)->Arg(100000)->UseManualTime()->Iterations(40)->Unit(benchmark::kMicrosecond);

void BM_PostOneChangedRecord(benchmark::State& state) {
    ClientDataSet& cds = loaded();
    cds.locate("MB001", Variant(keyOf(50000)));
    Field& capacity = cds.fieldByName("MB004");
    double value = 1;
    for (auto _ : state) {
        cds.edit();
        capacity.setAsFloat(value += 1);
        cds.post();
    }
}
BENCHMARK(BM_PostOneChangedRecord);

// Keeps each run's time per iteration (ns) for the closing figures.
class FigureReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // CPU time: the machine may be shared; manual timings are wall time.
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            bool manual = run.benchmark_name().find("manual_time") != std::string::npos;
            double t = manual ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime();
            times[run.benchmark_name()] = t * multiplier(run.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    static double multiplier(benchmark::TimeUnit unit) {
        switch (unit) {
        case benchmark::kSecond: return 1e9;
        case benchmark::kMillisecond: return 1e6;
        case benchmark::kMicrosecond: return 1e3;
        default: return 1;
        }
    }
    std::map<std::string, double> times;
};

double find(const std::map<std::string, double>& times, const std::string& prefix) {
    for (const auto& [name, ns] : times)
        if (name.rfind(prefix, 0) == 0) return ns;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto& t = reporter.times;
    double locate = find(t, "BM_LocateKey");
    double resort = find(t, "BM_ResortByText");
    double anchor = find(t, "BM_StableSortAnchor");
    double append1k = find(t, "BM_AppendPacket/1000/");
    double append100k = find(t, "BM_AppendPacket/100000/");
    if (locate > 0) std::printf("FIGURE dataset_locate_key_ns %.0f ns\n", locate);
    if (double two = find(t, "BM_LocateTwoFields"); two > 0) std::printf("FIGURE dataset_locate_two_fields_ns %.0f ns\n", two);
    if (double post = find(t, "BM_PostOneChangedRecord"); post > 0) std::printf("FIGURE dataset_post_one_ns %.0f ns\n", post);
    if (resort > 0 && anchor > 0) std::printf("RATIO dataset_resort %.2f\n", resort / anchor);
    if (append1k > 0 && append100k > 0) std::printf("RATIO dataset_append_packet_100k_vs_1k %.2f\n", append100k / append1k);
    return 0;
}
