#pragma once

#include "MenuActions.h"

#include <QRect>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class QGridLayout;
class QScrollArea;

namespace quillfen {
class QFMiniMetric;
class QFMirrorSparkline;
class QFSparkline;
class QFStatTile;
class QFText;
class SystemSnapshot;
} // namespace quillfen

namespace quillfen::menu {

// The detail views of the main window that the popover shows under its tiles (memory, then
// processes), wired to the snapshot.
std::vector<QWidget*> makeDetailViews(SystemSnapshot& snapshot, QWidget* parent);

// The tray item's popover: a frameless window 380 points wide beside the item, themed by the
// user's theme, with the brand header, a grid of compact tiles with their histories, sensors,
// battery, the detail views and the footer buttons. It closes on Escape, on a second click on
// the item and when it loses the focus; while it is shown the service samples in full.
// Without a tray it is an ordinary window instead, which closing ends.
class PopoverWindow final : public QWidget {
    Q_OBJECT

public:
    enum class Mode { popover, window };

    // `shadow` keeps a transparent margin around the panel for its shadow: only where the
    // window system composites, elsewhere the margin would show black.
    PopoverWindow(SystemSnapshot& snapshot, MenuActions actions, Mode mode, bool shadow,
                  QWidget* parent = nullptr);
    ~PopoverWindow() override;

    Mode mode() const { return mode_; }

    // The item's click: shows the popover beside `trayItem` (or in the corner nearest the
    // cursor), or hides it when it is shown. A click that itself took the focus from the
    // popover, and so closed it a moment ago, leaves it closed.
    void toggle(std::optional<QRect> trayItem);
    // Sizes the popover to its content and places it.
    void showAt(std::optional<QRect> trayItem);

    // The panel's rectangle inside the window (the window less the shadow margin).
    QRect panelRect() const;
    // Sets every read-out from the snapshot now; otherwise this happens on the next pass of
    // the event loop after a change, and only while the popover is shown.
    void refresh();

    static constexpr int panelWidth = 380;
    static constexpr double padding = 14, spacing = 10, radius = 12;
    static constexpr int shadowBlur = 24, shadowOffsetY = 8;
    // A click on the item this soon after the popover lost the focus is the click that took it.
    static constexpr double refocusWindowSeconds = 0.4;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct Tile;
    void buildContent(QWidget* content);
    QWidget* makeHeader();
    QWidget* makeFooter();
    Tile* addTile(QGridLayout* grid, int row, int column, const QString& label, bool mirror);
    void scheduleRefresh();
    // Sizes the panel to its content and places it beside the anchor it was shown at.
    void fit();
    int margin() const;

    SystemSnapshot& snapshot_;
    MenuActions actions_;
    Mode mode_;
    bool shadow_;
    QScrollArea* scroll_ = nullptr;
    QWidget* content_ = nullptr;
    QWidget* footer_ = nullptr;
    QFText* machine_ = nullptr;
    std::vector<std::unique_ptr<Tile>> tiles_;
    Tile *cpu_ = nullptr, *gpu_ = nullptr, *memory_ = nullptr, *network_ = nullptr,
         *disk_ = nullptr, *sensors_ = nullptr;
    QWidget* battery_ = nullptr;
    std::vector<QFMiniMetric*> batteryMetrics_;
    bool refreshPending_ = false;
    bool told_ = false;
    struct Anchor {
        std::optional<QRect> trayItem;
        QPoint cursor;
    } anchor_;
    // When the popover last closed because it lost the focus (monotonic seconds).
    std::optional<double> focusLostAt_;
};

} // namespace quillfen::menu
