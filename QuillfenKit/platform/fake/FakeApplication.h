#pragma once

#include "platform/Application.h"

#include <optional>

namespace quillfen::platform::fake {

// Records what the code asks of the application. run() only delivers the launch callback;
// the test then drives the fake main queue itself.
class FakeApplication final : public Application {
public:
    void setDelegate(ApplicationDelegate* delegate) override { delegate_ = delegate; }
    void setActivationPolicy(ActivationPolicy policy) override { policy_ = policy; }
    void activateIgnoringOtherApps() override { ++activations_; }
    int run() override {
        if (delegate_) delegate_->applicationDidFinishLaunching();
        return 0;
    }
    void terminate() override { ++terminateCalls_; }
    bool isTerminating() const override { return terminateCalls_ > 0; }

    ApplicationDelegate* delegate() const { return delegate_; }
    std::optional<ActivationPolicy> activationPolicy() const { return policy_; }
    int activations() const { return activations_; }
    int terminateCalls() const { return terminateCalls_; }

private:
    ApplicationDelegate* delegate_ = nullptr;
    std::optional<ActivationPolicy> policy_;
    int activations_ = 0;
    int terminateCalls_ = 0;
};

} // namespace quillfen::platform::fake
