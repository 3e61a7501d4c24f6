// Code-page conversion beside iconv(3) on the same generated texts: 50 MB
// of mixed ASCII and Chinese, 50 MB of Chinese only, and the variant walk
// over a 100,000 x 12 array of texts.

#include <iconv.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench/support/BenchReport.h"
#include "config/LibStrs.h"
#include "platform/core/CodePage.h"

namespace {

using namespace corvane;

constexpr std::size_t kTextBytes = 50u << 20;

// A random GB2312 hanzi (lead B0..F7, trail A1..FE; D7FA..D7FE are
// unassigned) as GBK bytes.
void appendHanzi(std::string& out, std::mt19937& random) {
    unsigned lead = 0xB0 + random() % 0x48;
    unsigned trail = 0xA1 + random() % (lead == 0xD7 ? 0x59 : 0x5E);
    out.push_back(static_cast<char>(lead));
    out.push_back(static_cast<char>(trail));
}

std::string mixedText(std::size_t bytes) {
    std::mt19937 random(7);
    std::string text;
    text.reserve(bytes + 16);
    static const char* kWords[] = {"MB001 ", "resource ", "R0042 ", "capacity=12.5 ", "factory ", "\r\n"};
    while (text.size() < bytes) {
        if (random() % 2)
            text += kWords[random() % 6];
        else
            for (int n = 1 + random() % 6; n > 0; --n) appendHanzi(text, random);
    }
    text.resize(bytes & ~std::size_t{1});
    while (!text.empty() && static_cast<unsigned char>(text.back()) >= 0x80 &&
           (text.size() < 2 || static_cast<unsigned char>(text[text.size() - 2]) < 0x80))
        text.pop_back();  // do not end inside a character
    return text;
}

std::string hanziText(std::size_t bytes) {
    std::mt19937 random(11);
    std::string text;
    text.reserve(bytes);
    while (text.size() + 2 <= bytes) appendHanzi(text, random);
    return text;
}

const std::string& mixed() {
    static const std::string text = mixedText(kTextBytes);
    return text;
}

const std::string& hanzi() {
    static const std::string text = hanziText(kTextBytes);
    return text;
}

const std::u16string& mixedWide() {
    static const std::u16string text = codePageToUtf16(mixed(), CP_GBK);
    return text;
}

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() { iconv_close(cd_); }
    // Converts all of in into out (sized by the caller); bytes written.
    std::size_t convert(const void* in, std::size_t inBytes, void* out, std::size_t outBytes) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(static_cast<const char*>(in));
        char* dst = static_cast<char*>(out);
        std::size_t left = outBytes;
        iconv(cd_, &src, &inBytes, &dst, &left);
        return outBytes - left;
    }

private:
    iconv_t cd_;
};

