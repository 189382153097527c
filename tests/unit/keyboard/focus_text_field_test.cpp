#include <gtest/gtest.h>

#include "tests/unit/keyboard/focus_test.h"

namespace kiosk::testing {
namespace {

using Events = std::vector<std::string>;

TEST_F(FocusTest, WhenLoadingEndsTheFirstTextFieldOfAFormGetsTheFocusAndTheKeyboardOpens) {
    Start();
    CountKeyboardShows();
    browser->forms = {{Field("INPUT", "hidden"), Field("BUTTON", "text"), Field(), Field()}};
    browser->ReportProgress(0, 100);
    EXPECT_EQ(record.Starting("Focus"), Events{});
    browser->ReportProgress(0, 0);
    EXPECT_EQ(record.Starting("Focus"), (Events{"Focus 0 2"}));
    EXPECT_TRUE(KeyboardOpen());
    EXPECT_EQ(keyboardShows, 1);
    EXPECT_FALSE(Busy());
}

TEST_F(FocusTest, ATextAreaIsATextFieldWhateverItsType) {
    Start();
    browser->forms = {{Field("TEXTAREA", "textarea")}};
    EXPECT_TRUE(form->FocusTextField());
    EXPECT_EQ(record.Starting("Focus"), (Events{"Focus 0 0"}));
}

TEST_F(FocusTest, FieldsThatAreNotUsableTextFieldsAreNeverFocused) {
    Start();
    FakeElement disabled = Field();
    disabled.disabled = "True";
    FakeElement hidden = Field("TEXTAREA");
    hidden.display = "none";
    browser->forms = {{disabled, hidden, Field("INPUT", "password"), Field("INPUT", "checkbox"),
                       Field("SELECT", "select-one"), Field("input", "text")}};
    EXPECT_FALSE(form->FocusTextField());
    EXPECT_EQ(record.Starting("Focus"), Events{});
    EXPECT_FALSE(KeyboardOpen());
}

TEST_F(FocusTest, AKeyboardTheUserOpenedStaysOpenWhenNoFieldIsFound) {
    Start();
    ClickKeys();
    browser->forms = {{Field("INPUT", "password")}};
    EXPECT_FALSE(form->FocusTextField());
    EXPECT_TRUE(KeyboardOpen());
}

TEST_F(FocusTest, EveryFormFocusesItsFirstFieldInTurnAndTheKeyboardOpensOnce) {
    Start();
    CountKeyboardShows();
    browser->forms = {{Field(), Field()}, {}, {Field("INPUT", "password"), Field("TEXTAREA")}};
    EXPECT_TRUE(form->FocusTextField());
    EXPECT_EQ(record.Starting("Focus"), (Events{"Focus 0 0", "Focus 2 1"}));
    EXPECT_EQ(keyboardShows, 1);
    EXPECT_TRUE(KeyboardOpen());
}

TEST_F(FocusTest, AFieldThatCannotTakeTheFocusGivesWayToTheNextOfItsForm) {
    Start();
    FakeElement refusing = Field();
    refusing.focusFails = true;
    browser->forms = {{refusing, Field("TEXTAREA")}, {refusing}};
    EXPECT_TRUE(form->FocusTextField());
    EXPECT_EQ(record.Starting("Focus"), (Events{"Focus 0 1"}));
    EXPECT_EQ(record.Starting("ErrorBox"), Events{});
}

TEST_F(FocusTest, ADocumentThatCannotBeReadEndsTheSearchWithAnErrorLogLine) {
    Start();
    browser->forms = {{Field()}};
    browser->readFailure = "document gone";
    EXPECT_FALSE(form->FocusTextField());
    EXPECT_FALSE(KeyboardOpen());
    EXPECT_EQ(LogMessages(".err"), (Events{"Поиск поля ввода: document gone"}));
    EXPECT_EQ(record.Starting("ErrorBox"), Events{});
}

TEST_F(FocusTest, WithoutAnHtmlDocumentNothingIsRead) {
    Start();
    browser->htmlDocument = false;
    browser->readFailure = "must not be read";
    browser->forms = {{Field()}};
    EXPECT_FALSE(form->FocusTextField());
    EXPECT_EQ(LogMessages(".err"), Events{});
    EXPECT_FALSE(KeyboardOpen());
}

}  // namespace
}  // namespace kiosk::testing
