#pragma once

#include "settings/MenuBarMetric.h"
#include "settings/QFThemeChoice.h"

#include <QAbstractButton>
#include <QWidget>

#include <string>

namespace quillfen {

class SettingsSwitch;
class SettingsSymbolButton;

// The parts of the settings window that are not generic controls.

// One tab in the sidebar: its symbol and title, on fill3 while selected.
class SettingsTabButton final : public QAbstractButton {
    Q_OBJECT

public:
    SettingsTabButton(std::string symbol, const QString& title, QWidget* parent = nullptr);

    QSize sizeHint() const override;

    static constexpr double paddingH = 10, paddingV = 6, spacing = 9, symbolFrame = 14;
    static constexpr double radius = 6;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::string symbol_;
};

// The sidebar's background: the sidebar gradient with a border line along its trailing edge.
class SettingsSidebar final : public QWidget {
    Q_OBJECT

public:
    explicit SettingsSidebar(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent*) override;
};

// A metric of the menu bar: icon chip, name, the chevrons that reorder it while it is enabled,
// and its switch. Rows after the first draw a separator along their top edge.
class MetricRow final : public QWidget {
    Q_OBJECT

public:
    explicit MetricRow(MenuBarMetric metric, QWidget* parent = nullptr);

    MenuBarMetric metric() const { return metric_; }
    SettingsSymbolButton* upButton() const { return up_; }
    SettingsSymbolButton* downButton() const { return down_; }
    SettingsSwitch* enabledSwitch() const { return switch_; }

    // Shows where the metric stands in the ordered list.
    void showState(bool isFirstRow, bool enabled, bool canMoveUp, bool canMoveDown);

    static std::string_view symbol(MenuBarMetric metric);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    MenuBarMetric metric_;
    bool isFirstRow_ = false;
    SettingsSymbolButton* up_;
    SettingsSymbolButton* down_;
    SettingsSwitch* switch_;
};

// A theme to choose: its five swatches, name and description on a card, outlined in the
// accent with a check mark when it is the chosen one.
class ThemeCard final : public QAbstractButton {
    Q_OBJECT

public:
    explicit ThemeCard(QFThemeChoice theme, QWidget* parent = nullptr);

    QFThemeChoice theme() const { return theme_; }
    void setSelected(bool selected);
    bool isSelected() const { return selected_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

    // Where the parts go in a card of `width`.
    static QRectF swatchRect(int index, double width);
    static QRectF checkMarkRect(double width);

    static constexpr double padding = 12, spacing = 8, swatchHeight = 22, swatchSpacing = 4;
    static constexpr double swatchRadius = 3, radius = 8, checkMarkSize = 14, checkMarkInset = 8;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QFThemeChoice theme_;
    bool selected_ = false;
};

// The menu bar as it will look: the enabled metrics' chips with sample values on the menu
// bar's dark panel, following the settings as they change.
class MenuBarPreview final : public QWidget {
    Q_OBJECT

public:
    explicit MenuBarPreview(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
};

// The application icon at 72 × 72.
class AppIconView final : public QWidget {
    Q_OBJECT

public:
    explicit AppIconView(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {72, 72}; }

protected:
    void paintEvent(QPaintEvent*) override;
};

} // namespace quillfen
