#include "shell/screen_density.h"

#include <algorithm>
#include <cmath>

namespace kiosk {
namespace {

constexpr double kMillimetresPerInch = 25.4;
constexpr double kLeastDensity = 50;
constexpr double kGreatestDensity = 300;
constexpr double kGreatestDisagreement = 1.1;
constexpr int kDefaultDensity = 96;

double Density(int pixels, int millimetres) {
    return pixels * kMillimetresPerInch / millimetres;
}

}  // namespace

int PixelsPerInch(const ScreenSize& size) {
    if (size.WidthPixels <= 0 || size.HeightPixels <= 0) return 0;
    if (size.WidthMillimetres <= 0 || size.HeightMillimetres <= 0) return 0;
    const double across = Density(size.WidthPixels, size.WidthMillimetres);
    const double down = Density(size.HeightPixels, size.HeightMillimetres);
    const double least = std::min(across, down);
    const double greatest = std::max(across, down);
    if (least < kLeastDensity || greatest > kGreatestDensity) return 0;
    if (greatest > least * kGreatestDisagreement) return 0;
    return static_cast<int>(std::lround((across + down) / 2));
}

int ChooseScreenDensity(const ScreenSize& monitor, const ScreenSize& xScreen) {
    if (const int measured = PixelsPerInch(monitor); measured > 0) return measured;
    if (const int configured = PixelsPerInch(xScreen); configured > 0) return configured;
    return kDefaultDensity;
}

}  // namespace kiosk
