#pragma once

namespace kiosk {

enum class MouseButton { Left, Middle, Right, Other };

// What happened to the button. A double click's second press is its own kind.
enum class MouseAction { Press, Release, DoubleClick, Other };

// The lock-down's decision for one mouse event bound for the main thread's windows: true swallows it
// before it reaches its window. Presses and releases of the right button are swallowed, so the page
// never opens its context menu; everything else, a right double click included, passes.
bool SwallowsMouseEvent(MouseButton button, MouseAction action);

}  // namespace kiosk
