#include "keyboard/template_scaling.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "keyboard/key_placement.h"

namespace kiosk {
namespace {

// The text heights Tahoma gives: its Windows ascent and descent are 2049 and 423 of 2048 units.
int TahomaTextHeight(int fontHeight) {
    return static_cast<int>(std::lround(fontHeight * 2049 / 2048.0) + std::lround(fontHeight * 423 / 2048.0));
}

std::vector<TemplateElement> TemplateFor(int pixelsPerInch) {
    return ScaleKeyTemplate(KeyTemplate(), pixelsPerInch,
                            DensityScale(pixelsPerInch, kKeyTemplateDesign, TahomaTextHeight));
}

const TemplateElement& Captioned(const std::vector<TemplateElement>& elements, const std::string& caption) {
    for (const TemplateElement& e : elements) {
        if (e.Caption == caption) return e;
    }
    throw std::runtime_error("no key " + caption);
}

struct Placed {
    PanelModel panel;
    std::vector<int> rows;  // widths of the placed rows
};

Placed Place(const std::vector<TemplateElement>& elements, int keys) {
    std::vector<std::string> captions;
    for (const TemplateElement& e : elements) captions.push_back(e.Caption);
    Placed placed;
    placed.rows = {0};
    for (const PlacedKey& key : PlaceKeys(elements, captions, placed.panel, keys, keys)) {
        if (elements[key.Element].Kind == ElementKind::Separator) {
            placed.rows.push_back(0);
        } else {
            placed.rows.back() += key.Width;
        }
    }
    return placed;
}

TEST(TemplateScalingTest, At96PixelsPerInchTheTemplateAndItsPlacementAreUnchanged) {
    const std::vector<TemplateElement> scaled = TemplateFor(96);
    ASSERT_EQ(scaled.size(), KeyTemplate().size());
    for (std::size_t i = 0; i < scaled.size(); ++i) {
        EXPECT_EQ(scaled[i].Width, KeyTemplate()[i].Width) << i;
        EXPECT_EQ(scaled[i].Height, KeyTemplate()[i].Height) << i;
        EXPECT_EQ(scaled[i].Font.Height, KeyTemplate()[i].Font.Height) << i;
    }
    const Placed placed = Place(scaled, 0);
    EXPECT_EQ(placed.panel.Width, 766);
    EXPECT_EQ(placed.panel.Height, 251);
}

TEST(TemplateScalingTest, At144PixelsPerInchKeysAndFontsGrowByHalf) {
    const std::vector<TemplateElement> scaled = TemplateFor(144);
    EXPECT_EQ(Captioned(scaled, "q").Width, 41);        // 40.5
    EXPECT_EQ(Captioned(scaled, "q").Font.Height, 20);  // 19.5
    EXPECT_EQ(Captioned(scaled, "BackSpace").Width, 114);
    EXPECT_EQ(Captioned(scaled, "BackSpace").Font.Height, 17);  // 16.5
    EXPECT_EQ(Captioned(scaled, "Del").Font.Height, 15);
    EXPECT_EQ(scaled[1].Width, 9);  // a gap
    // Every row still fills the first row's width once placed: 13 keys of 41, 13 gaps of 9, BackSpace.
    const Placed placed = Place(scaled, -2);
    const int row =
        13 * Captioned(scaled, "q").Width + 13 * scaled[1].Width + Captioned(scaled, "BackSpace").Width;
    EXPECT_EQ(placed.rows, std::vector<int>(5, row));
    EXPECT_EQ(placed.panel.Width, kTemplatePadding + row + kTemplatePadding + 3);
}

}  // namespace
}  // namespace kiosk
