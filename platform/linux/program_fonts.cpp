#include "platform/linux/program_fonts.h"

#include "platform/linux/gobject_ref.h"

#include <fontconfig/fontconfig.h>
#include <hb-ot.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <memory>
#include <optional>

namespace kiosk {
namespace {

constexpr char kWineFontDirectory[] = "/usr/share/wine/fonts";

// The bold Tahoma of fonts-wine is marked bold but drawn with the regular strokes; fontconfig is told
// to embolden it, so that bold text looks bold.
constexpr char kEmboldenWineTahomaBold[] = R"(<?xml version="1.0"?>
<fontconfig>
  <match target="font">
    <test name="file"><string>/usr/share/wine/fonts/tahomabd.ttf</string></test>
    <edit name="embolden" mode="assign"><bool>true</bool></edit>
  </match>
</fontconfig>)";

struct DescriptionFree {
    void operator()(PangoFontDescription* description) const { pango_font_description_free(description); }
};
struct MetricsUnref {
    void operator()(PangoFontMetrics* metrics) const { pango_font_metrics_unref(metrics); }
};

// The font's usWinAscent and usWinDescent (what Windows measures text by) in pixels, each rounded.
std::optional<int> WindowsTextHeight(PangoFont* font, int pixelHeight) {
    hb_font_t* shaping = pango_font_get_hb_font(font);  // owned by font
    if (shaping == nullptr) return std::nullopt;
    hb_position_t ascent = 0;
    hb_position_t descent = 0;
    if (!hb_ot_metrics_get_position(shaping, HB_OT_METRICS_TAG_HORIZONTAL_CLIPPING_ASCENT, &ascent) ||
        !hb_ot_metrics_get_position(shaping, HB_OT_METRICS_TAG_HORIZONTAL_CLIPPING_DESCENT, &descent)) {
        return std::nullopt;
    }
    int xScale = 0;
    int yScale = 0;
    hb_font_get_scale(shaping, &xScale, &yScale);
    if (yScale <= 0) return std::nullopt;
    const double pixelsPerUnit = static_cast<double>(pixelHeight) / yScale;
    return static_cast<int>(std::lround(ascent * pixelsPerUnit) + std::lround(descent * pixelsPerUnit));
}

int PangoTextHeight(PangoFont* font) {
    const std::unique_ptr<PangoFontMetrics, MetricsUnref> metrics(pango_font_get_metrics(font, nullptr));
    return PANGO_PIXELS(pango_font_metrics_get_ascent(metrics.get())) +
           PANGO_PIXELS(pango_font_metrics_get_descent(metrics.get()));
}

}  // namespace

void AddProgramFonts() {
    // Fails, and changes nothing, when the directory is missing.
    static const bool added = [] {
        if (FcConfigAppFontAddDir(nullptr, reinterpret_cast<const FcChar8*>(kWineFontDirectory)) != FcTrue)
            return false;
        FcConfigParseAndLoadFromMemory(FcConfigGetCurrent(),
                                       reinterpret_cast<const FcChar8*>(kEmboldenWineTahomaBold), FcFalse);
        return true;
    }();
    static_cast<void>(added);
}

int TextHeight(const std::string& family, int pixelHeight, bool bold) {
    if (pixelHeight <= 0) return 0;
    PangoFontMap* fontMap = pango_cairo_font_map_get_default();  // not owned
    const auto context = GObjectRef<PangoContext>::Adopt(pango_font_map_create_context(fontMap));
    const std::unique_ptr<PangoFontDescription, DescriptionFree> description(pango_font_description_new());
    pango_font_description_set_family(description.get(), family.c_str());
    pango_font_description_set_absolute_size(description.get(), pixelHeight * PANGO_SCALE);
    pango_font_description_set_weight(description.get(), bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    const auto font =
        GObjectRef<PangoFont>::Adopt(pango_font_map_load_font(fontMap, context.get(), description.get()));
    if (!font) return 0;
    if (const std::optional<int> height = WindowsTextHeight(font.get(), pixelHeight)) return *height;
    return PangoTextHeight(font.get());
}

}  // namespace kiosk
