// Today's pages through the running program: curl fetches pages of a real origin whose answers carry
// the charsets, content encodings and types sites use now, made by Debian's own tools, and the
// configuration's scripts rewrite them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/file_origin.h"
#include "tests/support/kiosk_run.h"
#include "tests/support/temp_dir.h"

namespace kiosk::testing {
namespace {

using namespace std::chrono_literals;

// What a program printed to standard output, and its exit status.
std::string ProgramOutput(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& input = {}) {
    TempDir scratch;
    std::vector<std::string> all = arguments;
    if (!input.empty()) {
        WriteFile(scratch / "in", input);
        all.push_back((scratch / "in").string());
    }
    ChildProcess child(program, all, scratch.str(), (scratch / "out").string(), {},
                       (scratch / "err").string());
    EXPECT_EQ(child.WaitForExit(120s), 0) << program << ": " << ReadFile(scratch / "err");
    return ReadFile(scratch / "out");
}

std::string Python(const std::string& code, const std::string& input) {
    return ProgramOutput("/usr/bin/python3", {"-c", code}, input);
}

// The body compressed by a real tool.
std::string Encoded(const std::string& encoding, const std::string& body) {
    if (encoding == "gzip") return ProgramOutput("/bin/gzip", {"-1", "-c"}, body);
    if (encoding == "br") return ProgramOutput("/usr/bin/brotli", {"-q", "4", "-c"}, body);
    if (encoding == "zstd") return ProgramOutput("/usr/bin/zstd", {"-q", "-c"}, body);
    const char* zlib =
        "import sys,zlib;d=open(sys.argv[1],'rb').read();sys.stdout.buffer.write(zlib.compress(d))";
    const char* raw =
        "import sys,zlib;d=open(sys.argv[1],'rb').read();c=zlib.compressobj(9,zlib.DEFLATED,-15);"
        "sys.stdout.buffer.write(c.compress(d)+c.flush())";
    if (encoding == "deflate") return Python(zlib, body);
    if (encoding == "raw-deflate") return Python(raw, body);
    ADD_FAILURE() << "no tool for " << encoding;
    return body;
}

std::string InCharset(const std::string& charset, const std::string& utf8) {
    return ProgramOutput("/usr/bin/iconv", {"-f", "UTF-8", "-t", charset}, utf8);
}

class TodaysPages : public KioskRun {
protected:
    // The program with a configuration that starts with a UTF-8 byte-order mark, so that its Russian
    // texts are read as UTF-8.
    void StartWithUtf8(const std::string& extraConfig) {
        WriteFile(dir / "kiosk.cfg", "\xEF\xBB\xBF" + RunningConfig() + extraConfig);
        Start();
        ASSERT_TRUE(WaitForMessage(".log", "Начало работы"));
    }
    // A file of the origin sent with exactly these header lines.
    void Serve(const std::string& name, const std::string& body, const std::string& headers) {
        origin.Put(name, body);
        origin.Put(name + ".headers", headers);
    }
    std::string Curl(const std::vector<std::string>& arguments) {
        std::vector<std::string> all{"-s", "-x", "http://127.0.0.1:" + std::to_string(proxyPort)};
        all.insert(all.end(), arguments.begin(), arguments.end());
        return ProgramOutput("/usr/bin/curl", all);
    }
    std::string Page(const std::string& path) { return Curl({origin.Url(path)}); }
    std::string Head(const std::string& path) {
        return Curl({"-D", "-", "-o", "/dev/null", origin.Url(path)});
    }
    std::string Site() const { return "127.0.0.1:" + std::to_string(origin.Port()); }

