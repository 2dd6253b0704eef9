#include "platform/MainQueue.h"

namespace quillfen::platform {

Cancellable Cancellable::make(std::function<void()> onCancel) {
    Cancellable c;
    c.state_ = std::make_shared<State>();
    c.state_->onCancel = std::move(onCancel);
    return c;
}

void Cancellable::cancel() {
    if (!state_ || state_->cancelled) return;
    state_->cancelled = true;
    // Moved out first: the release may drop the last other reference to this state.
    if (auto release = std::move(state_->onCancel)) release();
}

bool Cancellable::isCancelled() const {
    return state_ && state_->cancelled;
}

} // namespace quillfen::platform
