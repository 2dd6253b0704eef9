#pragma once

#include "platform/Application.h"

namespace quillfen::platform::linux {

// The shared application on the event loop of the process's QCoreApplication, which the
// executable creates before it runs the loop. SIGTERM, SIGINT and SIGHUP end the loop the same way
// as terminate(), so a stopped process leaves nothing half-written behind.
class LinuxApplication final : public Application {
public:
    void setDelegate(ApplicationDelegate* delegate) override { delegate_ = delegate; }
    // Linux has no dock or menu bar owned by an application: nothing to change.
    void setActivationPolicy(ActivationPolicy) override {}
    void activateIgnoringOtherApps() override {}
    int run() override;
    void terminate() override;
    bool isTerminating() const override { return terminating_; }

private:
    ApplicationDelegate* delegate_ = nullptr;
    bool terminating_ = false;
};

} // namespace quillfen::platform::linux
