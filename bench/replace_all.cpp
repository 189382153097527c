// The replace-all script over a 1 MiB page with 10,000 matches, against GNU sed doing the same
// substitution on the same page in this run. Prints both medians and their ratio.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>

#include "bench/helpers/median_reporter.h"
#include "script/script_machine.h"

extern char** environ;

namespace {

constexpr std::size_t kPageSize = 1 << 20;
constexpr int kMatches = 10'000;

class NullLog : public kiosk::LogWriter {
public:
    void WriteLog(kiosk::LogLevel, std::string_view) override {}
};

// Scripts search only up to the document's original length, and each replacement is a byte longer,
// so the last kMatches bytes of the page hold no match; sed and the script then give the same page.
constexpr std::size_t kTrailer = 16 << 10;

// HTML paragraphs of filler with "word" spread evenly; exactly kMatches of them in kPageSize bytes.
std::string MakePage() {
    const std::string head = "<html><body>\n";
    const std::string tail = "</body></html>\n";
    const std::size_t share = (kPageSize - head.size() - tail.size() - kTrailer) / kMatches;
    const std::string filler = "<p>lorem ipsum dolor sit amet, consectetur adipiscing elit ";
    std::string page = head;
    for (int i = 0; i < kMatches; ++i) {
        std::string paragraph = filler + "word";
        while (paragraph.size() + 5 < share) paragraph += " x";
        paragraph.resize(share - 5, ' ');
        page += paragraph + "</p>\n";
    }
    page.append(kPageSize - page.size() - tail.size(), '\n');
    return page + tail;
}

int CountMatches(const std::string& page) {
    int count = 0;
    for (std::size_t at = page.find("word"); at != std::string::npos; at = page.find("word", at + 1)) ++count;
    return count;
}

// label A, text word, continue, try B, replace other, goto A, label B
kiosk::DocumentScript ReplaceAllScript() {
    return {"bench",
            {{kiosk::opLabel, "A"},
             {kiosk::opText, "word"},
             {kiosk::opContinue, ""},
             {kiosk::opTry, "6"},
             {kiosk::opReplace, "other"},
             {kiosk::opGoto, "0"},
             {kiosk::opLabel, "B"}}};
}

struct Fixture {
    Fixture() : page(MakePage()) {
        char name[] = "/tmp/bench_replace_all.XXXXXX";
        const int fd = ::mkstemp(name);
        if (fd < 0) throw std::runtime_error("no temporary file");
        ::close(fd);
        path = name;
        std::ofstream(path, std::ios::binary) << page;
    }
    ~Fixture() { std::remove(path.c_str()); }
    std::string page;
    std::string path;
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

std::string RunOurs(const std::string& page) {
    NullLog log;
    const kiosk::DocumentScript script = ReplaceAllScript();
    std::string text = page;
    kiosk::RunScript(script, text, true, kiosk::ScriptEnvironment{log, {}});
    return text;
}

// sed 's/word/other/g' file > output
void RunSed(const std::string& input, const char* output) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const char* argv[] = {"sed", "s/word/other/g", input.c_str(), nullptr};
    pid_t pid = 0;
    const int error = ::posix_spawnp(&pid, "sed", &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (error != 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("sed failed");
    }
}

void BM_ReplaceAllScript(benchmark::State& state) {
    const std::string& page = Shared().page;
    for (auto _ : state) benchmark::DoNotOptimize(RunOurs(page));
}

void BM_Sed(benchmark::State& state) {
    const std::string& path = Shared().path;
    for (auto _ : state) RunSed(path, "/dev/null");
}

BENCHMARK(BM_ReplaceAllScript)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sed)->Repetitions(9)->ReportAggregatesOnly(true)->UseRealTime()->Unit(benchmark::kMillisecond);

// The script must do what sed does, on a page with exactly the intended matches.
bool SameResultAsSed() {
    Fixture& fixture = Shared();
    const std::string output = fixture.path + ".sed";
    RunSed(fixture.path, output.c_str());
    std::ifstream in(output, std::ios::binary);
    const std::string expected((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(output.c_str());
    return CountMatches(fixture.page) == kMatches && fixture.page.size() == kPageSize &&
           RunOurs(fixture.page) == expected;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!SameResultAsSed()) {
        std::fprintf(stderr, "the page or the script's result is not what sed gives\n");
        return 1;
    }
    kiosk::bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto& medians = reporter.medians();
    const double ours = medians.count("BM_ReplaceAllScript") ? medians.at("BM_ReplaceAllScript") : 0;
    const double sed = medians.count("BM_Sed") ? medians.at("BM_Sed") : 0;
    if (ours > 0 && sed > 0) {
        std::printf("median: script %.3f ms, sed %.3f ms, script/sed %.2f\n", ours, sed, ours / sed);
    }
    return 0;
}
