#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillfen::platform {

enum class AlertStyle { warning, informational, critical };

// A modal message with its buttons, the first being the default.
struct Alert {
    AlertStyle style = AlertStyle::warning;
    std::string messageText;
    std::string informativeText;
    std::vector<std::string> buttons;
};

// The answer for the first button; the second answers one more, and so on.
inline constexpr int alertFirstButtonReturn = 1000;

class AlertPresenter {
public:
    virtual ~AlertPresenter() = default;

    // Shows the alert and waits for the user. The answer is `alertFirstButtonReturn` plus the
    // button's index, or nothing when the alert could not be shown (no display) or was
    // closed without a button.
    virtual std::optional<int> runModal(const Alert& alert) = 0;
};

} // namespace quillfen::platform
