#pragma once

#include <QWidget>

#include <optional>
#include <string_view>

namespace quillfen {

// The settings window's content: a sidebar of four tabs and the selected tab's settings.
// Every edit goes straight to AppSettings::shared().
class SettingsView final : public QWidget {
    Q_OBJECT

public:
    enum class Tab { general, menubar, appearance, about };

    explicit SettingsView(QWidget* parent = nullptr);

    Tab tab() const { return tab_; }
    void setTab(Tab tab);

    // The tab whose raw value is `raw` ("general", "menubar", "appearance", "about").
    static std::optional<Tab> tabNamed(std::string_view raw);

private:
    Tab tab_ = Tab::general;
};

// Opens the process's one settings window on `tab`, or brings it to the front there.
void showSettingsWindow(SettingsView::Tab tab = SettingsView::Tab::general);

} // namespace quillfen
