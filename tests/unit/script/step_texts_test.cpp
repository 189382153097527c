#include "script/step_texts.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "script/script_machine.h"
#include "tests/support/recording_log.h"
#include "text/charset_conversion.h"

namespace kiosk {
namespace {

using testing::RecordingLog;

std::string In(const char* charset, const std::string& utf8) {
    return EncodeUtf8(utf8, charset).bytes;
}

class RecordingTrace : public ScriptTrace {
public:
    void StepRan(const DocumentScript&, const TracedStep& step) override { steps.push_back(step); }
    std::vector<TracedStep> steps;
};

class ScriptCharsetTest : public ::testing::Test {
protected:
    std::string Run(const DocumentScript& script, std::string page, const char* charset,
                    ScriptTrace* trace = nullptr) {
        const ScriptEnvironment environment{log_, {}, charset, trace};
        EXPECT_EQ(RunScript(script, page, false, environment), ScriptOutcome::Done);
        return page;
    }

    RecordingLog log_;
};

const DocumentScript kGreeting{"http://site/", {{opText, "Привет"}, {opReplace, "Здравствуйте"}}};

TEST_F(ScriptCharsetTest, TextsAreSearchedAndInsertedInThePagesCharset) {
    const struct {
        const char* charset;
        std::string page;
    } cases[] = {
        {"utf-8", "Привет, мир"},
        {"KOI8-R", "\xF0\xD2\xC9\xD7\xC5\xD4, \xCD\xC9\xD2"},
        {"iso-8859-5", "\xBF\xE0\xD8\xD2\xD5\xE2, \xDC\xD8\xE0"},
        {"windows-1251", "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0"},
        {"no-such-charset", "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0"},  // counts as windows-1251
    };
    for (const auto& c : cases) {
        const char* canonical = c.charset[0] == 'n' ? "windows-1251" : c.charset;
        EXPECT_EQ(Run(kGreeting, c.page, c.charset), In(canonical, "Здравствуйте, мир")) << c.charset;
    }
    EXPECT_TRUE(log_.Errors().empty());
}

TEST_F(ScriptCharsetTest, AMissingCharacterFailsItsStepAndIsLoggedOncePerCharset) {
    const DocumentScript script{"http://site/*", {{opText, "мир"}, {opReplace, "Ω"}, {opAdd, "!"}}};
    const std::string koi8 = In("KOI8-R", "Привет, мир");
    RecordingTrace trace;
    for (int run = 0; run < 2; ++run) EXPECT_EQ(Run(script, koi8, "KOI8-R", &trace), koi8 + "!");
    EXPECT_EQ(Run(script, "Привет, мир", "UTF-8"), "Привет, Ω!");
    EXPECT_EQ(Run(script, In("windows-1251", "мир"), "windows-1251"), In("windows-1251", "мир!"));
    const std::vector<std::string> expected = {
        "Скрипт документа http://site/*: символа «Ω» (U+03A9) нет в кодировке KOI8-R",
        "Скрипт документа http://site/*: символа «Ω» (U+03A9) нет в кодировке windows-1251"};
    EXPECT_EQ(log_.Errors(), expected);
    ASSERT_EQ(trace.steps.size(), 6u);
    const TracedStep& replace = trace.steps[1];
    EXPECT_EQ(replace.op, opReplace);
    EXPECT_EQ(replace.searchResult, 0);
    EXPECT_EQ(replace.unconvertible, "Ω");
    EXPECT_EQ(trace.steps[0].searchResult, 9);
    EXPECT_TRUE(trace.steps[0].searched);
    EXPECT_EQ(trace.steps[2].cursor, 13);
}

TEST_F(ScriptCharsetTest, AMissingSearchTextIsAFailedSearch) {
    const DocumentScript script{"p", {{opText, "中"}, {opAdd, "x"}}};
    std::string page = "abc";
    const ScriptEnvironment environment{log_, {}, "windows-1251", nullptr};
    EXPECT_EQ(RunScript(script, page, true, environment), ScriptOutcome::Failed);
    EXPECT_EQ(Run(script, "abc", "windows-1251"), "xabc");
    EXPECT_EQ(log_.Errors().size(), 1u);
}

TEST_F(ScriptCharsetTest, RunsOnSeveralThreadsShareOneConversionPerCharset) {
    const DocumentScript script{"s", {{opAdd, "Ω"}, {opText, "Привет"}, {opReplace, "Здравствуйте"}}};
    const char* const charsets[] = {"UTF-8", "KOI8-R", "ISO-8859-5", "windows-1251"};
    std::vector<std::thread> threads;
    std::vector<int> wrong(8, 0);
    for (std::size_t t = 0; t < wrong.size(); ++t) {
        threads.emplace_back([&, t] {
            const char* charset = charsets[t % 4];
            const std::string expected = In(charset, std::string(t % 4 ? "" : "Ω") + "Здравствуйте, мир");
            for (int run = 0; run < 200; ++run) {
                const ScriptEnvironment environment{log_, {}, charset, nullptr};
                std::string page = In(charset, "Привет, мир");
                RunScript(script, page, false, environment);
                wrong[t] += page != expected;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(wrong, std::vector<int>(8, 0));
    EXPECT_EQ(log_.Errors().size(), 3u);  // Ω is missing in all but UTF-8, each logged once
}

}  // namespace
}  // namespace kiosk
