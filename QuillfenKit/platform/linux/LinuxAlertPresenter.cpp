#include "platform/linux/LinuxAlertPresenter.h"

#include "platform/linux/AlertProtocol.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>

namespace quillfen::platform::linux {
namespace {

namespace protocol = alert_protocol;

const char* styleName(AlertStyle style) {
    switch (style) {
    case AlertStyle::informational:
        return "informational";
    case AlertStyle::critical:
        return "critical";
    case AlertStyle::warning:
        break;
    }
    return "warning";
}

QStringList arguments(const Alert& alert) {
    QStringList args{protocol::styleOption,       styleName(alert.style),
                     protocol::messageOption,     QString::fromStdString(alert.messageText),
                     protocol::informativeOption, QString::fromStdString(alert.informativeText)};
    for (const auto& button : alert.buttons)
        args << protocol::buttonOption << QString::fromStdString(button);
    return args;
}

} // namespace

LinuxAlertPresenter::LinuxAlertPresenter(std::shared_ptr<const MainBundle> bundle,
                                         std::filesystem::path program)
    : bundle_(std::move(bundle))
    , program_(std::move(program)) {}

std::optional<int> LinuxAlertPresenter::runModal(const Alert& alert) {
    if (alert.buttons.empty() || alert.buttons.size() > protocol::maxButtons) return std::nullopt;
    auto program = program_;
    if (program.empty()) {
        const auto bundle = bundle_ ? bundle_->bundlePath() : std::nullopt;
        if (!bundle) return std::nullopt;
        program = *bundle / "Contents" / "MacOS" / protocol::executableName;
    }

    QProcess process;
    process.setProgram(QString::fromStdString(program.string()));
    process.setArguments(arguments(alert));
    process.setStandardInputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start();
    if (!process.waitForStarted()) return std::nullopt;

    if (QCoreApplication::instance()) {
        QEventLoop loop;
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        if (process.state() != QProcess::NotRunning) loop.exec();
    } else {
        process.waitForFinished(-1);
    }
    if (process.state() != QProcess::NotRunning) {
        // The loop ended because the application is quitting: take the alert down with it.
        process.terminate();
        if (!process.waitForFinished(2000)) process.kill();
        process.waitForFinished(-1);
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit) return std::nullopt;
    const int index = process.exitCode() - protocol::firstButtonStatus;
    if (index < 0 || index >= static_cast<int>(alert.buttons.size())) return std::nullopt;
    return alertFirstButtonReturn + index;
}

} // namespace quillfen::platform::linux
