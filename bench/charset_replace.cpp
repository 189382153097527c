// The replace-all script with Russian texts over a 1 MiB UTF-8 page with 10,000 matches, against the
// same page and script in windows-1251 in this run. The script's texts are converted once per charset,
// so the two should cost about the same. Prints both medians and their ratio.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "bench/helpers/median_reporter.h"
#include "script/script_machine.h"
#include "text/charset_conversion.h"

namespace {

constexpr std::size_t kPageSize = 1 << 20;
constexpr int kMatches = 10'000;
const std::string kWord = "слово";
const std::string kReplacement = "другое";

class NullLog : public kiosk::LogWriter {
public:
    void WriteLog(kiosk::LogLevel, std::string_view) override {}
};

// Scripts search only up to the document's original length and each replacement is longer, so the
// last bytes of the page hold no match.
constexpr std::size_t kTrailer = 32 << 10;

// HTML paragraphs of markup and Latin filler with one Russian word each: the bytes around the matches
// are the same in both charsets, so the pages differ in their matches alone.
std::string MakeUtf8Page() {
    const std::string head = "<html><body>\n";
    const std::string tail = "</body></html>\n";
    const std::size_t share = (kPageSize - head.size() - tail.size() - kTrailer) / kMatches;
    const std::string filler = "<p class=\"text\">lorem ipsum dolor sit amet, consectetur adipiscing elit ";
    std::string page = head;
    for (int i = 0; i < kMatches; ++i) {
        std::string paragraph = filler + kWord;
        while (paragraph.size() + 5 < share) paragraph += " x";
        paragraph.resize(share - 5, ' ');
        page += paragraph + "</p>\n";
    }
    page.append(kPageSize - page.size() - tail.size(), '\n');
    return page + tail;
}

// label A, text слово, continue, try B, replace другое, goto A, label B
const kiosk::DocumentScript& ReplaceAllScript() {
    static const kiosk::DocumentScript script{"bench",
                                              {{kiosk::opLabel, "A"},
                                               {kiosk::opText, kWord},
                                               {kiosk::opContinue, ""},
                                               {kiosk::opTry, "6"},
                                               {kiosk::opReplace, kReplacement},
                                               {kiosk::opGoto, "0"},
                                               {kiosk::opLabel, "B"}}};
    return script;
}

struct Pages {
    Pages() : utf8(MakeUtf8Page()), cp1251(kiosk::EncodeUtf8(utf8, "windows-1251").bytes) {}
    std::string utf8;
    std::string cp1251;
};

const Pages& Shared() {
    static const Pages pages;
    return pages;
}

std::string Rewrite(const std::string& page, const char* charset) {
    NullLog log;
    std::string text = page;
    kiosk::RunScript(ReplaceAllScript(), text, true, kiosk::ScriptEnvironment{log, {}, charset});
    return text;
}

void BM_Utf8Page(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(Rewrite(Shared().utf8, "UTF-8"));
}

void BM_Cp1251Page(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(Rewrite(Shared().cp1251, "windows-1251"));
}

BENCHMARK(BM_Utf8Page)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cp1251Page)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

std::string ReplaceEvery(std::string text, const std::string& word, const std::string& by) {
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + by.size())) {
        text.replace(at, word.size(), by);
    }
    return text;
}

int CountMatches(const std::string& page) {
    int count = 0;
    for (std::size_t at = page.find(kWord); at != std::string::npos; at = page.find(kWord, at + 1)) ++count;
    return count;
}

// Both runs must replace every match, each in its page's own charset.
bool BothReplaceEveryMatch() {
    const Pages& pages = Shared();
    const std::string cpWord = kiosk::EncodeUtf8(kWord, "windows-1251").bytes;
    const std::string cpReplacement = kiosk::EncodeUtf8(kReplacement, "windows-1251").bytes;
    return pages.utf8.size() == kPageSize && CountMatches(pages.utf8) == kMatches &&
           Rewrite(pages.utf8, "UTF-8") == ReplaceEvery(pages.utf8, kWord, kReplacement) &&
           Rewrite(pages.cp1251, "windows-1251") == ReplaceEvery(pages.cp1251, cpWord, cpReplacement);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!BothReplaceEveryMatch()) {
        std::fprintf(stderr, "a run did not replace every match in its page's charset\n");
        return 1;
    }
    kiosk::bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto& medians = reporter.medians();
    const double utf8 = medians.count("BM_Utf8Page") ? medians.at("BM_Utf8Page") : 0;
    const double cp1251 = medians.count("BM_Cp1251Page") ? medians.at("BM_Cp1251Page") : 0;
    if (utf8 > 0 && cp1251 > 0) {
        std::printf("pages: UTF-8 %zu bytes, windows-1251 %zu bytes\n", Shared().utf8.size(),
                    Shared().cp1251.size());
        std::printf("median: UTF-8 page %.3f ms, windows-1251 page %.3f ms, UTF-8/windows-1251 %.2f\n", utf8,
                    cp1251, utf8 / cp1251);
    }
    return 0;
}
