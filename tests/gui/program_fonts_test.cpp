#include "platform/linux/program_fonts.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "shell/density_scaling.h"

namespace kiosk {
namespace {

struct PatternDestroy {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDestroy>;

// The file fontconfig picks for a font name such as "Tahoma:bold".
std::string MatchedFile(const char* name) {
    const Pattern pattern(FcNameParse(reinterpret_cast<const FcChar8*>(name)));
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    const Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
    FcChar8* file = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch) return "";
    return reinterpret_cast<const char*>(file);
}

TEST(ProgramFontsTest, FontconfigFindsTheTahomaOfFontsWine) {
    AddProgramFonts();
    AddProgramFonts();
    EXPECT_EQ(MatchedFile("Tahoma"), "/usr/share/wine/fonts/tahoma.ttf");
    EXPECT_EQ(MatchedFile("Tahoma:bold"), "/usr/share/wine/fonts/tahomabd.ttf");
}

TEST(ProgramFontsTest, TahomaGivesTheTextHeightsOfTheDesign) {
    AddProgramFonts();
    EXPECT_EQ(TextHeight("Tahoma", 13, false), 16);  // the window at 120 pixels per inch
    EXPECT_EQ(TextHeight("Tahoma", 13, true), 16);
    EXPECT_EQ(TextHeight("Tahoma", 10, false), 12);  // the keyboard template at 96
    EXPECT_EQ(TextHeight(kProgramFontFamilies, 16, false), 19);
    EXPECT_EQ(TextHeight(kProgramFontFamilies, 33, true), 40);
    EXPECT_EQ(TextHeight("Tahoma", 0, false), 0);
    // A missing family falls back to the next of the list.
    EXPECT_EQ(TextHeight("No Such Family,DejaVu Sans", 13, false), 15);
}

TEST(ProgramFontsTest, TheWindowScalesByTheMeasuredFont) {
    AddProgramFonts();
    const TextHeightOf tahoma = [](int height) { return TextHeight(kProgramFontFamilies, height, false); };
    EXPECT_TRUE(DensityScale(120, kMainWindowDesign, tahoma).IsIdentity());
    EXPECT_EQ(DensityScale(144, kMainWindowDesign, tahoma).Numerator, 19);
    EXPECT_TRUE(DensityScale(96, kKeyTemplateDesign, tahoma).IsIdentity());
    EXPECT_EQ(DensityScale(144, kKeyTemplateDesign, tahoma).Numerator, 18);
}

}  // namespace
}  // namespace kiosk
