#pragma once

namespace kiosk {

// The thread that paces the notification mail. Created suspended; shutdown suspends it, marks it
// terminated and frees it.
class MailWorker {
public:
    virtual ~MailWorker() = default;
    virtual bool Suspended() const = 0;
    virtual void Suspend() = 0;
    virtual bool Terminated() const = 0;
    virtual void Terminate() = 0;
};

}  // namespace kiosk
