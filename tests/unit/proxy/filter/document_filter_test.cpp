#include "proxy/filter/document_filter.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <filesystem>

#include "config/default_tables.h"
#include "tests/support/recording_log.h"
#include "tests/support/temp_dir.h"

namespace kiosk::testing {
namespace {

using Lines = std::vector<std::string>;

std::string Gzip(const std::string& data) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, data.size()) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

class FilterTest : public ::testing::Test {
protected:
    FilterTest() {
        FillOptionTable(options);
        FillErrorTable(errors);
        context.LastRequestHost = "h";
        context.Document = "/a";
    }

    // A script of the given pattern that replaces every `from` by `to`.
    void AddReplaceScript(const std::string& pattern, const std::string& from, const std::string& to) {
        auto script = std::make_unique<DocumentScript>();
        script->pattern = pattern;
        script->steps = {{opLabel, "L"},  {opText, from}, {opContinue, ""}, {opTry, "6"},
                         {opReplace, to}, {opGoto, "0"},  {opLabel, "E"}};
        scripts.push_back(std::move(script));
    }
    void AddScript(const std::string& pattern, std::vector<ScriptStep> steps) {
        auto script = std::make_unique<DocumentScript>();
        script->pattern = pattern;
        script->steps = std::move(steps);
        scripts.push_back(std::move(script));
    }
    void Answer(Lines lines) {
        context.Headers.Clear();
        for (auto& line : lines) context.Headers.Add(line);
    }
    void Filter(std::string& body) {
        FilterDocument(context, body, {options, errors, scripts, log, [this] { ++pollStarts; }, dir.str()});
    }
    void SetOption(KeyValueTable& table, const char* key, const std::string& value) {
        table.SetValueAt(table.IndexOfName(key), value);
    }
    Lines HeaderLines() const { return context.Headers.Lines(); }

