#pragma once

#include "MenuActions.h"
#include "TrayChips.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace quillfen {
class SystemSnapshot;
}

namespace quillfen::menu {

class PopoverWindow;

// What the tray item shows, kept up to date from the snapshot and the settings: the icon is
// drawn again only when a shown value, the metric list or a menu-bar setting changed, and
// the tooltip set again only when its text changed.
class TrayIconModel final : public QObject {
    Q_OBJECT

public:
    TrayIconModel(SystemSnapshot& snapshot, TrayShape shape, double devicePixelRatio,
                  QObject* parent = nullptr);

    const TrayIconState& state() const { return state_; }
    const QImage& icon() const { return icon_; }
    const QString& tooltip() const { return tooltip_; }
    // How many times the icon was drawn.
    int drawCount() const { return drawCount_; }

    void setShape(TrayShape shape);
    void setDevicePixelRatio(double ratio);

signals:
    void iconChanged();
    void tooltipChanged();

private:
    void update(bool force = false);

    SystemSnapshot& snapshot_;
    TrayShape shape_;
    double ratio_;
    TrayIconState state_;
    QImage icon_;
    QString tooltip_;
    int drawCount_ = 0;
};

// The tray item: the chips as its icon, a left click that toggles the popover, and a context
// menu with Open Quillfen, Settings… and Quit Quillfen Menu.
class TrayItem final : public QObject {
    Q_OBJECT

public:
    TrayItem(SystemSnapshot& snapshot, PopoverWindow& popover, MenuActions actions, TrayShape shape,
             QObject* parent = nullptr);
    ~TrayItem() override;

    const TrayIconModel& model() const { return *model_; }
    QMenu& contextMenu() { return *menu_; }
    void show();

private:
    PopoverWindow& popover_;
    std::unique_ptr<TrayIconModel> model_;
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<QSystemTrayIcon> tray_;
};

// The menu's entries in order, so that a test and the popover agree on them.
inline constexpr const char* kOpenQuillfenTitle = "Open Quillfen";
inline constexpr const char* kSettingsTitle = "Settings…";
inline constexpr const char* kQuitMenuTitle = "Quit Quillfen Menu";

} // namespace quillfen::menu
