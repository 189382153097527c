#include "shell/density_scaling.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace kiosk {
namespace {

// The text heights Tahoma gives: its Windows ascent and descent are 2049 and 423 of 2048 units.
int TahomaTextHeight(int fontHeight) {
    return static_cast<int>(std::lround(fontHeight * 2049 / 2048.0) + std::lround(fontHeight * 423 / 2048.0));
}

std::vector<int> Bounds(const ControlModel& c) {
    return {c.Left, c.Top, c.Width, c.Height};
}

TEST(DensityScaleTest, IsTheIdentityAtTheDesignDensityWhateverTheFont) {
    int calls = 0;
    const TextHeightOf otherFont = [&calls](int) { return ++calls, 20; };
    EXPECT_TRUE(DensityScale(120, kMainWindowDesign, otherFont).IsIdentity());
    EXPECT_TRUE(DensityScale(96, kKeyTemplateDesign, otherFont).IsIdentity());
    EXPECT_TRUE(DensityScale(0, kMainWindowDesign, otherFont).IsIdentity());
    EXPECT_EQ(calls, 0);
    // A font that cannot be measured leaves the sizes alone too.
    EXPECT_TRUE(DensityScale(144, kMainWindowDesign, [](int) { return 0; }).IsIdentity());
}

TEST(DensityScaleTest, MeasuresTheFontScaledToTheScreen) {
    std::vector<int> measured;
    const TextHeightOf tahoma = [&measured](int height) {
        measured.push_back(height);
        return TahomaTextHeight(height);
    };
    const auto ratio = [](ScaleRatio r) { return std::vector<int>{r.Numerator, r.Denominator}; };
    EXPECT_EQ(ratio(DensityScale(96, kMainWindowDesign, tahoma)), (std::vector<int>{12, 16}));
    EXPECT_EQ(ratio(DensityScale(144, kMainWindowDesign, tahoma)), (std::vector<int>{19, 16}));
    // The keyboard template, designed at 96, on a screen of 120: 12.5 gives 13.
    EXPECT_EQ(ratio(DensityScale(120, kKeyTemplateDesign, tahoma)), (std::vector<int>{16, 12}));
    EXPECT_EQ(measured, (std::vector<int>{10, 16, 13}));
    EXPECT_EQ(ScaledFontHeight(kOutOfOrderFontHeight, 96, kMainWindowDesign), 26);   // 26.4
    EXPECT_EQ(ScaledFontHeight(kOutOfOrderFontHeight, 144, kMainWindowDesign), 40);  // 39.6
}

TEST(ScaleControlsTest, At96PixelsPerInchTheWindowIsThreeQuarters) {
    MainWindowControls w = DesignLayout();
    w.Form1.Left = 50;  // the window's place on the screen is no size
    ScaleControls(w, DensityScale(96, kMainWindowDesign, TahomaTextHeight));
    EXPECT_EQ(Bounds(w.Form1), (std::vector<int>{50, 0, 800, 600}));
    EXPECT_EQ(Bounds(w.Panel1), (std::vector<int>{0, 520, 800, 80}));
    EXPECT_EQ(Bounds(w.FlowPanel2), (std::vector<int>{0, 0, 264, 80}));
    const Margins& margin = w.FlowPanel2.Padding;
    EXPECT_EQ((std::vector<int>{margin.Left, margin.Top, margin.Right, margin.Bottom}),
              (std::vector<int>{10, 10, 10, 10}));
    EXPECT_EQ(Bounds(w.RxSpeedButton1), (std::vector<int>{190, 10, 60, 60}));
    EXPECT_EQ(Bounds(w.FlowPanel1), (std::vector<int>{272, 10, 453, 60}));
    EXPECT_EQ(Bounds(w.RxGIFAnimator1), (std::vector<int>{725, 0, 75, 80}));
}

TEST(ScaleControlsTest, At144PixelsPerInchTheButtonsAre95) {
    MainWindowControls w = DesignLayout();
    ScaleControls(w, DensityScale(144, kMainWindowDesign, TahomaTextHeight));
    EXPECT_EQ(Bounds(w.Form1), (std::vector<int>{0, 0, 1267, 950}));
    EXPECT_EQ(Bounds(w.Panel1), (std::vector<int>{0, 823, 1267, 127}));
    EXPECT_EQ(Bounds(w.RxSpeedButton4), (std::vector<int>{15, 15, 95, 95}));
    EXPECT_EQ(Bounds(w.RxSpeedButton1), (std::vector<int>{300, 15, 95, 95}));
    EXPECT_EQ(Bounds(w.RxGIFAnimator1), (std::vector<int>{1148, 0, 119, 127}));
}

// Edges that meet in the design meet after scaling, and children stay inside their parents.
void ExpectConsistent(const MainWindowControls& w, const ScaleRatio& ratio) {
    SCOPED_TRACE(std::to_string(ratio.Numerator) + "/" + std::to_string(ratio.Denominator));
    EXPECT_EQ(Bounds(w.WebBrowser1), (std::vector<int>{0, 0, w.Panel2.Width, w.Panel2.Height}));
    EXPECT_EQ(w.Panel2.Width, w.Form1.Width);
    EXPECT_EQ(w.Panel2.Height, w.Panel1.Top);
    EXPECT_EQ(w.Panel1.Top + w.Panel1.Height, w.Form1.Height);
    EXPECT_EQ(w.Panel1.Width, w.Form1.Width);
    EXPECT_EQ(w.FlowPanel2.Height, w.Panel1.Height);
    const ControlModel* buttons[] = {&w.RxSpeedButton4, &w.RxSpeedButton2, &w.RxSpeedButton3,
                                     &w.RxSpeedButton1};
    EXPECT_EQ(buttons[0]->Left, w.FlowPanel2.Padding.Left);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(buttons[i]->Top, w.FlowPanel2.Padding.Top);
        EXPECT_EQ(buttons[i]->Height, buttons[0]->Height);
        EXPECT_LE(buttons[i]->Top + buttons[i]->Height, w.FlowPanel2.Height - w.FlowPanel2.Padding.Bottom);
        EXPECT_NEAR(buttons[i]->Width, 80.0 * ratio.Numerator / ratio.Denominator, 1.0);
        if (i < 3) {
            EXPECT_EQ(buttons[i]->Left + buttons[i]->Width, buttons[i + 1]->Left);
        }
    }
    EXPECT_LE(buttons[3]->Left + buttons[3]->Width, w.FlowPanel2.Width - w.FlowPanel2.Padding.Right);
    EXPECT_EQ(w.FlowPanel1.Top, w.FlowPanel2.Padding.Top);
    EXPECT_EQ(w.FlowPanel1.Height, buttons[0]->Height);
    EXPECT_EQ(w.FlowPanel1.Left + w.FlowPanel1.Width, w.RxGIFAnimator1.Left);
    EXPECT_EQ(w.RxGIFAnimator1.Left + w.RxGIFAnimator1.Width, w.Panel1.Width);
    EXPECT_EQ(w.RxGIFAnimator1.Height, w.Panel1.Height);
}

TEST(ScaleControlsTest, KeepsPanelsAndTheirChildrenTogetherAtEveryDensity) {
    for (int pixelsPerInch = 60; pixelsPerInch <= 300; pixelsPerInch += 3) {
        const ScaleRatio ratio = DensityScale(pixelsPerInch, kMainWindowDesign, TahomaTextHeight);
        MainWindowControls window = DesignLayout();
        ScaleControls(window, ratio);
        ExpectConsistent(window, ratio);
    }
    for (int numerator = 5; numerator <= 40; ++numerator) {
        MainWindowControls window = DesignLayout();
        ScaleControls(window, {numerator, 16});
        ExpectConsistent(window, {numerator, 16});
    }
}

}  // namespace
}  // namespace kiosk