    FileOrigin origin;
};

// Replaces every "old" by "new", then every "Привет" by "Здравствуйте", on the pages it names. (A
// search finds nothing that a longer replacement pushed past the original end of the text.)
std::string GreetingScript(const std::string& pattern) {
    return "[document]\nurl\n" + pattern +
           "\nlabel\nascii\ntext\nold\ncontinue\ntry\nrussian\nreplace\nnew\ngoto\nascii\n"
           "label\nrussian\nstart\nlabel\nnext\ntext\nПривет\ncontinue\ntry\ndone\nreplace\nЗдравствуйте\ngot"
           "o\nnext\n"
           "label\ndone\n";
}

TEST_F(TodaysPages, RussianTextsAreFoundAndInsertedInEachPagesOwnCharset) {
    struct Case {
        const char* name;
        const char* charset;  // the page's bytes
        std::string headers;
        std::string prefix;  // before the text, in the page
    };
    const Case cases[] = {
        {"utf8.html", "UTF-8", "Content-Type: text/html; charset=utf-8", ""},
        {"cp1251.html", "WINDOWS-1251", "Content-Type: text/html; charset=windows-1251", ""},
        {"koi8.html", "KOI8-R", "Content-Type: text/html; charset=\"KOI8-R\"", ""},
        {"iso.html", "ISO-8859-5", "Content-Type: text/html;charset=iso-8859-5", ""},
        {"meta.html", "UTF-8", "Content-Type: text/html", "<meta charset=\"utf-8\">"},
        {"bom.html", "UTF-8", "Content-Type: text/html", "\xEF\xBB\xBF"},
        {"undeclared.html", "WINDOWS-1251", "Content-Type: text/html", ""},
    };
    for (const Case& c : cases)
        Serve(c.name, c.prefix + InCharset(c.charset, "<p>Привет, мир! Привет, old.</p>"), c.headers);
    StartWithUtf8(GreetingScript(Site() + "/*.html"));
    for (const Case& c : cases) {
        EXPECT_EQ(Page("/" + std::string(c.name)),
                  c.prefix + InCharset(c.charset, "<p>Здравствуйте, мир! Здравствуйте, new.</p>"))
            << c.name;
    }
    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(LogMessages(dir.path(), ".err"), std::vector<std::string>{});
}

TEST_F(TodaysPages, EveryEncodingIsDecodedAndTheBrowsersAcceptEncodingIsLimitedToThem) {
    const std::string page = "<p>Привет, old page</p>";
    const std::pair<std::string, std::string> cases[] = {
        {"gzip", Encoded("gzip", page)},
        {"x-gzip", Encoded("gzip", page)},
        {"deflate", Encoded("deflate", page)},
        {"deflate", Encoded("raw-deflate", page)},
        {"br", Encoded("br", page)},
        {"zstd", Encoded("zstd", page)},
        {"gzip, br", Encoded("br", Encoded("gzip", page))},
        {"deflate,zstd", Encoded("zstd", Encoded("deflate", page))},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        Serve("page" + std::to_string(i) + ".html", cases[i].second,
              "Content-Type: text/html; charset=utf-8\nContent-Encoding: " + cases[i].first);
    }
    origin.Put("plain.txt", "plain");
    Serve("unknown.html", "compressed?",
          "Content-Type: text/html; charset=utf-8\nContent-Encoding: compress");
    StartWithUtf8(GreetingScript(Site() + "/*"));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string name = "/page" + std::to_string(i) + ".html";
        EXPECT_EQ(Page(name), "<p>Здравствуйте, new page</p>") << cases[i].first;
        EXPECT_NE(Head(name).find("Content-Encoding: identity\r\n"), std::string::npos) << cases[i].first;
    }
    // An encoding the filter cannot read leaves as it came, labelled as it came.
    EXPECT_EQ(Page("/unknown.html"), "compressed?");
    EXPECT_NE(Head("/unknown.html").find("Content-Encoding: compress\r\n"), std::string::npos);

