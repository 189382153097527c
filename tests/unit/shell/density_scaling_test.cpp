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
    w.Window.Left = 50;  // the window's place on the screen is no size
    ScaleControls(w, DensityScale(96, kMainWindowDesign, TahomaTextHeight));
    EXPECT_EQ(Bounds(w.Window), (std::vector<int>{50, 0, 800, 600}));
    EXPECT_EQ(Bounds(w.BottomPanel), (std::vector<int>{0, 520, 800, 80}));
    EXPECT_EQ(Bounds(w.ButtonArea), (std::vector<int>{0, 0, 264, 80}));
    const Margins& margin = w.ButtonArea.Padding;
    EXPECT_EQ((std::vector<int>{margin.Left, margin.Top, margin.Right, margin.Bottom}),
              (std::vector<int>{10, 10, 10, 10}));
    EXPECT_EQ(Bounds(w.KeysButton), (std::vector<int>{190, 10, 60, 60}));
    EXPECT_EQ(Bounds(w.KeyboardPlace), (std::vector<int>{272, 10, 453, 60}));
    EXPECT_EQ(Bounds(w.BusyAnimation), (std::vector<int>{725, 0, 75, 80}));
}

TEST(ScaleControlsTest, At144PixelsPerInchTheButtonsAre95) {
    MainWindowControls w = DesignLayout();
    ScaleControls(w, DensityScale(144, kMainWindowDesign, TahomaTextHeight));
    EXPECT_EQ(Bounds(w.Window), (std::vector<int>{0, 0, 1267, 950}));
    EXPECT_EQ(Bounds(w.BottomPanel), (std::vector<int>{0, 823, 1267, 127}));
    EXPECT_EQ(Bounds(w.HomeButton), (std::vector<int>{15, 15, 95, 95}));
    EXPECT_EQ(Bounds(w.KeysButton), (std::vector<int>{300, 15, 95, 95}));
    EXPECT_EQ(Bounds(w.BusyAnimation), (std::vector<int>{1148, 0, 119, 127}));
}

// Edges that meet in the design meet after scaling, and children stay inside their parents.
void ExpectConsistent(const MainWindowControls& w, const ScaleRatio& ratio) {
    SCOPED_TRACE(std::to_string(ratio.Numerator) + "/" + std::to_string(ratio.Denominator));
    EXPECT_EQ(Bounds(w.Browser), (std::vector<int>{0, 0, w.PageArea.Width, w.PageArea.Height}));
    EXPECT_EQ(w.PageArea.Width, w.Window.Width);
    EXPECT_EQ(w.PageArea.Height, w.BottomPanel.Top);
    EXPECT_EQ(w.BottomPanel.Top + w.BottomPanel.Height, w.Window.Height);
    EXPECT_EQ(w.BottomPanel.Width, w.Window.Width);
    EXPECT_EQ(w.ButtonArea.Height, w.BottomPanel.Height);
    const ControlModel* buttons[] = {&w.HomeButton, &w.BackButton, &w.RefreshButton, &w.KeysButton};
    EXPECT_EQ(buttons[0]->Left, w.ButtonArea.Padding.Left);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(buttons[i]->Top, w.ButtonArea.Padding.Top);
        EXPECT_EQ(buttons[i]->Height, buttons[0]->Height);
        EXPECT_LE(buttons[i]->Top + buttons[i]->Height, w.ButtonArea.Height - w.ButtonArea.Padding.Bottom);
        EXPECT_NEAR(buttons[i]->Width, 80.0 * ratio.Numerator / ratio.Denominator, 1.0);
        if (i < 3) {
            EXPECT_EQ(buttons[i]->Left + buttons[i]->Width, buttons[i + 1]->Left);
        }
    }
    EXPECT_LE(buttons[3]->Left + buttons[3]->Width, w.ButtonArea.Width - w.ButtonArea.Padding.Right);
    EXPECT_EQ(w.KeyboardPlace.Top, w.ButtonArea.Padding.Top);
    EXPECT_EQ(w.KeyboardPlace.Height, buttons[0]->Height);
    EXPECT_EQ(w.KeyboardPlace.Left + w.KeyboardPlace.Width, w.BusyAnimation.Left);
    EXPECT_EQ(w.BusyAnimation.Left + w.BusyAnimation.Width, w.BottomPanel.Width);
    EXPECT_EQ(w.BusyAnimation.Height, w.BottomPanel.Height);
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
