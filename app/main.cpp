// Program entry: the kiosk on this build's platform.

#include <cstdio>
#include <exception>
#include <memory>

#include "app/application.h"
#include "app/kiosk_parts.h"
#include "platform/platform.h"

int main() {
    std::unique_ptr<kiosk::Platform> platform;
    try {
        platform = kiosk::CreatePlatform();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s: %s\n", kiosk::kApplicationTitle, failure.what());
        return 1;
    }
    kiosk::KioskParts parts(*platform);
    return kiosk::RunApplication(parts.Parts(), parts.Stages());
}
