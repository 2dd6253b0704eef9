#include "PopoverWindow.h"
#include "PopoverPlacement.h"

#include "SettingsScene/SettingsControls.h"
#include "format/Formatters.h"
#include "model/SystemSnapshot.h"
#include "platform/Platform.h"
#include "sampling/SystemInfo.h"
#include "settings/AppSettings.h"
#include "ui/ContinuousCorners.h"
#include "ui/Fonts.h"
#include "ui/MemoryBreakdownView.h"
#include "ui/Palette.h"
#include "ui/QFMiniMetric.h"
#include "ui/QFMirrorSparkline.h"
#include "ui/QFQuillfenMark.h"
#include "ui/QFSparkline.h"
#include "ui/QFStatTile.h"
#include "ui/QFText.h"
#include "ui/QFView.h"
#include "ui/TopProcessesView.h"
#include "xpc/XPCClient.h"

#include <QAbstractButton>
#include <QCursor>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPalette>
#include <QScreen>
#include <QScrollArea>

#include <cmath>

namespace quillfen::menu {
namespace {

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

const QString kUnknown = QString::fromUtf8(Formatters::unknown);

// "Quit": plain text in the quietest colour, at the footer's right.
class PlainButton final : public QAbstractButton {
public:
    PlainButton(const QString& title, QWidget* parent)
        : QAbstractButton(parent) {
        setText(title);
        setCursor(Qt::PointingHandCursor);
        qfFollowTheme(this);
    }
    QSize sizeHint() const override {
        const QFont font = qf(SettingsButton::fontSize);
        return {int(std::ceil(qfTextWidth(text(), font) + 2 * SettingsButton::paddingH)),
                int(std::ceil(qfLineHeight(font) + 2 * SettingsButton::paddingV))};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QFPainter p(this);
        const QFont font = qf(SettingsButton::fontSize);
        const double baseline = (height() - qfLineHeight(font)) / 2 + qfAscent(font);
        qfDrawText(p, SettingsButton::paddingH, baseline, text(), font,
                   isDown() ? QF::text2() : QF::text3());
    }
};

std::vector<double> sum(const SnapshotValues::History& a, const SnapshotValues::History& b) {
    auto out = a.values();
    const auto other = b.values();
    for (std::size_t i = 0; i < out.size() && i < other.size(); ++i)
        out[i] += other[i];
    return out;
}

QString rate(const auto& reading, std::uint64_t value) {
    return reading ? text(Formatters::rate(value)) : kUnknown;
}

QString minutes(std::int64_t total) {
    return QStringLiteral("%1:%2").arg(total / 60).arg(total % 60, 2, 10, QChar('0'));
}

} // namespace

std::vector<QWidget*> makeDetailViews(SystemSnapshot& snapshot, QWidget* parent) {
    auto* memory = new MemoryBreakdownView(parent);
    auto* processes = new TopProcessesView(parent);
    const auto showMemory = [&snapshot, memory] {
        memory->setReading(snapshot.memory());
        memory->setThermal(snapshot.thermal());
    };
    const auto showProcesses = [&snapshot, processes] {
        processes->setReading(snapshot.processes());
    };
    // Equal readings repaint nothing, so a hidden popover costs only the comparison.
    QObject::connect(&snapshot, &SystemSnapshot::memoryChanged, memory, showMemory);
    QObject::connect(&snapshot, &SystemSnapshot::thermalChanged, memory, showMemory);
    QObject::connect(&snapshot, &SystemSnapshot::processesChanged, processes, showProcesses);
    showMemory();
    showProcesses();
    return {memory, processes};
}

// A compact tile: the read-out, its history under it, and small read-outs under that.
struct PopoverWindow::Tile {
    QWidget* box = nullptr;
    QFStatTile* stat = nullptr;
    QFSparkline* line = nullptr;
    QFMirrorSparkline* mirror = nullptr;
    QHBoxLayout* minisRow = nullptr;
    std::vector<QFMiniMetric*> minis;

