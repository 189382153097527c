#include "keyboard/scale_size.h"

#include "util/rounding.h"

namespace kiosk {

int ScaleQuarters(int code) {
    if (code < -2 || code > 2) return 4;
    return 6 + code;
}

int ScaleSize(int value, int code) {
    return RoundedRatio(value, ScaleQuarters(code), 4, Halves::ToEven);
}

}  // namespace kiosk
