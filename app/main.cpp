// Program entry: an operator's tool when the command line names one (no display needed), else the
// kiosk on this build's platform.

#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>

#include "app/application.h"
#include "app/command_line.h"
#include "app/kiosk_parts.h"
#include "app/program_path.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
    const kiosk::CommandLine command = kiosk::ParseCommandLine({argv + (argc > 0 ? 1 : 0), argv + argc});
    if (const auto status =
            kiosk::RunOperatorTool(command, kiosk::RunningExecutablePath(), std::cout, std::cerr))
        return *status;
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
