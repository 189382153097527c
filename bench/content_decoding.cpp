// Decoding a 1 MiB page compressed by the real brotli and zstd tools with DecodeContent, against
// `brotli -d -c` and `zstd -d -c` decoding the same files to /dev/null in the same run. Prints the
// medians and the ratio for each (the aim: at most 1.0).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>

#include "bench/helpers/html_page.h"
#include "bench/helpers/median_reporter.h"
#include "proxy/filter/content_decoding.h"

namespace {

constexpr size_t kPageSize = size_t{1} << 20;

std::string MakePage() {
    return kiosk::bench::MakeHtmlPage(kPageSize);
}

using kiosk::bench::ReadWholeFile;

// A fresh directory holding page.html.br and page.html.zst, made by the brotli and zstd tools with
// their default levels; removed at exit.
class PageFiles {
public:
    PageFiles() {
        char pattern[] = "/tmp/bench_content_decoding_XXXXXX";
        if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
        dir_ = pattern;
        const std::string page = (dir_ / "page.html").string();
        std::ofstream(page, std::ios::binary) << MakePage();
        const std::string command = "brotli -k -f '" + page + "' && zstd -q -k -f '" + page + "'";
        if (std::system(command.c_str()) != 0) throw std::runtime_error("brotli or zstd failed");
        brotli_ = ReadWholeFile(brotliPath());
        zstd_ = ReadWholeFile(zstdPath());
    }
    PageFiles(const PageFiles&) = delete;
    PageFiles& operator=(const PageFiles&) = delete;
    ~PageFiles() { std::filesystem::remove_all(dir_); }

    std::filesystem::path brotliPath() const { return dir_ / "page.html.br"; }
    std::filesystem::path zstdPath() const { return dir_ / "page.html.zst"; }
    const std::string& brotli() const { return brotli_; }
    const std::string& zstd() const { return zstd_; }

private:
    std::filesystem::path dir_;
    std::string brotli_;
    std::string zstd_;
};

PageFiles& Pages() {
    static PageFiles pages;
    return pages;
}

void Decode(benchmark::State& state, const char* contentEncoding, const std::string& body) {
    for (auto _ : state) {
        kiosk::DecodedContent result = kiosk::DecodeContent(contentEncoding, body);
        if (result.status != kiosk::DecodingStatus::Complete || result.output.size() != kPageSize)
            state.SkipWithError("wrong decoding");
        benchmark::DoNotOptimize(result.output.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kPageSize));
}

// Runs "tool -d -c file" with its output to /dev/null.
void RunDecodingTool(const char* tool, const std::string& file) {
    kiosk::bench::RunDiscardingOutput({tool, "-d", "-c", file});
}

void Tool(benchmark::State& state, const char* tool, const std::string& file) {
    for (auto _ : state) RunDecodingTool(tool, file);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kPageSize));
}

void BM_DecodeBrotli(benchmark::State& state) {
    Decode(state, "br", Pages().brotli());
}
void BM_BrotliTool(benchmark::State& state) {
    Tool(state, "brotli", Pages().brotliPath().string());
}
void BM_DecodeZstd(benchmark::State& state) {
    Decode(state, "zstd", Pages().zstd());
}
void BM_ZstdTool(benchmark::State& state) {
    Tool(state, "zstd", Pages().zstdPath().string());
}

BENCHMARK(BM_DecodeBrotli)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly();
BENCHMARK(BM_BrotliTool)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly();
BENCHMARK(BM_DecodeZstd)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly();
BENCHMARK(BM_ZstdTool)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly();

void PrintRatio(const std::map<std::string, double>& medians, const char* ours, const char* tool) {
    if (!medians.count(ours) || !medians.count(tool)) return;
    std::printf("median %s %.2f ms, %s %.2f ms, ratio %.2f (aim: at most 1.0)\n", ours, medians.at(ours),
                tool, medians.at(tool), medians.at(ours) / medians.at(tool));
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::printf("page %zu bytes: br %zu bytes, zstd %zu bytes\n", kPageSize, Pages().brotli().size(),
                Pages().zstd().size());
    kiosk::bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatio(reporter.medians(), "BM_DecodeBrotli", "BM_BrotliTool");
    PrintRatio(reporter.medians(), "BM_DecodeZstd", "BM_ZstdTool");
    benchmark::Shutdown();
    return 0;
}
