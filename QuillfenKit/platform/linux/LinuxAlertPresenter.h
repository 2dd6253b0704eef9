#pragma once

#include "platform/Alert.h"
#include "platform/MainBundle.h"

#include <filesystem>
#include <memory>

namespace quillfen::platform::linux {

// Alerts for QtCore-only processes: the alert program beside the executable in the bundle
// shows the QMessageBox and exits with the answer, so the process asking never links the
// widget libraries. While the alert is up the event loop keeps running, so a request to quit
// still ends the process (and closes the alert).
class LinuxAlertPresenter final : public AlertPresenter {
public:
    // Empty `program` means the alert program of `bundle`.
    explicit LinuxAlertPresenter(std::shared_ptr<const MainBundle> bundle,
                                 std::filesystem::path program = {});

    std::optional<int> runModal(const Alert& alert) override;

private:
    std::shared_ptr<const MainBundle> bundle_;
    std::filesystem::path program_;
};

} // namespace quillfen::platform::linux
