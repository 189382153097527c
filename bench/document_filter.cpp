// Throughput of the document filter: a 1 MiB text/html answer that three scripts rewrite.

#include <benchmark/benchmark.h>

#include <string>

#include "config/default_tables.h"
#include "proxy/filter/document_filter.h"

namespace kiosk {
namespace {

class SilentLog : public LogWriter {
public:
    void WriteLog(LogLevel, std::string_view) override {}
};

// None of the benchmark's scripts marks the page for the text-field poll.
std::string Page(size_t size) {
    std::string page = "<html><head><title>t</title></head><body>";
    for (int i = 0; page.size() < size; ++i) {
        page += "<div class=\"item\"><a href=\"/item/" + std::to_string(i) + "\">Item " + std::to_string(i) +
                "</a> some ordinary text of the page</div>\n";
    }
    return page + "</body></html>";
}

std::unique_ptr<DocumentScript> ReplaceAll(const std::string& from, const std::string& to) {
    auto script = std::make_unique<DocumentScript>();
    script->pattern = "bench.example/page";
    script->steps = {{opLabel, "L"},  {opText, from}, {opContinue, ""}, {opTry, "6"},
                     {opReplace, to}, {opGoto, "0"},  {opLabel, "E"}};
    return script;
}

void BM_FilterDocument(benchmark::State& state) {
    KeyValueTable options, errors;
    FillOptionTable(options);
    FillErrorTable(errors);
    DocumentScriptList scripts;
    scripts.push_back(ReplaceAll("class=\"item\"", "class=\"entry\""));
    scripts.push_back(ReplaceAll("ordinary", "plain"));
    scripts.push_back(ReplaceAll("</a>", "</a>&nbsp;"));
    SilentLog log;
    const std::string page = Page(1 << 20);
    for (auto _ : state) {
        ProxyConnection context;
        context.LastRequestHost = "bench.example";
        context.Document = "/page";
        context.Headers.Add("HTTP/1.1 200 OK");
        context.Headers.Add("Content-Type: text/html; charset=utf-8");
        context.Headers.Add("Content-Length: " + std::to_string(page.size()));
        std::string body = page;
        FilterDocument(context, body, {options, errors, scripts, log, {}, {}});
        benchmark::DoNotOptimize(body.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_FilterDocument)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kiosk

BENCHMARK_MAIN();
