#include <gtest/gtest.h>

#include "config/config_loader.h"
#include "config/default_tables.h"

namespace kiosk {
namespace {

// The configuration that the demo run uses must load as it stands.
TEST(DemoConfiguration, LoadsWithoutError) {
    KeyValueTable options, mail, errors, operators;
    FillOptionTable(options);
    FillMailTable(mail);
    FillErrorTable(errors);
    FillOperatorTable(operators);
    DocumentScriptList scripts;
    EXPECT_EQ(LoadConfiguration(KIOSK_SOURCE_DIR "/demo/kiosk.cfg", "kiosk",
                                {options, mail, errors, operators, scripts}),
              "");
    EXPECT_EQ(options.Value("start"), "http://127.0.0.1:8180/index.html");
    EXPECT_EQ(errors.Value("net"), "net.html");
    EXPECT_EQ(mail.Value("subject"), "Киоск: ошибка");
    ASSERT_EQ(scripts.size(), 3u);
    EXPECT_EQ(scripts[0]->pattern, "127.0.0.1:8180/index.html");
    EXPECT_EQ(scripts[1]->pattern, "127.0.0.1:8180/*");
    EXPECT_EQ(scripts[2]->pattern, "example.org/");
}

}  // namespace
}  // namespace kiosk
