#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keyboard/flow_layout.h"
#include "keyboard/key_placement.h"
#include "keyboard/key_template.h"
#include "keyboard/scale_size.h"

namespace kiosk {
namespace {

TEST(ScaleSizeTest, RoundsHalvesToEven) {
    EXPECT_EQ(ScaleSize(27, 0), 40);  // 40.5
    EXPECT_EQ(ScaleSize(5, 0), 8);    // 7.5
    EXPECT_EQ(ScaleSize(6, 1), 10);   // 10.5
    EXPECT_EQ(ScaleSize(27, -1), 34);
    EXPECT_EQ(ScaleSize(76, 0), 114);
    EXPECT_EQ(ScaleSize(43, 0), 64);  // 64.5
    EXPECT_EQ(ScaleSize(27, 5), 27);
    EXPECT_EQ(ScaleSize(27, -3), 27);
    EXPECT_EQ(ScaleSize(27, 2), 54);
}

TEST(KeyTemplateTest, HoldsFiveRowsOf505) {
    const std::vector<TemplateElement>& elements = KeyTemplate();
    ASSERT_EQ(elements.size(), 125u);
    int keys = 0, gaps = 0, separators = 0, characters = 0, stretch = 0, row = 0;
    std::vector<int> rows;
    for (const TemplateElement& e : elements) {
        keys += e.Kind == ElementKind::Key;
        gaps += e.Kind == ElementKind::Gap;
        characters += e.Action == KeyAction::Character;
        stretch += e.Stretch;
        if (e.Kind == ElementKind::Separator) {
            ++separators;
            EXPECT_EQ(e.Width, 505);
            EXPECT_EQ(e.Height, 6);
            rows.push_back(row);
            row = 0;
        } else {
            row += e.Width;
        }
    }
    rows.push_back(row);
    EXPECT_EQ(keys, 63);
    EXPECT_EQ(gaps, 58);
    EXPECT_EQ(separators, 4);
    EXPECT_EQ(characters, 47);
    EXPECT_EQ(stretch, 4);
    EXPECT_EQ(rows, (std::vector<int>{505, 505, 505, 505, 505}));
}

struct Placement {
    PanelModel panel;
    std::vector<PlacedKey> keys;
};

Placement Place(int keys, int interval) {
    std::vector<std::string> captions;
    for (const TemplateElement& e : KeyTemplate()) captions.push_back(e.Caption);
    Placement placement;
    placement.keys = PlaceKeys(KeyTemplate(), captions, placement.panel, keys, interval);
    return placement;
}

// Widths of the rows of placed elements, separators left out.
std::vector<int> RowWidths(const Placement& placement) {
    std::vector<int> rows{0};
    for (const PlacedKey& key : placement.keys) {
        if (KeyTemplate()[key.Element].Kind == ElementKind::Separator) {
            rows.push_back(0);
        } else {
            rows.back() += key.Width;
        }
    }
    return rows;
}

int WidthOf(const Placement& placement, const std::string& caption) {
    for (const PlacedKey& key : placement.keys) {
        if (key.Caption == caption) return key.Width;
    }
    return -1;
}

int LanguageKeyWidth(const Placement& placement) {
    for (const PlacedKey& key : placement.keys) {
        if (KeyTemplate()[key.Element].Action == KeyAction::Language) return key.Width;
    }
    return -1;
}

TEST(KeyPlacementTest, PanelSizesForEveryCodePair) {
    const int widths[5][5] = {{520, 546, 559, 572, 598},
                              {630, 656, 669, 682, 708},
                              {727, 753, 766, 779, 805},
                              {837, 863, 876, 889, 915},
                              {947, 973, 986, 999, 1025}};
    const int heights[5][5] = {{174, 182, 186, 190, 198},
                               {209, 217, 221, 225, 233},
                               {239, 247, 251, 255, 263},
                               {274, 282, 286, 290, 298},
                               {309, 317, 321, 325, 333}};
    for (int k = -2; k <= 2; ++k) {
        for (int i = -2; i <= 2; ++i) {
            const Placement placement = Place(k, i);
            EXPECT_EQ(placement.panel.Width, widths[k + 2][i + 2]) << k << " " << i;
            EXPECT_EQ(placement.panel.Height, heights[k + 2][i + 2]) << k << " " << i;
            const int reference = placement.panel.Width - 15;
            EXPECT_EQ(RowWidths(placement), std::vector<int>(5, reference)) << k << " " << i;
        }
    }
}

TEST(KeyPlacementTest, DefaultsStretchTheFirstKeys) {
    const Placement placement = Place(0, 0);
    EXPECT_EQ(placement.panel.Width, 766);
    EXPECT_EQ(placement.panel.Height, 251);
    EXPECT_EQ(RowWidths(placement), std::vector<int>(5, 751));
    EXPECT_EQ(WidthOf(placement, "Tab"), 65);
    EXPECT_EQ(WidthOf(placement, "CapsLock"), 81);
    EXPECT_EQ(WidthOf(placement, "Shift"), 114);
    EXPECT_EQ(LanguageKeyWidth(placement), 136);
    EXPECT_EQ(WidthOf(placement, "BackSpace"), 114);
    EXPECT_EQ(placement.panel.Padding.Left, 6);
    EXPECT_EQ(placement.panel.Padding.Bottom, 6);
}

TEST(KeyPlacementTest, CodesOutsideTheTableGiveDesignSizes) {
    const Placement placement = Place(5, 7);
    EXPECT_EQ(WidthOf(placement, "q"), 27);
    EXPECT_EQ(placement.keys[1].Width, 6);  // a gap
    EXPECT_EQ(placement.keys[1].Height, 27);
    EXPECT_EQ(placement.keys[0].Font.Height, 13);
    EXPECT_EQ(placement.panel.Width, 520);
}

TEST(KeyPlacementTest, StretchKeysNarrowAsWellAsWiden) {
    const Placement placement = Place(-2, 2);
    EXPECT_EQ(WidthOf(placement, "Tab"), 37);
    EXPECT_EQ(WidthOf(placement, "CapsLock"), 61);
    // The first row defines the reference and keeps its keys as scaled.
    EXPECT_EQ(WidthOf(placement, "BackSpace"), 76);
    EXPECT_EQ(WidthOf(placement, "`"), 27);
}

TEST(KeyPlacementTest, GapsTakeTheKeyHeightAndFontsScaleWithKeys) {
    const Placement placement = Place(2, -2);
    EXPECT_EQ(placement.keys[1].Width, 6);
    EXPECT_EQ(placement.keys[1].Height, 54);
    EXPECT_EQ(placement.keys[0].Font.Height, 26);
    EXPECT_TRUE(placement.keys[0].Font.Bold);
    EXPECT_FALSE(placement.keys[1].Enabled);
}

TEST(KeyPlacementTest, FlowingPanelStartsEachRowOnItsOwnLine) {
    const Placement placement = Place(0, 0);
    const int inset = kTemplatePadding + kFlowPanelBevel;
    int lastTop = -1;
    for (const PlacedKey& key : placement.keys) {
        const ElementKind kind = KeyTemplate()[key.Element].Kind;
        if (kind == ElementKind::Separator || KeyTemplate()[key.Element].Stretch) {
            EXPECT_EQ(key.Left, inset);
            EXPECT_GT(key.Top, lastTop);
        }
        lastTop = key.Top;
    }
    EXPECT_EQ(placement.keys.front().Top, inset);
    const PlacedKey& last = placement.keys.back();
    EXPECT_EQ(last.Left + last.Width, inset + 751);  // the first row's width
    EXPECT_EQ(last.Top + last.Height, inset + 236);  // the rows' height
}

}  // namespace
}  // namespace kiosk
