#pragma once

namespace kiosk {

// The factor a keys or interval code selects, in quarters: -2 1.0, -1 1.25, 0 1.5, 1 1.75, 2 2.0, any
// other code 1.0.
int ScaleQuarters(int code);

// value times the code's factor, rounded to the nearest whole number with halves to the even one.
int ScaleSize(int value, int code);

}  // namespace kiosk