    TempDir dir;
    KeyValueTable options;
    KeyValueTable errors;
    DocumentScriptList scripts;
    RecordingLog log;
    std::atomic<int> pollStarts{0};
    ProxyConnection context;
};

TEST_F(FilterTest, AnswersThatAreNotFilteredStayUntouched) {
    AddReplaceScript("h/a", "x", "y");
    const Lines cases[] = {
        {"HTTP/1.1 302 Found", "Content-Type: text/html"},
        {"HTTP/1.1 500 Internal Server Error", "Content-Type: image/png"},
        {"HTTP/1.1 402 Payment Required", "Content-Type: text/html"},
        {"HTTP/1.1 404 Not Found", "Content-Type: text/css"},  // a missing style sheet stays missing
        {"HTTP/1.1", "Content-Type: text/html"},               // no status code
        {"HTTP/1.1 201 Created", "Content-Type: text/html"},
    };
    for (const Lines& headers : cases) {
        Answer(headers);
        EXPECT_FALSE(WantsDocument(context, scripts)) << headers[0];  // so it passes as it arrives
        std::string body = "xxx";
        Filter(body);
        EXPECT_EQ(body, "xxx") << headers[0];
        EXPECT_EQ(HeaderLines(), headers);
    }
    Answer({"HTTP/1.1 404 Not Found", "Content-Type: text/html"});
    std::string empty;
    Filter(empty);
    EXPECT_EQ(HeaderLines().size(), 2u);
    EXPECT_TRUE(log.Entries().empty());
}

// The proxy asks before the body: only the answers the filter may change are read whole.
TEST_F(FilterTest, TheBodyIsWantedForErrorAnswersAndForPagesAPatternNamesExactly) {
    AddReplaceScript("h/a?x=1", "x", "y");
    const std::pair<Lines, bool> cases[] = {
        {{"HTTP/1.1 404 Not Found", "Content-Type: text/html"}, true},
        {{"HTTP/1.1 503 Unavailable", "Content-Type: application/x-javascript"}, true},
        {{"HTTP/1.1 200 OK", "Content-Type: text/plain; charset=utf-8", "Content-Encoding: gzip"}, true},
        {{"HTTP/1.1 200 OK", "Content-Type: image/png"}, false},
    };
    context.Document = "/a?x=1";
    for (const auto& [headers, wanted] : cases) {
        Answer(headers);
        EXPECT_EQ(WantsDocument(context, scripts), wanted) << headers[0] << " " << headers[1];
    }
    context.Document = "/a";  // the pattern contains the key but is not equal to it
    Answer({"HTTP/1.1 200 OK", "Content-Type: text/html"});
    EXPECT_FALSE(WantsDocument(context, scripts));
    Answer({"HTTP/1.1 404 Not Found", "Content-Type: text/html"});
    EXPECT_TRUE(WantsDocument(context, scripts));
}

TEST_F(FilterTest, AnErrorAnswerBecomesTheDocumentPage) {
    WriteFile(dir / "notfound.html", "<p>Нет такой страницы</p>");
    SetOption(errors, "document", "notfound.html");
    context.Document = "/missing.html";
    Answer({"HTTP/1.1 404 Not Found", "Content-Type: text/html; charset=utf-8", "Content-Length: 9"});
    std::string body = "not found";
    Filter(body);
    EXPECT_EQ(body, "<p>Нет такой страницы</p>");
    EXPECT_EQ(HeaderLines(),
              (Lines{"HTTP/1.1 200 OK", "Content-Type: text/html",
                     "Content-Length: " + std::to_string(body.size()), "Content-Encoding: identity"}));
    EXPECT_EQ(log.Entries(), (Lines{"E h/missing.html: HTTP/1.1 404 Not Found > notfound.html"}));
}

TEST_F(FilterTest, WithoutADocumentPageAnErrorAnswerIsOnlyDecodedAndLogged) {
    Answer({"HTTP/1.0 403 Forbidden", "Content-Type: text/plain", "Content-Encoding: gzip"});
    std::string body = Gzip("forbidden");
    Filter(body);
    EXPECT_EQ(body, "forbidden");
    EXPECT_EQ(HeaderLines(), (Lines{"HTTP/1.0 403 Forbidden", "Content-Type: text/plain",
                                    "Content-Encoding: identity", "Content-Length: 9"}));
    EXPECT_EQ(log.Entries(), (Lines{"E h/a: HTTP/1.0 403 Forbidden"}));
}

TEST_F(FilterTest, OnlyAnEqualPatternMakesAPageEligibleThenEveryContainingPatternRuns) {
    AddReplaceScript("h/a", "1", "2");
    AddReplaceScript("h/a?x=1", "2", "3");
    AddReplaceScript("other", "3", "4");
    Answer({"HTTP/1.1 200 OK", "Content-Type: text/html"});
    std::string body = "111";
    Filter(body);
    EXPECT_EQ(body, "333");  // both scripts, in file order, the second over the first's output

    context.Document = "/a?x=1";
    body = "111";
    Filter(body);
    EXPECT_EQ(body, "111");  // "h/a" does not contain the key; "h/a?x=1" does but replaces only 2s

    context.Document = "/";
    body = "111";
    Answer({"HTTP/1.1 200 OK", "Content-Type: text/html"});
    Filter(body);
    EXPECT_EQ(body, "111");  // "h/" is contained in patterns but equals none
    EXPECT_EQ(HeaderLines().size(), 2u);
}

TEST_F(FilterTest, AGzipPageLeavesDecodedWhetherOrNotAScriptChangedIt) {
    AddReplaceScript("h/a", "absent", "x");
    Answer({"HTTP/1.1 200 OK", "Content-Type: text/html", "Content-Encoding: gzip", "Content-Length: 99"});
    std::string body = Gzip("<html>plain</html>");
    Filter(body);
    EXPECT_EQ(body, "<html>plain</html>");
    EXPECT_EQ(context.Headers.Value("Content-Encoding"), "identity");
    EXPECT_EQ(context.Headers.Value("Content-Length"), "18");

    // Written without a blank the encoding is read all the same.
    Answer({"HTTP/1.1 200 OK", "Content-Type: text/html", "Content-Encoding:gzip"});
    body = Gzip("<html>plain</html>");
    Filter(body);
    EXPECT_EQ(body, "<html>plain</html>");
    EXPECT_EQ(context.Headers.Value("Content-Encoding"), "identity");
}

// A body the filter cannot decode is never labelled "identity": it goes as it came, with one error
// entry; an error answer the "document" page replaces needs no decoding.
TEST_F(FilterTest, AnEncodingTheFilterCannotDecodeLeavesTheAnswerAsItCame) {
    AddReplaceScript("h/a", "x", "y");
    WriteFile(dir / "notfound.html", "<p>gone</p>");
    const Lines unknown = {"HTTP/1.1 200 OK", "Content-Type: text/html", "Content-Encoding: compress"};
    Answer(unknown);
    std::string body = "xxx";
    Filter(body);
    EXPECT_EQ(body, "xxx");
    EXPECT_EQ(HeaderLines(), unknown);
    SetOption(errors, "document", "notfound.html");
    Answer({"HTTP/1.1 404 Not Found", "Content-Type: text/html", "Content-Encoding: dcz"});
    Filter(body);
    EXPECT_EQ(body, "<p>gone</p>");
    EXPECT_EQ(context.Headers.Value("Content-Encoding"), "identity");
    EXPECT_EQ(log.Entries(), (Lines{"E h/a: Content-Encoding compress cannot be decoded, relayed unfiltered.",
                                    "E h/a: HTTP/1.1 404 Not Found > notfound.html"}));
}

TEST_F(FilterTest, AScriptWithoutStepsLeavesTheAnswerAsItCameAndStartsThePoll) {
    AddReplaceScript("h/a", "x", "y");
    AddScript("h/a", {});
    AddReplaceScript("h/a", "y", "z");
    const Lines headers{"HTTP/1.1 200 OK", "Content-Type: text/html", "Content-Encoding: gzip"};
    Answer(headers);
    const std::string compressed = Gzip("xxx");
    std::string body = compressed;
    Filter(body);
    EXPECT_EQ(body, compressed);  // even the first script's rewrite is dropped
    EXPECT_EQ(HeaderLines(), headers);
    EXPECT_EQ(pollStarts, 1);
}

TEST_F(FilterTest, AFailedScriptGivesTheSearchPageToTheNextScript) {
    WriteFile(dir / "search.html", "search page");
    SetOption(errors, "search", "search.html");
    AddScript("h/a", {{opText, "missing"}, {opAdd, "never"}});
    AddReplaceScript("h/a", "page", "PAGE");
    Answer({"HTTP/1.1 200 OK", "Content-Type: text/html"});
    std::string body = "original";
    Filter(body);
    EXPECT_EQ(body, "search PAGE");
    EXPECT_EQ(HeaderLines()[0], "HTTP/1.1 200 OK");
}

TEST_F(FilterTest, PageFilesThatCannotBeOpenedEndTheAnswer) {
    SetOption(errors, "document", "absent.html");
    Answer({"HTTP/1.1 404 Not Found", "Content-Type: text/html"});
    std::string body = "x";
    EXPECT_THROW(Filter(body), std::runtime_error);

    // A script that ends with error and no search page configured.
    AddScript("h/a", {{opError, ""}});
    Answer({"HTTP/1.1 200 OK", "Content-Type: text/html"});
    EXPECT_THROW(Filter(body), std::runtime_error);
}

TEST_F(FilterTest, APageFileThatFailsWhileReadingLeavesTheAnswerAsItCame) {
    // /proc/self/mem opens as a regular file, and reading it from the start fails.
    SetOption(errors, "document", "/proc/self/mem");
    const Lines headers{"HTTP/1.1 404 Not Found", "Content-Type: text/html", "Content-Encoding: gzip"};
    Answer(headers);
    const std::string compressed = Gzip("not found");
    std::string body = compressed;
    Filter(body);
    EXPECT_EQ(body, compressed);
    EXPECT_EQ(HeaderLines(), headers);
    EXPECT_EQ(log.Entries(), (Lines{"E File/proc/self/mem: not read"}));  // and not the answer's own entry
}

TEST_F(FilterTest, EveryAnswerIsDumpedWithItsCorrectedHeaders) {
    SetOption(options, "headers", "dump.txt");
    Answer({"HTTP/1.1 302 Found", "Location: /b"});
    std::string body = "moved";
    Filter(body);
    WriteFile(dir / "nf.html", "nf");
    SetOption(errors, "document", "nf.html");
    context.Document = "/\xE9";  // a byte that windows-1251 lacks as a character
    Answer({"HTTP/1.1 404 Not Found", "Content-Type: text/html"});
    Filter(body);
    EXPECT_EQ(ReadFile(dir / "dump.txt"),
              "[Answer h/a]\r\nHTTP/1.1 302 Found\r\nLocation: /b\r\n\r\n"
              "[Answer h/?]\r\nHTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Encoding: identity\r\n"
              "Content-Length: 2\r\n\r\n");

    // A dump file in a directory that does not exist ends the answer.
    SetOption(options, "headers", (dir / "no" / "dump.txt").string());
    EXPECT_THROW(Filter(body), std::runtime_error);
}

TEST_F(FilterTest, RequestBodiesAreParsedTheSameWay) {
    // For a request body the first header line stands where the status line would: a number of 403
    // or more after its first blank makes it an error answer.
    SetOption(options, "headers", "dump.txt");
    Answer({"Host: h", "Content-Type: text/plain", "Content-Length: 3"});
    std::string body = "a=1";
    Filter(body);
    EXPECT_EQ(body, "a=1");
    EXPECT_EQ(ReadFile(dir / "dump.txt"),
              "[Answer h/a]\r\nHost: h\r\nContent-Type: text/plain\r\nContent-Length: 3\r\n\r\n");
}

TEST_F(FilterTest, OddStatusLinesAndHugeHeaders) {
    Answer({"404", "Content-Type: text/html"});  // no blank at all: the whole line is the code
    std::string body = "x";
    Filter(body);
    EXPECT_EQ(context.Headers.Value("Content-Length"), "1");

    Lines many{"HTTP/1.1 404 Not Found"};
    for (int i = 0; i < 10000; ++i) many.push_back("X-Header-" + std::to_string(i) + ": v");
    many.push_back("Content-Type: text/html");
    Answer(many);
    Filter(body);
    EXPECT_EQ(context.Headers.Count(), many.size() + 2);
    EXPECT_EQ(context.Headers.Value("Content-Encoding"), "identity");

    context.Headers.Clear();  // no lines at all
    Filter(body);
    EXPECT_EQ(body, "x");
}

}  // namespace
}  // namespace kiosk::testing
