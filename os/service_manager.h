#pragma once

namespace kiosk {

// The service manager that started the program, if one did and wants to hear from it (systemd with
// Type=notify on Linux). Every call does nothing when there is none.
class ServiceManager {
public:
    virtual ~ServiceManager() = default;
    // Start-up has finished; from now on the main loop tells the manager it is alive, when the
    // manager watches for that.
    virtual void Ready() = 0;
    // The shutdown sequence has begun.
    virtual void Stopping() = 0;
};

}  // namespace kiosk