    QFMiniMetric* mini(QFColor color) {
        auto* m = new QFMiniMetric({.value = {}, .label = {}, .color = color}, box);
        minisRow->insertWidget(int(minis.size()), m, 0, Qt::AlignLeft);
        minis.push_back(m);
        return m;
    }
};

PopoverWindow::PopoverWindow(SystemSnapshot& snapshot, MenuActions actions, Mode mode, bool shadow,
                             QWidget* parent)
    : QWidget(parent)
    , snapshot_(snapshot)
    , actions_(std::move(actions))
    , mode_(mode)
    , shadow_(shadow) {
    setWindowTitle(QStringLiteral("Quillfen"));
    if (mode == Mode::popover) {
        // A tool window stays off the task bar; it takes the focus so Escape and focus loss
        // reach it.
        setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        setAttribute(Qt::WA_TranslucentBackground);
    } else {
        setWindowFlags(Qt::Window);
    }
    qfFollowTheme(this);

    auto* outer = new QVBoxLayout(this);
    const int m = margin();
    outer->setContentsMargins(m, m - (shadow_ ? shadowOffsetY / 2 : 0), m,
                              m + (shadow_ ? shadowOffsetY / 2 : 0));
    scroll_ = new QScrollArea(this);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The panel painted by this window shows through everything inside it.
    QPalette clear = scroll_->palette();
    clear.setColor(QPalette::Window, Qt::transparent);
    clear.setColor(QPalette::Base, Qt::transparent);
    scroll_->setPalette(clear);
    scroll_->setAutoFillBackground(false);
    scroll_->viewport()->setAutoFillBackground(false);
    content_ = new QWidget;
    content_->setPalette(clear);
    content_->setAutoFillBackground(false);
    buildContent(content_);
    scroll_->setWidget(content_);
    qfThemeScrollIndicator(scroll_);
    outer->setSpacing(0);
    outer->addWidget(scroll_);
    footer_ = makeFooter();
    outer->addWidget(footer_);
    setFixedWidth(panelWidth + 2 * m);

    const auto changed = [this] { scheduleRefresh(); };
    for (const auto& field : snapshotFields)
        if (field.changed) connect(&snapshot_, field.changed, this, changed);
    connect(&AppSettings::shared(), &AppSettings::temperatureUnitChanged, this, changed);
    refresh();
}

PopoverWindow::~PopoverWindow() = default;

int PopoverWindow::margin() const {
    return shadow_ ? shadowBlur : 0;
}

QRect PopoverWindow::panelRect() const {
    const int m = margin();
    return rect().adjusted(m, m - (shadow_ ? shadowOffsetY / 2 : 0), -m,
                           -m - (shadow_ ? shadowOffsetY / 2 : 0));
}

void PopoverWindow::buildContent(QWidget* content) {
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(int(padding), int(padding), int(padding), int(spacing));
    column->setSpacing(int(spacing));
    column->addWidget(makeHeader());

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(int(spacing) - 2);
    grid->setVerticalSpacing(int(spacing));
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    cpu_ = addTile(grid, 0, 0, QStringLiteral("CPU"), false);
    cpu_->line->setOptions({.color = QFRole::cpu});
    cpu_->mini(QFRole::cpu);
    cpu_->mini(QFRole::sys);
    gpu_ = addTile(grid, 0, 1, QStringLiteral("GPU"), false);
    gpu_->line->setOptions({.color = QFRole::gpu});
    memory_ = addTile(grid, 1, 0, QStringLiteral("Memory"), false);
    memory_->line->setOptions({.color = QFRole::mem});
    memory_->mini(QFRole::text1);
    network_ = addTile(grid, 1, 1, QStringLiteral("Network ↓"), true);
    network_->mirror->setOptions({.colorUp = QFRole::net, .colorDown = QFRole::sys, .height = 28});
    network_->mini(QFRole::sys);
    disk_ = addTile(grid, 2, 0, QStringLiteral("Disk read"), true);
    disk_->mirror->setOptions({.colorUp = QFRole::disk, .colorDown = QFRole::sys, .height = 28});
    disk_->mini(QFRole::sys);
    sensors_ = addTile(grid, 2, 1, QStringLiteral("Temperature"), false);
    // Fans and further temperatures one under the other: two do not fit side by side.
    sensors_->minisRow->setDirection(QBoxLayout::TopToBottom);
    sensors_->minisRow->setSpacing(4);
    column->addLayout(grid);

    battery_ = new QWidget(content);
    auto* batteryRow = new QHBoxLayout(battery_);
    batteryRow->setContentsMargins(2, 0, 2, 0);
    batteryRow->setSpacing(14);
    for (const QFColor color :
         {QFColor(QFRole::bat), QFColor(QFRole::text1), QFColor(QFRole::text1)}) {
        auto* m = new QFMiniMetric({.value = {}, .label = {}, .color = color}, battery_);
        batteryRow->addWidget(m);
        batteryMetrics_.push_back(m);
    }
    batteryRow->addStretch(1);
    column->addWidget(battery_);

    for (QWidget* view : makeDetailViews(snapshot_, content))
        column->addWidget(view);
}

PopoverWindow::Tile* PopoverWindow::addTile(QGridLayout* grid, int row, int column,
                                            const QString& label, bool mirror) {
    auto tile = std::make_unique<Tile>();
    tile->box = new QWidget;
    // The two columns share the width equally, whatever their read-outs would like.
    tile->box->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* stack = new QVBoxLayout(tile->box);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(4);
    tile->stat = new QFStatTile({.label = label, .value = kUnknown}, tile->box);
    stack->addWidget(tile->stat);
    if (mirror) {
        tile->mirror = new QFMirrorSparkline({}, tile->box);
        stack->addWidget(tile->mirror);
    } else if (label != QStringLiteral("Temperature")) {
        tile->line = new QFSparkline({}, tile->box);
        tile->line->setFixedHeight(28);
        stack->addWidget(tile->line);
    }
    tile->minisRow = new QHBoxLayout;
    tile->minisRow->setContentsMargins(2, 0, 2, 0);
    tile->minisRow->setSpacing(10);
    tile->minisRow->addStretch(1);
    stack->addLayout(tile->minisRow);
    stack->addStretch(1);
    grid->addWidget(tile->box, row, column);
    tiles_.push_back(std::move(tile));
    return tiles_.back().get();
}

QWidget* PopoverWindow::makeHeader() {
    auto* header = new QWidget;
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    row->addWidget(new QFQuillfenMark({.size = 18, .color = QFRole::brand}, header));
    machine_ = new QFText({.text = text(SystemInfo::machineName()),
                           .font = qf(13, QFont::DemiBold),
                           .color = QFRole::text1},
                          header);
    row->addWidget(machine_, 1);
    auto* gear = new SettingsSymbolButton("gearshape", QFRole::text2, header);
    gear->setToolTip(QStringLiteral("Settings…"));
    connect(gear, &QAbstractButton::clicked, this, [this] {
        if (mode_ == Mode::popover) hide();
        if (actions_.openSettings) actions_.openSettings();
    });
    row->addWidget(gear);
    return header;
}

QWidget* PopoverWindow::makeFooter() {
    auto* footer = new QWidget;
    auto* row = new QHBoxLayout(footer);
    // Below the readings rather than among them: on a short screen they scroll and the
    // buttons stay in view.
    row->setContentsMargins(int(padding), 2, int(padding), int(padding));
    row->setSpacing(8);
    const auto add = [&](QAbstractButton* button, std::function<void()> MenuActions::*action) {
        connect(button, &QAbstractButton::clicked, this, [this, action] {
            if (mode_ == Mode::popover) hide();
            if (actions_.*action) (actions_.*action)();
        });
        row->addWidget(button);
    };
    add(new SettingsButton(SettingsButton::Look::secondary, QStringLiteral("Open Quillfen"),
                           footer),
        &MenuActions::openApp);
    add(new SettingsButton(SettingsButton::Look::secondary, QStringLiteral("Settings…"), footer),
        &MenuActions::openSettings);
    row->addStretch(1);
    add(new PlainButton(QStringLiteral("Quit"), footer), &MenuActions::quit);
    return footer;
}

void PopoverWindow::scheduleRefresh() {
    // Nobody sees a hidden popover; showing it refreshes it.
    if (refreshPending_ || !isVisible()) return;
    refreshPending_ = true;
    // One refresh for the burst of changes one snapshot document brings.
    QMetaObject::invokeMethod(
        this,
        [this] {
            refreshPending_ = false;
            refresh();
            // Sections and rows come and go with the readings (processes a few seconds after
            // opening, a battery, sensors): the panel follows, so the footer stays in view. A
            // window keeps the size its user may have given it, and scrolls.
            if (mode_ == Mode::popover) fit();
        },
        Qt::QueuedConnection);
}

void PopoverWindow::refresh() {
    const auto& v = snapshot_.values();

    cpu_->stat->setValue(v.cpu ? text(Formatters::percent(v.cpu->overall)) : kUnknown);
    cpu_->line->setValues(sum(v.cpuUserHistory, v.cpuSystemHistory));
    cpu_->minis[0]->setOptions({.value = v.cpu ? text(Formatters::percent(v.cpu->user)) : kUnknown,
                                .label = QStringLiteral("User"),
                                .color = QFRole::cpu});
    cpu_->minis[1]->setOptions(
        {.value = v.cpu ? text(Formatters::percent(v.cpu->system)) : kUnknown,
         .label = QStringLiteral("Sys"),
         .color = QFRole::sys});

    gpu_->stat->setValue(v.gpu ? text(Formatters::percent(v.gpu->utilization)) : kUnknown);
    gpu_->line->setValues(v.gpuHistory.values());

    memory_->stat->setValue(v.memory ? text(Formatters::bytes(v.memory->used())) : kUnknown);
    memory_->line->setValues(v.memoryUsedHistory.values());
    memory_->minis[0]->setOptions(
        {.value = v.memory ? text(Formatters::bytes(v.memory->total)) : kUnknown,
         .label = QStringLiteral("Total"),
         .color = QFRole::text1});

    network_->stat->setValue(rate(v.network, v.network ? v.network->bytesInPerSec : 0));
    network_->mirror->setSeries(v.netInHistory.values(), v.netOutHistory.values());
    network_->minis[0]->setOptions(
        {.value = rate(v.network, v.network ? v.network->bytesOutPerSec : 0),
         .label = QStringLiteral("Up"),
         .color = QFRole::sys});

    disk_->stat->setValue(rate(v.disk, v.disk ? v.disk->bytesReadPerSec : 0));
    disk_->mirror->setSeries(v.diskReadHistory.values(), v.diskWriteHistory.values());
    disk_->minis[0]->setOptions({.value = rate(v.disk, v.disk ? v.disk->bytesWrittenPerSec : 0),
                                 .label = QStringLiteral("Write"),
                                 .color = QFRole::sys});

    // Temperatures in the user's unit, then each fan.
    const auto temperature = [](const std::optional<double>& c) {
        return c ? text(Formatters::temperature(*c, false)) : kUnknown;
    };
    std::vector<std::pair<QString, QString>> minis;
    if (v.thermal) {
        sensors_->stat->setValue(temperature(v.thermal->cpuTemperatureC));
        if (v.thermal->gpuTemperatureC)
            minis.emplace_back(temperature(v.thermal->gpuTemperatureC), QStringLiteral("GPU"));
    } else {
        sensors_->stat->setValue(kUnknown);
    }
    if (v.fan) {
        const auto speeds = v.fan->perFanRPMs();
        for (std::size_t i = 0; i < speeds.size() && minis.size() < 3; ++i)
            minis.emplace_back(QStringLiteral("%1 rpm").arg(std::lround(speeds[i])),
                               QStringLiteral("Fan %1").arg(i + 1));
    }
    if (!v.sensorsAvailable && !v.thermal)
        minis.emplace_back(QString(), QStringLiteral("Needs the helper"));
    while (sensors_->minis.size() < minis.size())
        sensors_->mini(QFRole::text1);
    for (std::size_t i = 0; i < sensors_->minis.size(); ++i) {
        auto* m = sensors_->minis[i];
        m->setVisible(i < minis.size());
        if (i < minis.size())
            m->setOptions(
                {.value = minis[i].first, .label = minis[i].second, .color = QFRole::text1});
    }

    const bool battery = v.hasBattery.value_or(false) && v.battery;
    battery_->setVisible(battery);
    if (battery) {
        const auto& b = *v.battery;
        batteryMetrics_[0]->setOptions({.value = text(Formatters::percent(b.chargePercent)),
                                        .label = QStringLiteral("Battery"),
                                        .color = QFRole::bat});
        batteryMetrics_[1]->setOptions(
            {.value = b.timeRemainingMinutes ? minutes(*b.timeRemainingMinutes) : kUnknown,
             .label = b.isCharging ? QStringLiteral("To full") : QStringLiteral("Left"),
             .color = QFRole::text1});
        batteryMetrics_[2]->setOptions(
            {.value =
                 b.watts ? QStringLiteral("%1 W").arg(std::fabs(*b.watts), 0, 'f', 1) : kUnknown,
             .label = b.isCharging ? QStringLiteral("Charging")
                      : b.isOnAC   ? QStringLiteral("On AC")
                                   : QStringLiteral("Draw"),
             .color = QFRole::text1});
    }
}

void PopoverWindow::showAt(std::optional<QRect> trayItem) {
    refresh();
    anchor_ = Anchor{trayItem, QCursor::pos()};
    fit();
    show();
    // Drawn into an image rather than onto the screen (the gallery), it has nothing to rise
    // above.
    if (testAttribute(Qt::WA_DontShowOnScreen)) return;
    raise();
    activateWindow();
}

void PopoverWindow::fit() {
    const QPoint near = anchor_.trayItem ? anchor_.trayItem->center() : anchor_.cursor;
    QScreen* screen = QGuiApplication::screenAt(near);
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    // Height to content, at most 80 % of the screen; beyond that it scrolls. Invalidated
    // first: a view that has just grown has only asked for a new layout so far.
    content_->layout()->invalidate();
    content_->layout()->activate();
    // Wrapped texts make the height depend on the panel's width.
    const int forWidth = content_->heightForWidth(panelWidth);
    const int wanted = (forWidth >= 0 ? forWidth
                                      : std::max(content_->sizeHint().height(),
                                                 content_->minimumSizeHint().height())) +
                       footer_->sizeHint().height();
    const int cap = int(available.height() * 0.8);
    scroll_->setVerticalScrollBarPolicy(
        wanted > cap || mode_ == Mode::window ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    const QSize size(panelWidth + 2 * margin(), std::min(wanted, cap) + 2 * margin());
    if (isVisible() && size == this->size()) return;
    resize(size);
    if (mode_ == Mode::popover) {
        const QRect panelArea = panelRect();
        const QPoint at =
            popoverPosition(panelArea.size(), anchor_.trayItem, available, anchor_.cursor);
        move(at - panelArea.topLeft());
    }
}

void PopoverWindow::toggle(std::optional<QRect> trayItem) {
    if (isVisible()) {
        hide();
        return;
    }
    const double now = platform::current().clock->monotonic();
    if (focusLostAt_ && now - *focusLostAt_ < refocusWindowSeconds) {
        focusLostAt_.reset();
        return;
    }
    showAt(trayItem);
}

void PopoverWindow::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    const QRectF panel = panelRect();
    if (shadow_) {
        // A soft shadow below the panel: rings of the shadow colour fading outwards.
        QColor shade = QF::popoverShadow();
        const double alpha = shade.alphaF();
        const QRectF cast = panel.translated(0, shadowOffsetY);
        for (int i = shadowBlur; i > 0; i -= 2) {
            const double t = double(i) / shadowBlur;
            shade.setAlphaF(float(alpha * 0.09 * (1 - t) * (1 - t)));
            qfFillContinuous(p, cast.adjusted(-i / 2.0, -i / 2.0, i / 2.0, i / 2.0),
                             radius + i / 2.0, shade);
        }
    }
    if (mode_ == Mode::popover) {
        qfFillContinuous(p, panel, radius, QF::windowBG());
        qfStrokeBorder(p, panel, radius, QF::border());
    } else {
        p.fillRect(rect(), QF::windowBG());
    }
}

void PopoverWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && mode_ == Mode::popover) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PopoverWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && mode_ == Mode::popover && isVisible() &&
        !isActiveWindow()) {
        focusLostAt_ = platform::current().clock->monotonic();
        hide();
    }
}

void PopoverWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!told_) {
        told_ = true;
        XPCClient::shared().setPopoverOpen(true);
    }
}

void PopoverWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (told_) {
        told_ = false;
        XPCClient::shared().setPopoverOpen(false);
    }
}

} // namespace quillfen::menu
