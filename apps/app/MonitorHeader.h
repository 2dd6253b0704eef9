#pragma once

#include <QWidget>

class QAbstractButton;

namespace quillfen {
class QFDot;
class QFText;
} // namespace quillfen

namespace quillfen::app {

class SystemLine;

// The monitor window's header: the mark, "Quillfen", the machine's name, its OS version and
// uptime, whether readings arrive ("Live", or "Connecting…") and the settings button.
class MonitorHeader final : public QWidget {
    Q_OBJECT

public:
    explicit MonitorHeader(QWidget* parent = nullptr);

    bool isLive() const { return live_; }
    void setLive(bool live);
    // What the live indicator says.
    QString liveText() const;
    // Reads the OS version and the uptime again.
    void refreshSystem();

    QAbstractButton* settingsButton() const { return gear_; }

private:
    QFDot* liveDot_;
    QFText* liveText_;
    SystemLine* system_;
    QAbstractButton* gear_;
    bool live_ = false;
};

} // namespace quillfen::app
