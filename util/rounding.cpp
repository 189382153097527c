#include "util/rounding.h"

namespace kiosk {

int RoundedRatio(int value, int numerator, int denominator, Halves halves) {
    if (denominator == 0) return value;
    long long product = static_cast<long long>(value) * numerator;
    long long divisor = denominator;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    // Floor division, then up by one when the remainder is more than half, or exactly half and the
    // rule says so (below zero the floor is already away from zero).
    long long quotient = product / divisor;
    long long remainder = product % divisor;
    if (remainder < 0) {
        quotient -= 1;
        remainder += divisor;
    }
    const long long twice = 2 * remainder;
    const bool halfUp = halves == Halves::ToEven ? quotient % 2 != 0 : product >= 0;
    if (twice > divisor || (twice == divisor && halfUp)) quotient += 1;
    return static_cast<int>(quotient);
}

}  // namespace kiosk
