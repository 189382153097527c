#pragma once

#include <functional>
#include <stop_token>

namespace kiosk {

// One pass of the queue pump, on the mail worker's thread; a stop of the worker ends a send in
// progress at once. Must not throw.
using MailPump = std::function<void(std::stop_token stop)>;

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
