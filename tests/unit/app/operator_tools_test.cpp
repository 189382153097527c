#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/filter_trace_printer.h"
#include "app/page_request.h"
#include "config/default_tables.h"

namespace kiosk {
namespace {

using Kind = CommandLine::Kind;

struct CommandCase {
    std::vector<std::string> arguments;
    Kind kind;
    std::string file;
    std::string url;
    std::string body;
};

TEST(CommandLine, NamesTheToolAndItsFiles) {
    const std::vector<CommandCase> cases = {
        {{}, Kind::Kiosk, "", "", ""},
        {{"--help"}, Kind::Help, "", "", ""},
        {{"--check"}, Kind::Check, "", "", ""},
        {{"--check", "a.cfg"}, Kind::Check, "a.cfg", "", ""},
        {{"--check", "a.cfg", "b.cfg"}, Kind::BadUsage, "", "", ""},
        {{"--check", "--body"}, Kind::BadUsage, "", "", ""},
        {{"--rewrite", "http://h/"}, Kind::Rewrite, "", "http://h/", ""},
        {{"--rewrite", "http://h/", "--config", "c.cfg", "--body", "p"},
         Kind::Rewrite,
         "c.cfg",
         "http://h/",
         "p"},
        {{"--rewrite", "http://h/", "--body"}, Kind::BadUsage, "", "", ""},
        {{"--rewrite", "http://h/", "--type", "x"}, Kind::BadUsage, "", "", ""},
        {{"--rewrite", "--body", "p"}, Kind::BadUsage, "", "", ""},
        {{"kiosk.cfg"}, Kind::BadUsage, "", "", ""},
    };
    for (const CommandCase& c : cases) {
        const CommandLine command = ParseCommandLine(c.arguments);
        const std::string shown = c.arguments.empty() ? "(none)" : c.arguments.front();
        EXPECT_EQ(command.kind, c.kind) << shown;
        EXPECT_EQ(command.configurationFile, c.file) << shown;
        EXPECT_EQ(command.url, c.url) << shown;
        EXPECT_EQ(command.bodyFile, c.body) << shown;
    }
}

TEST(PageAddress, GivesTheHostHeaderAndTheScriptKeyABrowserWould) {
    const std::vector<std::vector<std::string>> cases = {
        // url, Host, script key, host, port
        {"http://example.org", "example.org", "example.org/", "example.org", "80"},
        {"HTTP://example.org:8080/a/b?q=1#top", "example.org:8080", "example.org:8080/a/b?q=1", "example.org",
         "8080"},
        {"https://shop.example/cart", "shop.example", "shop.example/cart", "shop.example", "443"},
        {"https://shop.example:80/", "shop.example:80", "shop.example:80/", "shop.example", "80"},
        {"http://[::1]:81/x", "[::1]:81", "[::1]:81/x", "::1", "81"},
    };
    for (const auto& c : cases) {
        const std::optional<PageAddress> page = ParsePageAddress(c[0]);
        ASSERT_TRUE(page) << c[0];
        EXPECT_EQ(page->hostHeader, c[1]) << c[0];
        EXPECT_EQ(page->ScriptKey(), c[2]) << c[0];
        EXPECT_EQ(page->host, c[3]) << c[0];
        EXPECT_EQ(std::to_string(page->port), c[4]) << c[0];
    }
    for (const char* bad : {"ftp://example.org/", "example.org/", "http:///path", "http://h:70000/"})
        EXPECT_FALSE(ParsePageAddress(bad)) << bad;
}

TEST(FilterTracePrinter, NamesEachStepsOperatorAndWhatItFound) {
    KeyValueTable operators;
    FillOperatorTable(operators);
    const DocumentScript script{"h/p",
                                {{opText, "absent"}, {opText, "line\none"}, {opDelete, ""}, {opExit, ""}}};
    std::ostringstream out;
    FilterTracePrinter printer(out, operators);
    const auto step = [](size_t index, int op, std::int64_t found, bool searched,
                         std::string unconvertible = {}) {
        TracedStep traced;
        traced.index = index, traced.op = op, traced.searchResult = found, traced.searched = searched;
        traced.unconvertible = std::move(unconvertible);
        return traced;
    };
    printer.StepRan(script, step(0, opText, 0, true));
    printer.StepRan(script, step(1, opText, 12, true));
    printer.StepRan(script, step(2, opDelete, 12, false));
    printer.StepRan(script, step(1, opText, -1, true, "€"));
    printer.ScriptEnded(script, ScriptOutcome::Failed);
    EXPECT_EQ(out.str(),
              "  шаг 0: text «absent» — не найдено\n"
              "  шаг 1: text «line one» — найдено: байт 12\n"
              "  шаг 2: delete\n"
              "  шаг 1: text «line one» — не найдено — символ «€» не представим в кодировке страницы\n"
              "скрипт h/p: не выполнен\n");
}

}  // namespace
}  // namespace kiosk
