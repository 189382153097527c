#include "config/configuration_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace kiosk {
namespace {

using testing::TempDir;
using testing::WriteFile;
using Texts = std::vector<std::string>;

const std::string kFile = "Файл kiosk.cfg: ";
const std::string kStart = "[options]\nstart\nhttp://example.org/\n";

struct CheckCase {
    const char* name;
    std::string config;
    Texts workingFiles;  // made in the working directory
    Texts programFiles;  // made in the program's directory
    Texts expected;
};

class ConfigurationCheckTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(ConfigurationCheckTest, ReportsErrorsAndWarnings) {
    const CheckCase& c = GetParam();
    TempDir dir;
    std::filesystem::create_directory(dir / "bin");
    WriteFile(dir / "kiosk.cfg", c.config);
    for (const std::string& name : c.workingFiles) WriteFile(dir / name, "<p>");
    for (const std::string& name : c.programFiles) WriteFile(dir / "bin" / name, "<p>");
    Texts texts;
    for (const CheckFinding& finding :
         CheckConfiguration((dir / "kiosk.cfg").string(), {"kiosk", (dir / "bin/").string(), dir.str()}))
        texts.push_back(FindingText(finding));
    Texts expected = c.expected;  // "%" stands for the test's folder
    for (std::string& text : expected)
        if (const size_t at = text.find('%'); at != std::string::npos) text.replace(at, 1, dir.str() + "/");
    EXPECT_EQ(texts, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Configurations, ConfigurationCheckTest,
    ::testing::Values(
        CheckCase{"Sound", kStart + "[document]\nurl\nexample.org/*\ntext\na\n", {}, {}, {}},
        CheckCase{"NoStartPage",
                  "[mail]\nhost\nm\n",
                  {},
                  {},
                  {"ошибка: " + kFile + "Не указана стартовая страница"}},
        // After each failing line the next section is loaded on its own.
        CheckCase{"EveryFailingSection",
                  kStart + "bogus\n[document]\nurl\nh/p\ninsert\n\n[wrong]\n[errors]\nsearch\n",
                  {},
                  {},
                  {"ошибка: " + kFile + "Неизвестный оператор в строке 4",
                   "ошибка: " + kFile + "Нет обязательного параметра для оператора в строке 8",
                   "ошибка: " + kFile + "Неизвестная секция в строке 10"}},
        CheckCase{"LabelAfterACompileError",
                  "[options]\nx\n" + kStart + "[document]\nurl\nh/p\ngoto\nnowhere\n",
                  {},
                  {},
                  {"ошибка: " + kFile + "Неизвестный оператор в строке 2",
                   "ошибка: " + kFile + "Для документа h/p не найдена метка \"nowhere\""}},
        CheckCase{
            "MissingPagesAndUnusableValues",
            "[options]\nstart\nindex.html\nhttps\nyes\n[errors]\ndocument\nerr.html\nsearch\nfound.html\n"
            "net\nnet.html\n[document]\nurl\n/cart\n[document]\nurl\nhttp://shop/cart\n[document]\n",
            {"found.html"},
            {},
            {"предупреждение: строка 3: стартовая страница не найдена: %bin/index.html",
             "предупреждение: строка 5: https=yes: допустимо пусто, all или tunnel; действует как пусто "
             "(расшифровываются только узлы из url скриптов)",
             "предупреждение: строка 8: страница document не найдена: err.html",
             "предупреждение: строка 12: страница net не найдена в текущей папке, она не будет показана: "
             "net.html",
             "предупреждение: строка 15: у url скрипта нет узла, скрипт не применится ни к одной "
             "странице: /cart",
             "предупреждение: строка 18: url скрипта пишется без http:// и https://, иначе скрипт не "
             "применится: http://shop/cart",
             "предупреждение: строка 19: у url скрипта нет узла, скрипт не применится ни к одной "
             "странице: "}},
        CheckCase{
            "UnknownMailTls",
            "[options]\nstart\nhttp://a/\n[mail]\ntls\nyes\n",
            {},
            {},
            {"предупреждение: строка 6: tls=yes: допустимо пусто, required или off; действует как required "
             "(почта только по TLS)"}},
        CheckCase{"NetPageOnlyInTheWorkingFolder",
                  "[options]\nstart\nindex.html\n[errors]\nnet\nnet.html\n",
                  {"net.html"},
                  {"index.html"},
                  {"предупреждение: строка 6: страница net показывается из папки программы, там её нет: "
                   "%bin/net.html"}},
        CheckCase{"PagesInPlace",
                  "[options]\nstart\nindex.html\nhttps\ntunnel\n[errors]\nnet\nnet.html\n",
                  {"net.html"},
                  {"index.html", "net.html"},
                  {}}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

TEST(ConfigurationCheck, AMissingFileIsTheReadError) {
    TempDir dir;
    const std::vector<CheckFinding> findings =
        CheckConfiguration((dir / "kiosk.cfg").string(), {"kiosk", "/", ""});
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(FindingText(findings[0]), "ошибка: " + kFile + "Ошибка чтения");
}

}  // namespace
}  // namespace kiosk
