#include "shell/navigation_events.h"

#include <gtest/gtest.h>

#include "shell/idle_return.h"
#include "tests/support/temp_dir.h"
#include "tests/unit/shell/shell_test.h"

namespace kiosk::testing {
namespace {

using Events = std::vector<std::string>;

TEST_F(ShellTest, ACompletedDocumentIsCountedZoomedAndLogged) {
    zoomOption = "-1";
    CompleteDocument("http://a/frame");
    CompleteDocument("http://a/");
    EXPECT_EQ(documentCounter, 1);
    EXPECT_FALSE(Busy());
    EXPECT_EQ(record.Starting("BodyStyle"), (Events{
                                                "BodyStyle Zoom=0.5",
                                                "BodyStyle overflowY=auto",
                                                "BodyStyle overflowX=auto",
                                                "BodyStyle Zoom=0.5",
                                                "BodyStyle overflowY=auto",
                                                "BodyStyle overflowX=auto",
                                            }));
    EXPECT_EQ(Information(), (Events{"Загружен документ: http://a/frame", "Загружен документ: http://a/"}));
}

TEST_F(ShellTest, WithoutAZoomOnlyTheOverflowIsWritten) {
    zoomOption = "3";
    CompleteDocument("http://a/");
    EXPECT_EQ(record.Starting("BodyStyle"), (Events{"BodyStyle overflowY=auto", "BodyStyle overflowX=auto"}));
}

TEST_F(ShellTest, AFailedStyleWriteEndsTheHandlerBeforeItsLogLine) {
    browser->styleFailure = "no body";
    EXPECT_THROW(CompleteDocument("http://a/picture.png"), std::runtime_error);
    EXPECT_EQ(documentCounter, 0);
    EXPECT_FALSE(Busy());
    EXPECT_EQ(log.Entries(), Events{});
}

// A picture or a text shown as the document has no body to style: it counts and logs as loaded.
TEST_F(ShellTest, ADocumentThatIsNoHtmlPageIsCountedAndLoggedWithoutStyleWrites) {
    zoomOption = "-1";
    browser->htmlDocument = false;
    browser->styleFailure = "the document has no body";
    CompleteDocument("http://a/picture.png");
    EXPECT_EQ(documentCounter, 0);
    EXPECT_TRUE(record.Starting("BodyStyle").empty());
    EXPECT_EQ(Information(), (Events{"Загружен документ: http://a/picture.png"}));
}

// A Home among the events a style write runs destroys the control: the writes end there, quietly,
// and nothing touches the control again.
TEST_F(ShellTest, AHomeDuringTheStyleWritesEndsThemQuietly) {
    zoomOption = "-1";
    browser->duringNextCall = [this] { browserControl.reset(); };
    EXPECT_NO_THROW(CompleteDocument("http://a/"));
    EXPECT_EQ(record.Count("BrowserDestroyed"), 1);
    EXPECT_TRUE(record.Starting("BodyStyle").empty());
    EXPECT_EQ(Information(), (Events{"Загружен документ: http://a/"}));
}

// The net page in a directory of its own, which is both the working and the program's directory.
class NetPageTest : public ShellTest {
protected:
    NetPageTest() {
        workingDirectory = dir.str();
        programDir = dir.str() + "/";
        netPage = "net.html";
    }
    TempDir dir;
};

TEST_F(NetPageTest, ANetworkFailureShowsTheNetPageAndRestartsTheIdleTimer) {
    WriteFile(dir / "net.html", "<html>offline</html>");
    FailNavigation("http://example.invalid/", -2146697211);
    EXPECT_FALSE(Busy());
    EXPECT_FALSE(controls.KeysButton.Visible);
    EXPECT_FALSE(controls.KeysButton.Enabled);
    EXPECT_EQ(record.Starting("Navigate"), (Events{"Navigate " + LocalPageUrl(programDir, "net.html")}));
    EXPECT_EQ(log.Errors(), (Events{"http://example.invalid/ > net.html"}));
    EXPECT_TRUE(idleTimer.Enabled());
    EXPECT_EQ(idleTimer.periodsStarted, 2);  // enabled, then restarted
}

TEST_F(NetPageTest, WithoutTheNetFileTheKeysHideAndTheRunningIdleTimerGoesOn) {
    RestartIdleTimer(idleTimer);  // a key release
    FailNavigation("http://example.invalid/", -1);
    EXPECT_FALSE(controls.KeysButton.Visible);
    EXPECT_TRUE(idleTimer.Enabled());
    EXPECT_EQ(idleTimer.periodsStarted, 1);  // not restarted
    EXPECT_TRUE(record.Starting("Navigate").empty());
    EXPECT_EQ(log.Errors(), Events{});
}

TEST_F(NetPageTest, AnHttpErrorStatusIsLeftToTheBrowser) {
    WriteFile(dir / "net.html", "<html>offline</html>");
    FailNavigation("http://a/missing", 404);
    EXPECT_FALSE(Busy());
    EXPECT_TRUE(controls.KeysButton.Visible);
    EXPECT_FALSE(idleTimer.Enabled());
    EXPECT_TRUE(record.Starting("Navigate").empty());
    EXPECT_EQ(log.Errors(), Events{});
}

TEST_F(NetPageTest, ANetPageThatFailsItselfIsNotNavigatedAgain) {
    WriteFile(dir / "net.html", "<html>offline</html>");
    FailNavigation(LocalPageUrl(programDir, "net.html"), -2);
    EXPECT_TRUE(record.Starting("Navigate").empty());
    EXPECT_FALSE(controls.KeysButton.Visible);
}

// A page whose process ended leaves an empty page area: the terminal shows a page of its own again,
// saying so once.
TEST_F(NetPageTest, AnEndedPageProcessShowsTheNetPageOrElseTheStartPage) {
    EndPageProcess("http://a/");  // no net file yet
    EXPECT_FALSE(Busy());
    EXPECT_EQ(record.Starting("Navigate"), Events{StartPage()});
    EXPECT_TRUE(controls.KeysButton.Visible);
    EXPECT_TRUE(idleTimer.Enabled());
    EXPECT_EQ(log.Errors(), Events{"Процесс страницы завершился: http://a/"});

    WriteFile(dir / "net.html", "<html>offline</html>");
    record.Clear();
    EndPageProcess("http://b/");
    EXPECT_EQ(record.Starting("Navigate"), Events{"Navigate " + LocalPageUrl(programDir, "net.html")});
    EXPECT_FALSE(controls.KeysButton.Visible);
    EXPECT_EQ(log.Errors().size(), 2u);

    // The net page itself lost: the start page, not the net page again and again.
    record.Clear();
    EndPageProcess(LocalPageUrl(programDir, "net.html"));
    EXPECT_EQ(record.Starting("Navigate"), Events{StartPage()});
    EXPECT_TRUE(controls.KeysButton.Visible);
}

TEST_F(ShellTest, OnlyFinishedProgressStopsTheAnimation) {
    ReportProgress(50, 100);
    ReportProgress(0, 100);
    EXPECT_TRUE(Busy());
    ReportProgress(0, 0);
    EXPECT_FALSE(Busy());
}

}  // namespace
}  // namespace kiosk::testing
