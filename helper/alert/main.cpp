// The helper's alert: a message box in its own small process, so that the helper, which runs
// all day, never loads the widget libraries. Arguments and exit statuses are those of
// AlertProtocol.h.

#include "platform/linux/AlertProtocol.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace protocol = quillfen::platform::linux::alert_protocol;

namespace {

struct Request {
    QMessageBox::Icon icon = QMessageBox::Warning;
    QString message;
    QString informative;
    std::vector<QString> buttons;
};

bool parse(int argc, char* argv[], Request& request) {
    bool hasMessage = false;
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc) return false;
        const char* option = argv[i];
        const QString value = QString::fromUtf8(argv[i + 1]);
        if (std::strcmp(option, protocol::styleOption) == 0) {
            if (value == "warning")
                request.icon = QMessageBox::Warning;
            else if (value == "informational")
                request.icon = QMessageBox::Information;
            else if (value == "critical")
                request.icon = QMessageBox::Critical;
            else
                return false;
        } else if (std::strcmp(option, protocol::messageOption) == 0) {
            request.message = value;
            hasMessage = true;
        } else if (std::strcmp(option, protocol::informativeOption) == 0) {
            request.informative = value;
        } else if (std::strcmp(option, protocol::buttonOption) == 0) {
            request.buttons.push_back(value);
        } else {
            return false;
        }
    }
    return hasMessage && !request.buttons.empty() &&
           request.buttons.size() <= static_cast<std::size_t>(protocol::maxButtons);
}

bool isSet(const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
}

// The name of the bundle this program lies in ("Quillfen Helper" for
// "Quillfen Helper.app/Contents/MacOS/quillfen-alert"), for the window's title.
QString bundleName() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    const auto bundle = exe.parent_path().parent_path().parent_path();
    if (ec || bundle.extension() != ".app") return {};
    return QString::fromStdString(bundle.stem().string());
}

} // namespace

int main(int argc, char* argv[]) {
    Request request;
    if (!parse(argc, argv, request)) {
        std::fprintf(stderr,
                     "usage: %s --message TEXT [--informative TEXT] "
                     "[--style warning|informational|critical] --button TEXT...\n",
                     protocol::executableName);
        return protocol::usageStatus;
    }
    // Without a display QApplication would abort the process.
    if (!isSet("QT_QPA_PLATFORM") && !isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY"))
        return protocol::noDisplayStatus;

    // Qt reads options of its own from the command line (-style, -reverse, …); the texts of
    // the alert must never be taken for one.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    // Nobody would ever see an alert on these, and it would wait for an answer for ever.
    if (QApplication::platformName() == "offscreen" || QApplication::platformName() == "minimal")
        return protocol::noDisplayStatus;
    QApplication::setApplicationDisplayName(bundleName());

    QMessageBox box(request.icon, QString(), request.message);
    box.setInformativeText(request.informative);
    std::vector<QPushButton*> buttons;
    for (std::size_t i = 0; i < request.buttons.size(); ++i)
        buttons.push_back(box.addButton(request.buttons[i], i == 0 ? QMessageBox::AcceptRole
                                                                   : QMessageBox::RejectRole));
    box.setDefaultButton(buttons.front());
    // The process asking is a background one; the alert must not open behind other windows.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.show();
    box.raise();
    box.activateWindow();
    box.exec();

    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (box.clickedButton() == buttons[i])
            return protocol::firstButtonStatus + static_cast<int>(i);
    return protocol::dismissedStatus;
}
