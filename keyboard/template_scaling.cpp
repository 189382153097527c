#include "keyboard/template_scaling.h"

namespace kiosk {

std::vector<TemplateElement> ScaleKeyTemplate(const std::vector<TemplateElement>& elements, int pixelsPerInch,
                                              ScaleRatio ratio) {
    std::vector<TemplateElement> scaled = elements;
    for (TemplateElement& element : scaled) {
        element.Font.Height = ScaledFontHeight(element.Font.Height, pixelsPerInch, kKeyTemplateDesign);
        element.Width = ratio.Apply(element.Width);
        element.Height = ratio.Apply(element.Height);
    }
    return scaled;
}

}  // namespace kiosk
