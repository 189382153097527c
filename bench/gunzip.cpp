// Decoding a 20 MiB gzip page with GunzipStream, against zcat decoding the same file to /dev/null in
// the same run. Prints both medians and their ratio (the aim: at most 1.2).

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
#include <vector>

#include "bench/helpers/html_page.h"
#include "bench/helpers/median_reporter.h"
#include "proxy/filter/gunzip.h"

namespace {

constexpr size_t kPageSize = size_t{20} << 20;

std::string MakePage() {
    return kiosk::bench::MakeHtmlPage(kPageSize);
}

using kiosk::bench::ReadWholeFile;

// A fresh directory holding page.html.gz, made by the gzip tool; removed at exit.
class PageFile {
public:
    PageFile() {
        char pattern[] = "/tmp/bench_gunzip_XXXXXX";
        if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
        dir_ = pattern;
        std::ofstream(dir_ / "page.html", std::ios::binary) << MakePage();
        const std::string command = "/bin/gzip -f '" + (dir_ / "page.html").string() + "'";
        if (std::system(command.c_str()) != 0) throw std::runtime_error("gzip failed");
        gzipped_ = ReadWholeFile(path());
    }
    PageFile(const PageFile&) = delete;
    PageFile& operator=(const PageFile&) = delete;
    ~PageFile() { std::filesystem::remove_all(dir_); }

    std::filesystem::path path() const { return dir_ / "page.html.gz"; }
    const std::string& gzipped() const { return gzipped_; }

private:
    std::filesystem::path dir_;
    std::string gzipped_;
};

PageFile& Page() {
    static PageFile page;
    return page;
}

void BM_GunzipStream(benchmark::State& state) {
    const std::string& input = Page().gzipped();
    for (auto _ : state) {
        kiosk::GunzipResult result = kiosk::GunzipStream(input);
        if (result.error || result.output.size() != kPageSize) state.SkipWithError("wrong decoding");
        benchmark::DoNotOptimize(result.output.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kPageSize));
}

void RunZcat(const std::string& file) {
    kiosk::bench::RunDiscardingOutput({"zcat", file});
}

void BM_Zcat(benchmark::State& state) {
    const std::string file = Page().path().string();
    for (auto _ : state) RunZcat(file);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kPageSize));
}

BENCHMARK(BM_GunzipStream)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly();
BENCHMARK(BM_Zcat)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::printf("gzip file: %zu bytes, %zu bytes decoded\n", Page().gzipped().size(), kPageSize);
    kiosk::bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto& medians = reporter.medians();
    if (medians.count("BM_GunzipStream") && medians.count("BM_Zcat")) {
        const double ours = medians.at("BM_GunzipStream"), zcat = medians.at("BM_Zcat");
        std::printf("median GunzipStream %.1f ms, zcat %.1f ms, ratio %.2f (aim: at most 1.2)\n", ours, zcat,
                    ours / zcat);
    }
    benchmark::Shutdown();
    return 0;
}
