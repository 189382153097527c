#pragma once

#include "log/mail_worker.h"

namespace kiosk {

// Placeholder until the mail sender exists: a worker that never runs and only keeps its two flags.
class PlaceholderMailWorker : public MailWorker {
public:
    bool Suspended() const override { return suspended_; }
    void Suspend() override { suspended_ = true; }
    bool Terminated() const override { return terminated_; }
    void Terminate() override { terminated_ = true; }

private:
    bool suspended_ = true;
    bool terminated_ = false;
};

}  // namespace kiosk