    Curl({"-H", "Accept-Encoding: gzip, compress;q=0.5, br;q=0.8, *;q=0.1", origin.Url("/plain.txt")});
    Curl({"-H", "Accept-Encoding: dcb", origin.Url("/plain.txt")});
    EXPECT_EQ(Stop(), 0);
    const std::vector<std::string> sent = origin.RequestHeaders();
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[sent.size() - 2], "/plain.txt accept-encoding=gzip, br;q=0.8 accept-language=");
    EXPECT_EQ(sent.back(), "/plain.txt accept-encoding=identity accept-language=");
    const auto errors = LogMessages(dir.path(), ".err");
    // One entry: the same entry twice in a row is written once, and counted in the line that closes
    // its burst (at shutdown here).
    ASSERT_EQ(errors.size(), 2u) << ::testing::PrintToString(errors);
    EXPECT_NE(errors[0].find(Site() + "/unknown.html"), std::string::npos) << errors[0];
    EXPECT_NE(errors[0].find("compress"), std::string::npos) << errors[0];
    EXPECT_NE(errors[1].find("повторилось ещё 1 раз"), std::string::npos) << errors[1];
}

TEST_F(TodaysPages, ADecompressionBombOfEachKindEndsAsAFailedDocument) {
    // 300 MiB of zeros: more than the filter decodes, a few hundred kilobytes compressed.
    const std::string zeros(300u << 20, '\0');
    const std::pair<const char*, std::string> cases[] = {
        {"gzip", Encoded("gzip", zeros)},
        {"br", Encoded("br", zeros)},
        {"zstd", Encoded("zstd", zeros)},
        {"deflate", Encoded("deflate", zeros)},
    };
    for (const auto& [encoding, body] : cases)
        Serve(std::string("bomb-") + encoding + ".html", body,
              "Content-Type: text/html\nContent-Encoding: " + std::string(encoding));
    StartWithUtf8(GreetingScript(Site() + "/*"));
    for (const auto& [encoding, body] : cases) {
        const std::string name = std::string("/bomb-") + encoding + ".html";
        EXPECT_EQ(Page(name), body) << encoding;  // relayed as it came, for the browser's own limits
        EXPECT_NE(Head(name).find(std::string("Content-Encoding: ") + encoding), std::string::npos);
    }
    EXPECT_EQ(Stop(), 0);
    // One entry each: the page and its head in a row give the same entry, written once; the repeat
    // is told by the line that closes each burst (at shutdown here).
    EXPECT_EQ(LogMessages(dir.path(), ".err").size(), 2 * std::size(cases))
        << ::testing::PrintToString(LogMessages(dir.path(), ".err"));
}

TEST_F(TodaysPages, TodaysTypesAreRewrittenAndStarPatternsNameEveryPageTheyMatch) {
    const std::pair<const char*, const char*> scripted[] = {
        {"app.js", "Content-Type: text/javascript"},
        {"lib.js", "Content-Type: application/javascript; charset=utf-8"},
        {"data.json", "Content-Type: application/json"},
        {"site.css", "Content-Type: text/css"},
        {"page.xhtml", "Content-Type: application/xhtml+xml"},
        {"icon.svg", "Content-Type: image/svg+xml"},
        {"feed.xml", "Content-Type: application/atom+xml"},
        {"spaced.html", "content-type:TEXT/HTML"},
    };
    for (const auto& [name, headers] : scripted) Serve(name, "var old = 1;", headers);
    Serve("picture.png", "old bytes", "Content-Type: image/png");
    Serve("missing.css", "old", "HTTP/1.0 404 Not Found\nContent-Type: text/css");
    Serve("cart", "old cart", "Content-Type: text/html");
    WriteFile(dir / "notfound.html", "<p>no such page</p>");
    StartWithUtf8("[errors]\ndocument\nnotfound.html\n" + GreetingScript(Site() + "/*.*") +
                  GreetingScript(Site() + "/cart*"));
    for (const auto& [name, headers] : scripted)
        EXPECT_EQ(Page("/" + std::string(name)), "var new = 1;") << headers;
    EXPECT_EQ(Page("/picture.png"), "old bytes");
    EXPECT_EQ(Page("/missing.css"), "old");  // a missing style sheet is not replaced by an HTML page
    EXPECT_EQ(Page("/cart?utm_source=x"), "new cart");
    EXPECT_EQ(Stop(), 0);
}

}  // namespace
}  // namespace kiosk::testing
