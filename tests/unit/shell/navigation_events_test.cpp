#include <gtest/gtest.h>

#include "shell/start_page.h"
#include "tests/unit/shell/shell_test.h"

namespace kiosk::testing {
namespace {

using Events = std::vector<std::string>;

TEST_F(ShellTest, ACompletedDocumentIsCountedZoomedAndLogged) {
    Start("zoom\n-1\n");
    browser->CompleteDocument("http://a/frame");
    browser->CompleteDocument("http://a/");
    EXPECT_EQ(form->DocumentCounter, 1);
    EXPECT_FALSE(Busy());
    EXPECT_EQ(record.Starting("BodyStyle"), (Events{
                                                "BodyStyle Zoom=0.5",
                                                "BodyStyle overflowY=auto",
                                                "BodyStyle overflowX=auto",
                                                "BodyStyle Zoom=0.5",
                                                "BodyStyle overflowY=auto",
                                                "BodyStyle overflowX=auto",
                                            }));
    EXPECT_EQ(LogMessages(".log"),
              (Events{"Начало работы", "Загружен документ: http://a/frame", "Загружен документ: http://a/"}));
}

TEST_F(ShellTest, WithoutAZoomOnlyTheOverflowIsWritten) {
    Start("zoom\n3\n");
    browser->CompleteDocument("http://a/");
    EXPECT_EQ(record.Starting("BodyStyle"), (Events{"BodyStyle overflowY=auto", "BodyStyle overflowX=auto"}));
}

TEST_F(ShellTest, AFailedStyleWriteIsShownAndEndsTheHandlerBeforeItsLogLine) {
    Start();
    browser->styleFailure = "no body";
    browser->CompleteDocument("http://a/picture.png");
    EXPECT_EQ(record.Starting("ErrorBox"),
              (Events{std::string("ErrorBox ") + kApplicationTitle + ": no body"}));
    EXPECT_EQ(form->DocumentCounter, 0);
    EXPECT_FALSE(Busy());
    EXPECT_EQ(LogMessages(".log"), (Events{"Начало работы"}));
}

TEST_F(ShellTest, ANetworkFailureShowsTheNetPageAndRestartsTheIdleTimer) {
    WriteFile(dir / "net.html", "<html>offline</html>");
    Start("", "net\nnet.html\n");
    browser->FailNavigation("http://example.invalid/", -2146697211);
    EXPECT_FALSE(Busy());
    EXPECT_FALSE(form->Controls.RxSpeedButton1.Visible);
    EXPECT_FALSE(form->Controls.RxSpeedButton1.Enabled);
    EXPECT_EQ(record.Starting("Navigate"), (Events{"Navigate " + LocalPageUrl(ProgramDir(), "net.html")}));
    EXPECT_EQ(LogMessages(".err"), (Events{"http://example.invalid/ > net.html"}));
    EXPECT_TRUE(IdleTimer().Enabled());
    EXPECT_EQ(IdleTimer().periodsStarted, 2);  // enabled, then restarted
}

TEST_F(ShellTest, WithoutTheNetFileTheKeysHideAndTheRunningIdleTimerGoesOn) {
    Start("", "net\nnet.html\n");
    form->FormKeyUp();
    browser->FailNavigation("http://example.invalid/", -1);
    EXPECT_FALSE(form->Controls.RxSpeedButton1.Visible);
    EXPECT_TRUE(IdleTimer().Enabled());
    EXPECT_EQ(IdleTimer().periodsStarted, 1);  // not restarted
    EXPECT_TRUE(record.Starting("Navigate").empty());
    EXPECT_EQ(LogMessages(".err"), Events{});
}

TEST_F(ShellTest, AnHttpErrorStatusIsLeftToTheBrowser) {
    WriteFile(dir / "net.html", "<html>offline</html>");
    Start("", "net\nnet.html\n");
    browser->FailNavigation("http://a/missing", 404);
    EXPECT_FALSE(Busy());
    EXPECT_TRUE(form->Controls.RxSpeedButton1.Visible);
    EXPECT_FALSE(IdleTimer().Enabled());
    EXPECT_TRUE(record.Starting("Navigate").empty());
    EXPECT_EQ(LogMessages(".err"), Events{});
}

TEST_F(ShellTest, ANetPageThatFailsItselfIsNotNavigatedAgain) {
    WriteFile(dir / "net.html", "<html>offline</html>");
    Start("", "net\nnet.html\n");
    browser->FailNavigation(LocalPageUrl(ProgramDir(), "net.html"), -2);
    EXPECT_TRUE(record.Starting("Navigate").empty());
    EXPECT_FALSE(form->Controls.RxSpeedButton1.Visible);
}

TEST_F(ShellTest, OnlyFinishedProgressStopsTheAnimation) {
    Start();
    browser->ReportProgress(50, 100);
    browser->ReportProgress(0, 100);
    EXPECT_TRUE(Busy());
    browser->ReportProgress(0, 0);
    EXPECT_FALSE(Busy());
}

TEST_F(ShellTest, NewWindowsAreRefused) {
    Start();
    EXPECT_TRUE(browser->AskForNewWindow());
}

}  // namespace
}  // namespace kiosk::testing
