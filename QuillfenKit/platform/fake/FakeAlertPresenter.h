#pragma once

#include "platform/Alert.h"

#include <functional>
#include <vector>

namespace quillfen::platform::fake {

// Keeps every alert shown and answers with `response`; `onShow` lets a test look at the
// world while the alert is up.
class FakeAlertPresenter final : public AlertPresenter {
public:
    std::optional<int> runModal(const Alert& alert) override {
        shown.push_back(alert);
        if (onShow) onShow();
        return response;
    }

    std::optional<int> response;
    std::function<void()> onShow;
    std::vector<Alert> shown;
};

} // namespace quillfen::platform::fake
