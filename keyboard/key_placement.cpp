#include "keyboard/key_placement.h"

#include "keyboard/flow_layout.h"
#include "keyboard/scale_size.h"

namespace kiosk {
namespace {

// The widths gathered while the elements are placed.
struct RowWidths {
    int current = 0;
    int reference = 0;  // the first row's width; 0 until that row is complete
    int totalHeight = 0;
    PlacedKey* stretchKey = nullptr;
};

PlacedKey CopyOf(const TemplateElement& element, std::size_t index, const std::string& caption) {
    PlacedKey copy;
    copy.Element = index;
    copy.Caption = caption;
    copy.Enabled = element.Enabled();
    copy.Flat = !element.Enabled();
    copy.Font = element.Font;
    copy.Picture = element.Picture;
    return copy;
}

void SizeCopy(PlacedKey& copy, const TemplateElement& element, RowWidths& rows, int keys, int interval) {
    switch (element.Kind) {
        case ElementKind::Key:
            copy.Width = ScaleSize(element.Width, keys);
            copy.Height = ScaleSize(element.Height, keys);
            rows.current += copy.Width;
            break;
        case ElementKind::Gap:
            copy.Width = ScaleSize(element.Width, interval);
            copy.Height = ScaleSize(element.Height, keys);
            rows.current += copy.Width;
            break;
        case ElementKind::Separator:
            copy.Width = rows.reference;
            copy.Height = ScaleSize(element.Height, interval);
            rows.totalHeight += copy.Height;
            break;
    }
    copy.Font.Height = ScaleSize(element.Font.Height, keys);
}

// Makes the current row as wide as the first by widening or narrowing its stretch key.
void FitRow(RowWidths& rows) {
    if (rows.stretchKey == nullptr) return;
    rows.stretchKey->Width += rows.reference - rows.current;
}

bool EndsRow(const PlacedKey& copy, bool lastElement) {
    return lastElement || copy.Caption == "Del" || copy.Caption == "Enter" || copy.Caption == "End";
}

void TrackRow(PlacedKey& copy, const TemplateElement& element, RowWidths& rows, bool lastElement) {
    if (element.Stretch) {
        rows.stretchKey = &copy;
        rows.current = copy.Width;
        rows.totalHeight += copy.Height;
    } else if (rows.reference == 0) {
        if (copy.Caption != "BackSpace") return;
        rows.reference = rows.current;
        rows.current = 0;
        rows.totalHeight += copy.Height;
    } else if (EndsRow(copy, lastElement)) {
        FitRow(rows);
    }
}

}  // namespace

std::vector<PlacedKey> PlaceKeys(const std::vector<TemplateElement>& elements,
                                 const std::vector<std::string>& captions, PanelModel& target, int keys,
                                 int interval) {
    target.Padding = Margins{kTemplatePadding, kTemplatePadding, kTemplatePadding, kTemplatePadding};
    std::vector<PlacedKey> copies;
    copies.reserve(elements.size());  // the stretch key is kept by address
    RowWidths rows;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const TemplateElement& element = elements[i];
        PlacedKey& copy = copies.emplace_back(CopyOf(element, i, captions.at(i)));
        SizeCopy(copy, element, rows, keys, interval);
        if (element.Kind == ElementKind::Key) TrackRow(copy, element, rows, i + 1 == elements.size());
    }
    target.Width = target.Padding.Left + rows.reference + target.Padding.Right + 3;
    target.Height = target.Padding.Top + rows.totalHeight + target.Padding.Bottom + 3;
    FlowLayout(target, copies);
    return copies;
}

}  // namespace kiosk
