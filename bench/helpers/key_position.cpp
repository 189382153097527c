// Prints where the running program shows the on-screen key that sends a virtual-key code, on a
// 96-ppi screen of the given size: "x y". Used by bench/key-latency.

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "tests/support/screen_keyboard.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s WIDTH HEIGHT CODE\n", argv[0]);
        return 2;
    }
    try {
        const kiosk::testing::ScreenKeyboard keys(std::atoi(argv[1]), std::atoi(argv[2]));
        const auto key = keys.KeyFor(static_cast<std::uint16_t>(std::atoi(argv[3])));
        std::printf("%d %d\n", key.x, key.y);
        return 0;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
}
