// Program entry: the kiosk on this build's platform.

#include "app/application.h"
#include "app/kiosk_parts.h"
#include "platform/platform.h"

int main() {
    const auto platform = kiosk::CreatePlatform();
    kiosk::KioskParts parts(*platform);
    return kiosk::RunApplication(parts.Parts());
}
