#include "SettingsScene/SettingsView.h"

#include <QPointer>

namespace quillfen {

SettingsView::SettingsView(QWidget* parent)
    : QWidget(parent) {
    setWindowTitle("Settings");
}

void SettingsView::setTab(Tab tab) {
    tab_ = tab;
    update();
}

std::optional<SettingsView::Tab> SettingsView::tabNamed(std::string_view raw) {
    if (raw == "general") return Tab::general;
    if (raw == "menubar") return Tab::menubar;
    if (raw == "appearance") return Tab::appearance;
    if (raw == "about") return Tab::about;
    return std::nullopt;
}

void showSettingsWindow(SettingsView::Tab tab) {
    static QPointer<SettingsView> window;
    if (!window) {
        window = new SettingsView;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->resize(860, 600);
    }
    window->setTab(tab);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace quillfen
