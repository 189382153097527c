#include "keyboard/focus_text_field.h"

#include <gtest/gtest.h>

#include "shell/navigation_events.h"
#include "tests/unit/keyboard/focus_test.h"

namespace kiosk::testing {
namespace {

using Events = std::vector<std::string>;

TEST_F(FocusTest, WhenLoadingEndsTheFirstTextFieldOfAFormGetsTheFocusAndTheKeyboardOpens) {
    CountKeyboardShows();
    const auto reportProgress = [this](std::int32_t progress, std::int32_t maximum) {
        OnProgressChange(controls.BusyAnimation, progress, maximum, [this] { Search(); });
    };
    browser.forms = {{Field("INPUT", "hidden"), Field("BUTTON", "text"), Field(), Field()}};
    reportProgress(0, 100);
    EXPECT_EQ(record.Starting("Focus"), Events{});
    reportProgress(0, 0);
    EXPECT_EQ(record.Starting("Focus"), (Events{"Focus 0 2"}));
    EXPECT_TRUE(KeyboardOpen());
    EXPECT_EQ(keyboardShows, 1);
    EXPECT_FALSE(Busy());
}

// A Home among the events that a focus, or the keyboard opening, runs destroys the control: the
// search ends there, quietly, and never touches the control again.
TEST_F(FocusTest, AHomeDuringTheSearchEndsItQuietly) {
    for (const bool duringFocus : {true, false}) {
        auto doomed = std::make_unique<FakeBrowser>(record);
        doomed->forms = {{Field()}, {Field()}};
        if (duringFocus) {
            doomed->duringNextCall = [&doomed] { doomed.reset(); };
        } else {
            refreshCaptions = [&doomed] { doomed.reset(); };
        }
        EXPECT_FALSE(FocusTextField(doomed.get(), Keys(), log)) << duringFocus;
        EXPECT_EQ(doomed, nullptr);
        EXPECT_EQ(log.Entries(), Events{}) << duringFocus;
    }
}

TEST_F(FocusTest, ATextAreaIsATextFieldWhateverItsType) {
    browser.forms = {{Field("TEXTAREA", "textarea")}};
    EXPECT_TRUE(Search());
    EXPECT_EQ(record.Starting("Focus"), (Events{"Focus 0 0"}));
}

TEST_F(FocusTest, FieldsThatAreNotUsableTextFieldsAreNeverFocused) {
    FakeElement disabled = Field();
    disabled.disabled = "True";
    FakeElement hidden = Field("TEXTAREA");
    hidden.display = "none";
    browser.forms = {{disabled, hidden, Field("INPUT", "password"), Field("INPUT", "checkbox"),
                      Field("SELECT", "select-one"), Field("input", "text")}};
    EXPECT_FALSE(Search());
    EXPECT_EQ(record.Starting("Focus"), Events{});
    EXPECT_FALSE(KeyboardOpen());
}

TEST_F(FocusTest, AKeyboardTheUserOpenedStaysOpenWhenNoFieldIsFound) {
    ClickKeys();
    browser.forms = {{Field("INPUT", "password")}};
    EXPECT_FALSE(Search());
    EXPECT_TRUE(KeyboardOpen());
}

TEST_F(FocusTest, EveryFormFocusesItsFirstFieldInTurnAndTheKeyboardOpensOnce) {
    CountKeyboardShows();
    browser.forms = {{Field(), Field()}, {}, {Field("INPUT", "password"), Field("TEXTAREA")}};
    EXPECT_TRUE(Search());
    EXPECT_EQ(record.Starting("Focus"), (Events{"Focus 0 0", "Focus 2 1"}));
    EXPECT_EQ(keyboardShows, 1);
    EXPECT_TRUE(KeyboardOpen());
}

TEST_F(FocusTest, AFieldThatCannotTakeTheFocusGivesWayToTheNextOfItsForm) {
    FakeElement refusing = Field();
    refusing.focusFails = true;
    browser.forms = {{refusing, Field("TEXTAREA")}, {refusing}};
    EXPECT_TRUE(Search());
    EXPECT_EQ(record.Starting("Focus"), (Events{"Focus 0 1"}));
    EXPECT_EQ(record.Starting("ErrorBox"), Events{});
}

TEST_F(FocusTest, ADocumentThatCannotBeReadEndsTheSearchWithAnErrorLogLine) {
    browser.forms = {{Field()}};
    browser.readFailure = "document gone";
    EXPECT_FALSE(Search());
    EXPECT_FALSE(KeyboardOpen());
    EXPECT_EQ(log.Errors(), (Events{"Поиск поля ввода: document gone"}));
    EXPECT_EQ(record.Starting("ErrorBox"), Events{});
}

// A page that moves on while it is searched (a redirect, its own script, a link) takes its forms
// with it: the failed read ends the search without an error entry, unlike a failure of the page.
TEST_F(FocusTest, APageThatMovesOnDuringTheSearchEndsItQuietly) {
    for (const bool loadStarts : {false, true}) {
        browser.readFailure.clear();
        browser.forms = {{Field()}, {Field()}};
        browser.duringNextCall = [this, loadStarts] {
            if (loadStarts) browser.StartLoad();
            browser.readFailure = "there is no form 1";
        };
        EXPECT_FALSE(Search()) << loadStarts;
    }
    // Only the page that stayed has failed.
    EXPECT_EQ(log.Errors(), (Events{"Поиск поля ввода: there is no form 1"}));
}

TEST_F(FocusTest, WithoutAnHtmlDocumentNothingIsRead) {
    browser.htmlDocument = false;
    browser.readFailure = "must not be read";
    browser.forms = {{Field()}};
    EXPECT_FALSE(Search());
    EXPECT_EQ(log.Errors(), Events{});
    EXPECT_FALSE(KeyboardOpen());
}

TEST_F(FocusTest, WithoutABrowserNothingIsSearched) {
    EXPECT_FALSE(FocusTextField(nullptr, Keys(), log));
    EXPECT_EQ(log.Entries(), Events{});
}

}  // namespace
}  // namespace kiosk::testing
