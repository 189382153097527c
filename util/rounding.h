#pragma once

namespace kiosk {

// How a result exactly halfway between two whole numbers is rounded.
enum class Halves {
    AwayFromZero,  // 2.5 to 3, -2.5 to -3: the window's scaling for the screen's density
    ToEven,        // 2.5 to 2, 3.5 to 4: the keyboard's key sizes
};

// value * numerator / denominator, rounded to the nearest whole number, halves as given. Computed in
// 64 bits, so no product of two ints overflows. A denominator of 0 leaves value as it is.
int RoundedRatio(int value, int numerator, int denominator, Halves halves);

}  // namespace kiosk
