#include "MonitorWindow.h"

#include "MonitorCards.h"
#include "MonitorHeader.h"
#include "SettingsScene/SettingsView.h"
#include "platform/Platform.h"
#include "ui/Palette.h"
#include "ui/QFView.h"
#include "xpc/XPCClient.h"

#include <QAbstractButton>
#include <QEvent>
#include <QGridLayout>
#include <QPainter>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>

namespace quillfen::app {

MonitorWindow::MonitorWindow(SystemSnapshot& snapshot, QWidget* parent)
    : QWidget(parent)
    , snapshot_(snapshot)
    , header_(new MonitorHeader)
    , scroll_(new QScrollArea)
    , grid_(new QGridLayout) {
    setWindowTitle("Quillfen");
    resize(1180, 820);
    setMinimumSize(760, 560);
    qfFollowTheme(this);

    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    // The header stays in view above the scrolling cards.
    auto* top = new QVBoxLayout;
    top->setContentsMargins(padding, 16, padding, 12);
    top->addWidget(header_);
    stack->addLayout(top);

    auto* content = new QWidget;
    content->setAutoFillBackground(false);
    grid_->setParent(nullptr);
    content->setLayout(grid_);
    grid_->setContentsMargins(padding, 2, padding, padding);
    grid_->setSpacing(spacing);
    scroll_->setWidget(content);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    qfThemeScrollIndicator(scroll_);
    scroll_->viewport()->setAutoFillBackground(false);
    scroll_->setAutoFillBackground(false);
    stack->addWidget(scroll_, 1);

    cpu_ = new CpuCard(snapshot_);
    memory_ = new MemoryCard(snapshot_);
    gpu_ = new GpuCard(snapshot_);
    network_ = new NetworkCard(snapshot_);
    disk_ = new DiskCard(snapshot_);
    sensors_ = new SensorsCard(snapshot_);
    battery_ = new BatteryCard(snapshot_);
    processes_ = new ProcessesCard(snapshot_);
    cards_ = {cpu_, memory_, gpu_, network_, disk_, sensors_, battery_, processes_};
    for (auto* card : cards_) {
        card->setParent(content);
        connect(card, &MonitorCard::shapeChanged, this, &MonitorWindow::relayout);
    }
    connect(&snapshot_, &SystemSnapshot::hasBatteryChanged, this, &MonitorWindow::relayout);
    relayout();

    const auto openSettings = [] { showSettingsWindow(); };
    connect(header_->settingsButton(), &QAbstractButton::clicked, this, openSettings);
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma), this);
    connect(shortcut, &QShortcut::activated, this, openSettings);

    // The last history of every document is assigned last: one call per snapshot.
    connect(&snapshot_, &SystemSnapshot::diskWriteHistoryChanged, this,
            &MonitorWindow::snapshotArrived);
    systemTimer_ =
        platform::current().mainQueue->repeating(systemRefreshSeconds, [this] { refreshSystem(); });
}

MonitorWindow::~MonitorWindow() {
    silence_.cancel();
    systemTimer_.cancel();
}

void MonitorWindow::snapshotArrived() {
    connected_ = true;
    header_->setLive(true);
    silence_.cancel();
    silence_ = platform::current().mainQueue->asyncAfter(silenceSeconds, [this] {
        connected_ = false;
        header_->setLive(false);
    });
}

void MonitorWindow::refreshSystem() {
    header_->refreshSystem();
    memory_->refreshSwap();
    sensors_->refreshHelperState();
}

void MonitorWindow::tellWhetherLooking() {
    const bool looking = isVisible() && !isMinimized();
    if (toldLooking_ == looking) return;
    toldLooking_ = looking;
    XPCClient::shared().setPopoverOpen(looking);
}

void MonitorWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    tellWhetherLooking();
}

void MonitorWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    tellWhetherLooking();
}

void MonitorWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) tellWhetherLooking();
}

void MonitorWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const bool two = width() - 2 * padding >= twoColumnWidth;
    if (two != twoColumns_) {
        twoColumns_ = two;
        relayout();
    }
}

void MonitorWindow::relayout() {
    while (QLayoutItem* item = grid_->takeAt(0))
        delete item;
    for (int r = 0; r < grid_->rowCount(); ++r)
        grid_->setRowStretch(r, 0);
    const bool battery = battery_->isPresent();
    battery_->setVisible(battery);
    // Cards pair up in rows; one whose partner is missing or only a note takes the row alone.
    const bool gpuNote = gpu_->isNote();
    struct Place {
        MonitorCard* card;
        bool wide;
    };
    std::vector<Place> places{{cpu_, true},      {memory_, gpuNote}, {gpu_, gpuNote},
                              {network_, false}, {disk_, false},     {sensors_, !battery}};
    if (battery) places.push_back({battery_, false});
    places.push_back({processes_, true});
    int row = 0, column = 0;
    for (const auto& [card, wide] : places) {
        if (!twoColumns_ || wide) {
            if (column == 1) ++row;
            column = 0;
            grid_->addWidget(card, row++, 0, 1, 2);
            continue;
        }
        grid_->addWidget(card, row, column);
        if (column == 1) ++row;
        column = 1 - column;
    }
    if (column == 1) ++row;
    grid_->setColumnStretch(0, 1);
    grid_->setColumnStretch(1, 1);
    // Extra height goes below the cards rather than into them.
    grid_->setRowStretch(row, 1);
}

void MonitorWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QF::windowBG());
}

} // namespace quillfen::app
