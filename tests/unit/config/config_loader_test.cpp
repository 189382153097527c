#include "config/config_loader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "config/default_tables.h"
#include "tests/support/temp_dir.h"
#include "text/unicode.h"

namespace kiosk {
namespace {

using testing::TempDir;
using testing::WriteFile;

const std::string kPrefix = "Файл kiosk.cfg";

std::string UnknownSection(int line) {
    return kPrefix + ": Неизвестная секция в строке " + std::to_string(line);
}
std::string UnknownOperator(int line) {
    return kPrefix + ": Неизвестный оператор в строке " + std::to_string(line);
}
std::string UrlRequired(int line) {
    return kPrefix + ": Должен быть оператор url в строке " + std::to_string(line);
}
std::string ParameterRequired(int line) {
    return kPrefix + ": Нет обязательного параметра для оператора в строке " + std::to_string(line);
}
const std::string kReadError = kPrefix + ": Ошибка чтения";
const std::string kNoStartPage = kPrefix + ": Не указана стартовая страница";
std::string LabelNotFound(const std::string& pattern, const std::string& label) {
    return kPrefix + ": Для документа " + pattern + " не найдена метка \"" + label + "\"";
}

// UTF-8 text (BMP only) as UTF-16 bytes with their mark.
std::string Utf16WithMark(const std::string& utf8, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (size_t pos = 0; pos < utf8.size();) {
        const char32_t unit = NextCodePoint(utf8, pos);
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return out;
}

class ConfigLoaderTest : public ::testing::Test {
protected:
    ConfigLoaderTest() { ResetTables(); }

    void ResetTables() {
        options_ = mail_ = errors_ = operators_ = KeyValueTable();
        FillOptionTable(options_);
        FillMailTable(mail_);
        FillErrorTable(errors_);
        FillOperatorTable(operators_);
        scripts_.clear();
    }

    std::string path() const { return (dir_ / "kiosk.cfg").string(); }

    // Loads bytes as the configuration file into freshly filled tables.
    std::string Load(const std::string& bytes) {
        ResetTables();
        WriteFile(path(), bytes);
        return LoadFile();
    }

    std::string LoadFile() {
        return LoadConfiguration(path(), "kiosk",
                                 ConfigTables{options_, mail_, errors_, operators_, scripts_});
    }

    std::vector<ScriptStep> Steps(size_t script) const { return scripts_.at(script)->steps; }

    TempDir dir_;
    KeyValueTable options_, mail_, errors_, operators_;
    DocumentScriptList scripts_;
};

MATCHER_P2(IsStep, op, parameter, "") {
    return arg.op == op && arg.parameter == parameter;
}

TEST_F(ConfigLoaderTest, NothingConfiguredLacksTheStartPage) {
    EXPECT_EQ(Load(""), kNoStartPage);
    EXPECT_EQ(Load("\n# only a comment\r\n\r\n#"), kNoStartPage);
    EXPECT_EQ(options_.Value("sleep"), "15");
}

TEST_F(ConfigLoaderTest, AFileThatCannotBeReadGivesTheReadError) {
    EXPECT_EQ(LoadFile(), kReadError);  // missing
    std::filesystem::create_directory(path());
    EXPECT_EQ(LoadFile(), kReadError);
    std::filesystem::remove(path());
    ASSERT_EQ(::mkfifo(path().c_str(), 0600), 0);
    EXPECT_EQ(LoadFile(), kReadError);  // must not block on a pipe
}

TEST_F(ConfigLoaderTest, KeysAreLowerCasedAndValuesKeptAsWritten) {
    EXPECT_EQ(Load("[Options]\nStart\nIndex.html\n[MAIL]\nhost\nsmtp.example\n[errors]\nnet\n  Net Page \n"),
              "");
    EXPECT_EQ(options_.Value("start"), "Index.html");
    EXPECT_EQ(mail_.Value("host"), "smtp.example");
    EXPECT_EQ(errors_.Value("net"), "  Net Page ");
    EXPECT_EQ(options_.Row(0), "start=Index.html");
    KeyValueTable defaults;
    FillOptionTable(defaults);
    EXPECT_EQ(options_.Count(), defaults.Count());  // known keys only, no row added
}

TEST_F(ConfigLoaderTest, ValueLines) {
    // An empty value line empties the key; the following line is a key again.
    EXPECT_EQ(Load("[options]\nstart\na\nsleep\n\nport\n99\nport\n100\n[options]\nzoom\n2\n"), "");
    EXPECT_EQ(options_.Value("sleep"), "");
    EXPECT_EQ(options_.Value("port"), "100");  // the later value wins
    EXPECT_EQ(options_.Value("zoom"), "2");
    // A value line may look like a key, or like a header with a blank around it.
    EXPECT_EQ(Load("[options]\nstart\nstart\nhost\n [mail]\nlogin\n[mail] \n"), "");
    EXPECT_EQ(options_.Value("start"), "start");
    EXPECT_EQ(options_.Value("host"), " [mail]");
    EXPECT_EQ(options_.Value("login"), "[mail] ");
}

TEST_F(ConfigLoaderTest, AKeyWithoutAValueLineIsDropped) {
    EXPECT_EQ(Load("[options]\nstart\na\nsleep\n[mail]\nhost\nh\n[options]\nlog"), "");
    EXPECT_EQ(options_.Value("sleep"), "15");
    EXPECT_EQ(options_.Value("log"), "31");
    EXPECT_EQ(mail_.Value("host"), "h");
}

TEST_F(ConfigLoaderTest, KeyLinesMustBeExactNames) {
    EXPECT_EQ(Load("[options]\nstart=index.html\n"), UnknownOperator(2));
    EXPECT_EQ(Load("[options]\n start\n"), UnknownOperator(2));
    EXPECT_EQ(Load("[options]\nstart # page\nx\n"), UnknownOperator(2));  // the blank before "#" stays
    EXPECT_EQ(Load("[mail]\nnet\n"), UnknownOperator(2));                 // a key of another section
    EXPECT_EQ(Load("[document]\nurl\nx\nurl=s\n"), UnknownOperator(4));
    EXPECT_EQ(Load("[options]\n\n\n[mail] \n"), UnknownOperator(4));  // not a header
}

TEST_F(ConfigLoaderTest, HeaderRules) {
    EXPECT_EQ(Load("[options]\nstart\na\n[bogus]\n"), UnknownSection(4));
    EXPECT_EQ(Load("[]\n"), UnknownSection(1));
    EXPECT_EQ(Load("[ options]\n"), UnknownSection(1));
    EXPECT_EQ(Load("[\n"), UnknownOperator(1));
    EXPECT_EQ(Load("[options\n"), UnknownOperator(1));
    EXPECT_EQ(Load("[oPtIoNs]# comment\nstart\na\n"), "");
}

TEST_F(ConfigLoaderTest, CommentsAreCutFromEveryLine) {
    EXPECT_EQ(Load("# head\n[options]#\nstart\nhttp://x/page#part\nhost\nh # note\nlogin#\n#\n"), "");
    EXPECT_EQ(options_.Value("start"), "http://x/page");
    EXPECT_EQ(options_.Value("host"), "h ");
    EXPECT_EQ(options_.Value("login"), "");
}

TEST_F(ConfigLoaderTest, LineNumbersCountEveryLineAndEveryKindOfLineEnd) {
    EXPECT_EQ(Load("[options]\r\n\r#c\nstart\n\r\nbad"), UnknownOperator(6));
    EXPECT_EQ(Load("[options]\n\rbad\r\n"), UnknownOperator(3));  // LF then CR: two line ends
    EXPECT_EQ(Load("[options]\r\r\nbad"), UnknownOperator(3));
    EXPECT_EQ(Load("\r\n\r\n\r\n[x]\r\n"), UnknownSection(4));
}

TEST_F(ConfigLoaderTest, EncodingIsChosenByTheByteOrderMark) {
    const std::string utf8 = "[options]\r\nstart\r\nСтраница\r\nbad\r\n";
    EXPECT_EQ(Load(Utf16WithMark(utf8, false)), UnknownOperator(4));
    EXPECT_EQ(options_.Value("start"), "Страница");
    EXPECT_EQ(Load(Utf16WithMark(utf8, true)), UnknownOperator(4));
    EXPECT_EQ(options_.Value("start"), "Страница");
    EXPECT_EQ(Load("\xEF\xBB\xBF" + utf8), UnknownOperator(4));
    EXPECT_EQ(options_.Value("start"), "Страница");
    // Without a mark the file is windows-1251.
    EXPECT_EQ(Load("[options]\nstart\n\xD1\xF2\xF0\xE0\xED\xE8\xF6\xE0\n"), "");
    EXPECT_EQ(options_.Value("start"), "Страница");
    // The mark is not part of the first line.
    EXPECT_EQ(Load("\xEF\xBB\xBF[options]\nstart\nx\n"), "");
}

TEST_F(ConfigLoaderTest, DocumentSectionsCompileToSteps) {
    const std::string file =
        "[options]\nstart\na\n"
        "[document]\nurl\nfirst\ndelete\nstrip\nreplace\n\ntext\n<B>\nexit\n\nurl\nSecond\n"
        "[document]\n"
        "[Document]\nurl\nthird\nurl\n\n";
    EXPECT_EQ(Load(file), "");
    ASSERT_EQ(scripts_.size(), 3u);
    EXPECT_EQ(scripts_[0]->pattern, "Second");  // the last url wins
    EXPECT_THAT(Steps(0),
                ::testing::ElementsAre(IsStep(opDelete, ""), IsStep(opStrip, ""), IsStep(opReplace, ""),
                                       IsStep(opText, "<B>"), IsStep(opExit, "")));
    EXPECT_EQ(scripts_[1]->pattern, "");
    EXPECT_TRUE(Steps(1).empty());
    EXPECT_EQ(scripts_[2]->pattern, "");  // an empty url line empties the pattern again
}

TEST_F(ConfigLoaderTest, ScriptErrorsReportTheOperatorLine) {
    EXPECT_EQ(Load("[document]\n\ntext\nx\n"), UrlRequired(3));
    EXPECT_EQ(Load("[document]\ndelete\n"), UrlRequired(2));
    EXPECT_EQ(Load("[document]\nurl\n\nstrip\n"), UrlRequired(4));
    EXPECT_EQ(Load("[document]\nurl\nx\ninsert\n\n"), ParameterRequired(4));
    EXPECT_EQ(Load("[document]\nurl\nx\ngoto\n\n"), ParameterRequired(4));
    // With steps present the pattern is checked at the parameter line, which reports its operator.
    EXPECT_EQ(Load("[document]\nurl\nx\ndelete\nurl\n\nstrip\ntext\ny\n"), UrlRequired(8));
    // A pending operator is dropped at the next header.
    EXPECT_EQ(Load("[document]\nurl\nx\ninsert\n[options]\nstart\na\n"), "");
}

TEST_F(ConfigLoaderTest, LinesBeforeTheFirstHeader) {
    EXPECT_EQ(Load("url"), kNoStartPage);  // url without its line is dropped
    EXPECT_EQ(Load("url\n[options]\nstart\na\n"), "");
    EXPECT_TRUE(scripts_.empty());
    EXPECT_EQ(Load("bogus\n"), UnknownOperator(1));
    // Operators, and the parameter line of url, have no script to belong to there.
    EXPECT_EQ(Load("delete\n"), kReadError);
    EXPECT_EQ(Load("start\n"), kReadError);
    EXPECT_EQ(Load("\ntext\nx\n"), kReadError);
    EXPECT_EQ(Load("url\nx\n"), kReadError);
    EXPECT_EQ(Load("url\n\n"), kReadError);
}

TEST_F(ConfigLoaderTest, JumpsAreResolvedToLabelNumbers) {
    const std::string file =
        "[options]\nstart\na\n"
        "[document]\nurl\np\nlabel\nL\ntext\nt\ngoto\nL\nlabel\nL\nrepeat\nM\nlabel\nM\ntry\nl\nlabel\nl\n";
    EXPECT_EQ(Load(file), "");
    EXPECT_THAT(Steps(0),
                ::testing::ElementsAre(IsStep(opLabel, "L"), IsStep(opText, "t"), IsStep(opGoto, "0"),
                                       IsStep(opLabel, "L"), IsStep(opRepeat, "5"), IsStep(opLabel, "M"),
                                       IsStep(opTry, "7"), IsStep(opLabel, "l")));
}

TEST_F(ConfigLoaderTest, LabelErrors) {
    // Labels are matched case-sensitively and only within their own script.
    EXPECT_EQ(Load("[options]\nstart\na\n[document]\nurl\np\nlabel\nX\n"
                   "[document]\nurl\nq\ngoto\nX\n"),
              LabelNotFound("q", "X"));
    EXPECT_EQ(Load("\xEF\xBB\xBF[options]\nstart\na\n[document]\nurl\nГлавная\nlabel\nend\ngoto\nEnd\n"),
              LabelNotFound("Главная", "End"));
    // The start page is checked first, and no label is resolved after a compile error.
    EXPECT_EQ(Load("[document]\nurl\np\ngoto\nnowhere\n"), kNoStartPage);
    EXPECT_EQ(Load("[options]\nstart\na\n[document]\nurl\np\nlabel\nx\ngoto\nx\nbad\n"), UnknownOperator(11));
    EXPECT_THAT(Steps(0), ::testing::ElementsAre(IsStep(opLabel, "x"), IsStep(opGoto, "x")));
}

TEST_F(ConfigLoaderTest, ValuesBeforeAnErrorStay) {
    EXPECT_EQ(Load("[options]\nstart\na\nsleep\n5\n[document]\nurl\np\ndelete\nbad\n[options]\nport\n1\n"),
              UnknownOperator(10));
    EXPECT_EQ(options_.Value("start"), "a");
    EXPECT_EQ(options_.Value("sleep"), "5");
    EXPECT_EQ(options_.Value("port"), "8080");
    ASSERT_EQ(scripts_.size(), 1u);
    EXPECT_EQ(scripts_[0]->steps.size(), 1u);
}

TEST_F(ConfigLoaderTest, DamagedFilesNeitherCrashNorHang) {
    // A NUL ends the text.
    const char withNul[] = "[options]\nstart\nab\0cd\nbad\n";
    EXPECT_EQ(Load(std::string(withNul, sizeof withNul - 1)), "");
    EXPECT_EQ(options_.Value("start"), "ab");
    // UTF-16 of odd length: the dangling byte is dropped.
    EXPECT_EQ(Load(Utf16WithMark("[options]\nstart\nx", false) + "\x01"), "");
    EXPECT_EQ(options_.Value("start"), "x");
    // Lines of a megabyte as a key and as a value.
    const std::string huge(1 << 20, 'k');
    EXPECT_EQ(Load("[options]\n" + huge + "\n"), UnknownOperator(2));
    EXPECT_EQ(Load("[options]\nstart\n" + huge + "\n"), "");
    EXPECT_EQ(options_.Value("start"), huge);
    // Binary garbage gives one of the messages.
    std::mt19937 random(7);
    std::string garbage(1 << 16, '\0');
    for (char& byte : garbage) byte = static_cast<char>(random() % 255 + 1);
    EXPECT_EQ(Load(garbage).rfind(kPrefix + ": ", 0), 0u);
}

TEST_F(ConfigLoaderTest, LargeFilesLoad) {
    std::string file = "[options]\r\n";
    while (file.size() < 50u << 20) file += "# a comment line of a very large file\r\n\r\n";
    file += "start\r\npage\r\n[document]\r\nurl\r\np\r\n";
    // Many labels and jumps: each jump finds the first label of its name.
    for (int i = 0; i < 100000; ++i) {
        file += "label\r\nL" + std::to_string(i % 1000) + "\r\ngoto\r\nL" + std::to_string(i % 1000) + "\r\n";
    }
    EXPECT_EQ(Load(file), "");
    EXPECT_EQ(options_.Value("start"), "page");
    ASSERT_EQ(Steps(0).size(), 200000u);
    EXPECT_THAT(Steps(0).back(), IsStep(opGoto, "1998"));
}

TEST_F(ConfigLoaderTest, LineNumbersHoldThroughoutALargeFile) {
    // Lines of any length with every kind of line end, so that some CR LF pairs straddle any cut the
    // reader may make.
    std::mt19937 random(11);
    const char* const ends[] = {"\r\n", "\r", "\n"};
    std::string file = "[options]\n";
    int lines = 1;
    while (file.size() < 8u << 20) {
        file += "#" + std::string(random() % 300, 'x') + ends[random() % 3];
        ++lines;
    }
    EXPECT_EQ(Load(file + "bad"), UnknownOperator(lines + 1));
}

}  // namespace
}  // namespace kiosk