void setBytes(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_GbkToUtf16_Ours(benchmark::State& state, const std::string* text) {
    for (auto _ : state) benchmark::DoNotOptimize(codePageToUtf16(*text, CP_GBK));
    setBytes(state, text->size());
}

// Bulk conversion into a buffer that is kept between calls.
void BM_GbkToUtf16_OursReused(benchmark::State& state, const std::string* text) {
    std::u16string out;
    out.reserve(text->size());
    for (auto _ : state) {
        out.clear();
        appendUtf16(*text, CP_GBK, out);
        benchmark::DoNotOptimize(out.data());
    }
    setBytes(state, text->size());
}

void BM_GbkToUtf16_IconvReused(benchmark::State& state, const std::string* text) {
    Iconv cd("UTF-16LE", "CP936");
    std::u16string out(text->size(), u'\0');
    for (auto _ : state) benchmark::DoNotOptimize(cd.convert(text->data(), text->size(), out.data(), out.size() * 2));
    setBytes(state, text->size());
}

void BM_GbkToUtf16_Iconv(benchmark::State& state, const std::string* text) {
    Iconv cd("UTF-16LE", "CP936");
    for (auto _ : state) {
        std::u16string out(text->size(), u'\0');  // the same allocation our result makes
        benchmark::DoNotOptimize(cd.convert(text->data(), text->size(), out.data(), out.size() * 2));
    }
    setBytes(state, text->size());
}

void BM_Utf16ToGbk_Ours(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(utf16ToCodePage(mixedWide(), CP_GBK));
    setBytes(state, mixed().size());
}

void BM_Utf16ToGbk_Iconv(benchmark::State& state) {
    Iconv cd("CP936", "UTF-16LE");
    for (auto _ : state) {
        std::string out(mixedWide().size() * 2, '\0');
        benchmark::DoNotOptimize(cd.convert(mixedWide().data(), mixedWide().size() * 2, out.data(), out.size()));
    }
    setBytes(state, mixed().size());
}

// 100,000 rows of 12 texts cut from the mixed text.
const Variant& textGrid() {
    static const Variant grid = [] {
        Variant rows = Variant::array(0, 99999);
        std::size_t at = 0;
        for (int r = 0; r <= 99999; ++r) {
            Variant row = Variant::array(0, 11);
            for (int c = 0; c < 12; ++c) {
                std::size_t length = 8 + (r * 12 + c) % 24;
                if (at + length > mixed().size()) at = 0;
                std::string cell = mixed().substr(at, length);
                if (!cell.empty() && static_cast<unsigned char>(cell.back()) >= 0x80) cell.pop_back();
                row.at(c) = std::move(cell);
                at += length;
            }
            rows.at(r) = std::move(row);
        }
        return rows;
    }();
    return grid;
}

void BM_VariantWalk_Ours(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(VarCodePageToWide(textGrid(), CP_GBK));
}

// The same walk with iconv converting each text.
void BM_VariantWalk_Iconv(benchmark::State& state) {
    Iconv cd("UTF-16LE", "CP936");
    for (auto _ : state) {
        Variant rows = Variant::array(0, 99999);
        for (int r = 0; r <= 99999; ++r) {
            const Variant& source = textGrid()[r];
            Variant row = Variant::array(0, 11);
            for (int c = 0; c < 12; ++c) {
                const std::string& cell = source[c].asString();
                std::u16string out(cell.size(), u'\0');
                std::size_t bytes = cd.convert(cell.data(), cell.size(), out.data(), out.size() * 2);
                out.resize(bytes / 2);
                row.at(c) = std::move(out);
            }
            rows.at(r) = std::move(row);
        }
        benchmark::DoNotOptimize(rows);
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("gbk_to_utf16/mixed/ours", BM_GbkToUtf16_Ours, &mixed())->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("gbk_to_utf16/mixed/iconv", BM_GbkToUtf16_Iconv, &mixed())->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("gbk_to_utf16/hanzi/ours", BM_GbkToUtf16_Ours, &hanzi())->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("gbk_to_utf16/hanzi/iconv", BM_GbkToUtf16_Iconv, &hanzi())->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("gbk_to_utf16_reused/mixed/ours", BM_GbkToUtf16_OursReused, &mixed())->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("gbk_to_utf16_reused/mixed/iconv", BM_GbkToUtf16_IconvReused, &mixed())->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("gbk_to_utf16_reused/hanzi/ours", BM_GbkToUtf16_OursReused, &hanzi())->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("gbk_to_utf16_reused/hanzi/iconv", BM_GbkToUtf16_IconvReused, &hanzi())->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("utf16_to_gbk/mixed/ours", BM_Utf16ToGbk_Ours)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("utf16_to_gbk/mixed/iconv", BM_Utf16ToGbk_Iconv)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("variant_walk/100000x12/ours", BM_VariantWalk_Ours)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("variant_walk/100000x12/iconv", BM_VariantWalk_Iconv)->Unit(benchmark::kMillisecond);

    // Build the inputs before timing, and check that iconv takes them whole
    // (it stops at the first byte it cannot map).
    Iconv check("UTF-16LE", "CP936");
    for (const std::string* text : {&mixed(), &hanzi()}) {
        std::u16string out(text->size(), u'\0');
        if (check.convert(text->data(), text->size(), out.data(), out.size() * 2) / 2 !=
            codePageToUtf16(*text, CP_GBK).size()) {
            std::fprintf(stderr, "iconv did not convert the whole generated text\n");
            return 1;
        }
    }
    mixedWide();
    textGrid();

    benchmark::Initialize(&argc, argv);
    corvane::bench::RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    using corvane::bench::printFigure;
    using corvane::bench::printRatio;
    printRatio("codepage_gbk_to_utf16_mixed", reporter.seconds("gbk_to_utf16/mixed/ours"),
               reporter.seconds("gbk_to_utf16/mixed/iconv"));
    printRatio("codepage_utf16_to_gbk_mixed", reporter.seconds("utf16_to_gbk/mixed/ours"),
               reporter.seconds("utf16_to_gbk/mixed/iconv"));
    printRatio("codepage_variant_walk", reporter.seconds("variant_walk/100000x12/ours"),
               reporter.seconds("variant_walk/100000x12/iconv"));
    auto megabytesPerSecond = [&](const char* run) {
        double s = reporter.seconds(run);
        return s > 0 ? static_cast<double>(hanzi().size()) / s / 1e6 : 0.0;
    };
    // Conversion speed into a kept buffer; the second figure adds a fresh
    // result string per call (page faults of the new memory included).
    printFigure("codepage_gbk_to_utf16_hanzi", megabytesPerSecond("gbk_to_utf16_reused/hanzi/ours"), "MB/s");
    printFigure("codepage_gbk_to_utf16_hanzi_new_string", megabytesPerSecond("gbk_to_utf16/hanzi/ours"), "MB/s");
    return 0;
}
