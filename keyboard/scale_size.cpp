#include "keyboard/scale_size.h"

namespace kiosk {

int ScaleQuarters(int code) {
    if (code < -2 || code > 2) return 4;
    return 6 + code;
}

int ScaleSize(int value, int code) {
    const long long scaled = static_cast<long long>(value) * ScaleQuarters(code);
    long long quotient = scaled / 4;
    long long remainder = scaled % 4;
    if (remainder < 0) {  // floor division for negative values
        quotient -= 1;
        remainder += 4;
    }
    if (remainder > 2 || (remainder == 2 && quotient % 2 != 0)) quotient += 1;
    return static_cast<int>(quotient);
}

}  // namespace kiosk
