#include "MonitorCards.h"

#include "format/Formatters.h"
#include "sampling/CPUTopology.h"
#include "sampling/SystemInfo.h"
#include "ui/MemoryBreakdownView.h"
#include "ui/QFCoreBars.h"
#include "ui/QFFillBar.h"
#include "ui/QFMiniProcList.h"
#include "ui/QFSectionHeading.h"
#include "ui/QFText.h"
#include "ui/SemanticStyle.h"
#include "ui/TopProcessesView.h"

#include <QBoxLayout>
#include <QResizeEvent>

#include <cmath>

namespace quillfen::app {
namespace {

// A whole card's content is this much narrower than the card.
constexpr double kCardPadding = 16;
// Before this many snapshots an absent reading may still be on its way.
constexpr int kSettleDocuments = 3;

QFText* trailingText(const QString& text = {}) {
    return new QFText({.text = text, .font = qf(11), .color = QFRole::text3});
}

std::vector<double> valuesOf(const SnapshotValues::History& h) {
    return h.values();
}

QFColor semantic(QFSemanticColor c) {
    return *qfSemanticRole(c);
}

} // namespace

MonitorCard::MonitorCard(SystemSnapshot& snapshot, QWidget* parent)
    : QFCard({.fillHeight = true}, parent)
    , snapshot_(snapshot) {}

HeroChart::HeroChart(QFHeroChart::Options options)
    : view_(new QFHeroChart(std::move(options))) {}

void HeroChart::setValue(const std::optional<NumberAndUnit>& value, QFColor color,
                         const QString& label) {
    const QFColor shown = value ? color : QFColor(QFRole::text4);
    if (value == value_ && label == label_ && color_ == shown) return;
    const bool onlyNumber =
        value && value_ && value->unit == value_->unit && label == label_ && color_ == shown;
    value_ = value;
    label_ = label;
    color_ = shown;
    if (onlyNumber) return view_->setBigValue(value->number);
    auto o = view_->options();
    o.bigValue = value ? value->number : kDash;
    o.unit = value ? value->unit : QString();
    o.color = shown;
    o.label = label;
    view_->setOptions(std::move(o));
}

void HeroChart::setStats(std::vector<Stat> stats) {
    if (statsShown_ && stats == stats_) return;
    statsShown_ = true;
    stats_ = std::move(stats);
    std::vector<QFHeroStat> shown;
    for (const auto& s : stats_)
        shown.push_back(
            {.label = s.label,
             .value = s.value.number,
             .sub = s.value.unit.isEmpty() ? std::nullopt : std::optional<QString>(s.value.unit),
             .color = s.color});
    view_->setStats(std::move(shown));
}

void HeroChart::setHistory(const SnapshotValues::History& history,
                           const std::optional<SnapshotValues::History>& history2) {
    // Histories always announce themselves; a full one of a steady reading does not move.
    if (history_ == history && history2_ == history2) return;
    history_ = history;
    history2_ = history2;
    view_->setHistory(valuesOf(history),
                      history2 ? std::optional(valuesOf(*history2)) : std::nullopt);
}

// --- CPU -----------------------------------------------------------------------------------

CpuCard::CpuCard(SystemSnapshot& snapshot, QWidget* parent)
    : MonitorCard(snapshot, parent)
    , chart_({.unit = "%",
              .color = QFRole::cpu,
              .label = "Total load",
              .history2 = std::vector<double>{},
              .colorB = QFRole::sys,
              .height = 150}) {
    const CPUTopology& topology = CPUTopology::current();
    addWidget(new QFSectionHeading({.icon = "cpu", .color = QFRole::cpu, .title = "CPU"},
                                   trailingText(QString::fromStdString(topology.brandString))));
    addWidget(chart_.view());
    perCoreLabel_ = new QFText({.text = "Per core",
                                .font = qf(9.5, QFont::DemiBold),
                                .color = QFRole::text3,
                                .upperCase = true});
    cores_ = new QFCoreBars({.color = QFRole::cpu, .height = 28});
    auto* perCore = new QVBoxLayout;
    perCore->setSpacing(6);
    perCore->addWidget(perCoreLabel_, 0, Qt::AlignLeft);
    perCore->addWidget(cores_, 0, Qt::AlignLeft);
    addLayout(perCore);
    if (topology.hasHeterogeneousCores())
        coresText_ = QStringLiteral("%1P + %2E")
                         .arg(topology.performanceCount)
                         .arg(topology.efficiencyCount);
    else if (topology.totalCount > 0)
        coresText_ = QString::number(topology.totalCount);
    connect(&snapshot_, &SystemSnapshot::cpuChanged, this, &CpuCard::showReading);
    // The system history is assigned after the user history: both are new by then.
    connect(&snapshot_, &SystemSnapshot::cpuSystemHistoryChanged, this, &CpuCard::showHistory);
    showReading();
    showHistory();
}

void CpuCard::showReading() {
    const auto& cpu = snapshot_.cpu();
    chart_.setValue(cpu ? std::optional(percentReadout(cpu->overall)) : std::nullopt, QFRole::cpu,
                    "Total load");
    const auto share = [&](double CPUReading::*field, QFColor color) {
        return cpu ? HeroChart::Stat{{}, percentReadout((*cpu).*field), color}
                   : HeroChart::Stat{{}, {kDash, {}}, QFRole::text4};
    };
    auto user = share(&CPUReading::user, QFRole::cpu);
    user.label = "User";
    auto system = share(&CPUReading::system, QFRole::sys);
    system.label = "System";
    QString cores = coresText_;
    if (cores.isEmpty() && cpu && !cpu->perCore.empty())
        cores = QString::number(cpu->perCore.size());
    chart_.setStats({user,
                     system,
                     {"Cores",
                      {cores.isEmpty() ? kDash : cores, {}},
                      cores.isEmpty() ? QFColor(QFRole::text4) : QFColor(QFRole::text1)}});
    const std::vector<double> perCore = cpu ? cpu->perCore : std::vector<double>{};
    if (perCore != shownCores_) {
        const bool countChanged = perCore.size() != shownCores_.size();
        shownCores_ = perCore;
        cores_->setCores(perCore);
        if (countChanged) fitCoreBars();
    }
}

void CpuCard::showHistory() {
    chart_.setHistory(snapshot_.cpuUserHistory(), snapshot_.cpuSystemHistory());
}

void CpuCard::fitCoreBars() {
    const double n = double(shownCores_.size());
    if (n < 1) return;
    const auto o = cores_->options();
    const double room = width() - 2 * kCardPadding;
    // Whole points, so every bar has crisp edges.
    const double bar = std::clamp(std::floor((room - o.spacing * (n - 1)) / n), 4.0, 10.0);
    if (bar == o.barWidth) return;
    auto next = o;
    next.barWidth = bar;
    cores_->setOptions(std::move(next));
}

void CpuCard::resizeEvent(QResizeEvent* event) {
    MonitorCard::resizeEvent(event);
    fitCoreBars();
}

// --- GPU -----------------------------------------------------------------------------------

GpuCard::GpuCard(SystemSnapshot& snapshot, QWidget* parent)
    : MonitorCard(snapshot, parent)
    , chart_({.unit = "%", .color = QFRole::gpu, .label = "Utilization", .height = 110})
    , model_(trailingText())
    , noGpu_(new QFText({.text = "No GPU activity available on this machine",
                         .font = qf(12),
                         .color = QFRole::text3})) {
    addWidget(
        new QFSectionHeading({.icon = "cpu.fill", .color = QFRole::gpu, .title = "GPU"}, model_));
    addWidget(chart_.view());
    addWidget(noGpu_);
    noGpu_->hide();
    connect(&snapshot_, &SystemSnapshot::gpuChanged, this, &GpuCard::showReading);
    connect(&snapshot_, &SystemSnapshot::thermalChanged, this, &GpuCard::showReading);
    connect(&snapshot_, &SystemSnapshot::gpuHistoryChanged, this, [this] {
        if (documents_ < kSettleDocuments) ++documents_;
        showHistory();
        showReading();
    });
    showReading();
    showHistory();
}

void GpuCard::showReading() {
    const auto& gpu = snapshot_.gpu();
    setNote(!gpu && snapshot_.gpuHistory().values().empty() && documents_ >= kSettleDocuments);
    model_->setText(gpu && gpu->model ? QString::fromStdString(*gpu->model) : QString());
    chart_.setValue(gpu ? std::optional(percentReadout(gpu->utilization)) : std::nullopt,
                    QFRole::gpu, "Utilization");
    std::vector<HeroChart::Stat> stats;
    const auto& thermal = snapshot_.thermal();
    if (thermal && thermal->gpuTemperatureC)
        stats.push_back(
            {"Temperature", temperatureReadout(*thermal->gpuTemperatureC), QFRole::text1});
    if (gpu && gpu->coreCount)
        stats.push_back({"Cores", {QString::number(*gpu->coreCount), {}}, QFRole::text1});
    chart_.setStats(std::move(stats));
}

void GpuCard::showHistory() {
    chart_.setHistory(snapshot_.gpuHistory());
}

void GpuCard::setNote(bool note) {
    if (note == note_) return;
    note_ = note;
    chart_.view()->setVisible(!note);
    noGpu_->setVisible(note);
    auto o = options();
    o.fillHeight = !note;
    setOptions(o);
    emit shapeChanged();
}

// --- Memory --------------------------------------------------------------------------------

MemoryCard::MemoryCard(SystemSnapshot& snapshot, QWidget* parent)
    : MonitorCard(snapshot, parent)
    , chart_({.unit = "GB", .color = QFRole::mem, .label = "In use", .height = 110})
    , swap_(trailingText())
    , breakdown_(new MemoryBreakdownView) {
    addWidget(new QFSectionHeading({.icon = "memorychip", .color = QFRole::mem, .title = "Memory"},
                                   swap_));
    addWidget(chart_.view());
    addWidget(breakdown_);
    connect(&snapshot_, &SystemSnapshot::memoryChanged, this, &MemoryCard::showReading);
    connect(&snapshot_, &SystemSnapshot::thermalChanged, this,
            [this] { breakdown_->setThermal(snapshot_.thermal()); });
    connect(&snapshot_, &SystemSnapshot::memoryUsedHistoryChanged, this,
            [this] { chart_.setHistory(snapshot_.memoryUsedHistory()); });
    showReading();
    breakdown_->setThermal(snapshot_.thermal());
    chart_.setHistory(snapshot_.memoryUsedHistory());
    refreshSwap();
}

void MemoryCard::showReading() {
    const auto& m = snapshot_.memory();
    chart_.setValue(m ? std::optional(bytesReadout(m->used())) : std::nullopt, QFRole::mem,
                    m ? "In use of " + QString::fromStdString(Formatters::bytes(m->total))
                      : QStringLiteral("In use"));
    // The same colours as the breakdown's segments below.
    const auto part = [&](const char* label, std::uint64_t MemoryReading::*field,
                          QFSemanticColor color) {
        return m ? HeroChart::Stat{label, bytesReadout((*m).*field), semantic(color)}
                 : HeroChart::Stat{label, {kDash, {}}, QFRole::text4};
    };
    chart_.setStats({part("App", &MemoryReading::app, QFSemanticColor::accent),
                     part("Wired", &MemoryReading::wired, QFSemanticColor::orange),
                     part("Compressed", &MemoryReading::compressed, QFSemanticColor::purple)});
    breakdown_->setReading(m);
}

void MemoryCard::refreshSwap() {
    const auto swap = SystemInfo::swapUsage();
    swap_->setText(swap.total == 0
                       ? QStringLiteral("no swap")
                       : QStringLiteral("swap %1 of %2")
                             .arg(QString::fromStdString(Formatters::bytes(swap.used)),
                                  QString::fromStdString(Formatters::bytes(swap.total))));
}

// --- Network and disk ----------------------------------------------------------------------

ThroughputCard::ThroughputCard(SystemSnapshot& snapshot, Kind kind, QWidget* parent)
    : MonitorCard(snapshot, parent)
    , kind_(std::move(kind))
    , chart_({.color = kind_.color,
              .label = kind_.inLabel + " + " + kind_.outLabel.toLower(),
              .history2 = std::vector<double>{},
              .colorB = QFRole::sys,
              .maxValue = 1024,
              .height = 110,
              .mirror = true}) {
    addWidget(
        new QFSectionHeading({.icon = kind_.icon, .color = kind_.color, .title = kind_.title}));
    addWidget(chart_.view());
}

void ThroughputCard::showRates(std::optional<std::pair<std::uint64_t, std::uint64_t>> rates) {
    const QString label = kind_.inLabel + " + " + kind_.outLabel.toLower();
    if (!rates) {
        chart_.setValue(std::nullopt, kind_.color, label);
        chart_.setStats({{kind_.inLabel, {kDash, {}}, QFRole::text4},
                         {kind_.outLabel, {kDash, {}}, QFRole::text4}});
        return;
    }
    const auto [in, out] = *rates;
    const std::uint64_t total = in > UINT64_MAX - out ? UINT64_MAX : in + out;
    chart_.setValue(rateReadout(total), kind_.color, label);
    chart_.setStats({{kind_.inLabel, rateReadout(in), kind_.color},
                     {kind_.outLabel, rateReadout(out), QFRole::sys}});
}

void ThroughputCard::showHistory() {
    const auto history = [&](SystemSnapshot::History h) -> const SnapshotValues::History& {
        using H = SystemSnapshot::History;
        switch (h) {
        case H::netIn:
            return snapshot_.netInHistory();
        case H::netOut:
            return snapshot_.netOutHistory();
        case H::diskRead:
            return snapshot_.diskReadHistory();
        default:
            return snapshot_.diskWriteHistory();
        }
    };
    chart_.setHistory(history(kind_.inHistory), history(kind_.outHistory));
}

NetworkCard::NetworkCard(SystemSnapshot& snapshot, QWidget* parent)
    : ThroughputCard(snapshot,
                     {.icon = "network",
                      .title = "Network",
                      .color = QFRole::net,
                      .inLabel = "In",
                      .outLabel = "Out",
                      .inHistory = SystemSnapshot::History::netIn,
                      .outHistory = SystemSnapshot::History::netOut},
                     parent) {
    const auto show = [this] {
        const auto& n = snapshot_.network();
        showRates(n ? std::optional(std::pair(n->bytesInPerSec, n->bytesOutPerSec)) : std::nullopt);
    };
    connect(&snapshot_, &SystemSnapshot::networkChanged, this, show);
    connect(&snapshot_, &SystemSnapshot::netOutHistoryChanged, this, [this] { showHistory(); });
    show();
    showHistory();
}

DiskCard::DiskCard(SystemSnapshot& snapshot, QWidget* parent)
    : ThroughputCard(snapshot,
                     {.icon = "internaldrive",
                      .title = "Disk",
                      .color = QFRole::disk,
                      .inLabel = "Read",
                      .outLabel = "Write",
                      .inHistory = SystemSnapshot::History::diskRead,
                      .outHistory = SystemSnapshot::History::diskWrite},
                     parent)
    , volumes_(new QVBoxLayout) {
    volumes_->setSpacing(10);
    volumes_->setContentsMargins(0, 4, 0, 0);
    addLayout(volumes_);
    const auto show = [this] {
        const auto& d = snapshot_.disk();
        showRates(d ? std::optional(std::pair(d->bytesReadPerSec, d->bytesWrittenPerSec))
                    : std::nullopt);
    };
    connect(&snapshot_, &SystemSnapshot::diskChanged, this, show);
    connect(&snapshot_, &SystemSnapshot::diskWriteHistoryChanged, this, [this] { showHistory(); });
    connect(&snapshot_, &SystemSnapshot::diskUsageChanged, this, &DiskCard::showVolumes);
    show();
    showHistory();
    showVolumes();
}

namespace {

// One volume: its name and free space on a line, its use as a bar below.
class VolumeRow final : public QWidget {
public:
    VolumeRow()
        : name_(new QFText({.font = qf(12), .color = QFRole::text1}))
        , free_(new QFText({.font = qfMono(11), .color = QFRole::text2}))
        , bar_(new QFFillBar({.color = QFRole::disk})) {
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        auto* stack = new QVBoxLayout(this);
        stack->setContentsMargins(0, 0, 0, 0);
        stack->setSpacing(5);
        auto* line = new QHBoxLayout;
        line->setSpacing(12);
        line->addWidget(name_, 1);
        line->addWidget(free_, 0);
        stack->addLayout(line);
        stack->addWidget(bar_);
    }

    void show(const DiskVolumeUsage& v) {
        name_->setText(QString::fromStdString(v.name));
        setToolTip(QString::fromStdString(v.path));
        free_->setText(QStringLiteral("%1 free of %2")
                           .arg(QString::fromStdString(Formatters::bytes(v.availableBytes)),
                                QString::fromStdString(Formatters::bytes(v.totalBytes))));
        const double used = v.totalBytes == 0 ? 0 : double(v.usedBytes()) / double(v.totalBytes);
        bar_->setFraction(used);
        bar_->setColor(used > 0.9 ? QFRole::warn : QFRole::disk);
    }

private:
    QFText* name_;
    QFText* free_;
    QFFillBar* bar_;
};

} // namespace

void DiskCard::showVolumes() {
    const auto& volumes = snapshot_.diskUsage();
    if (volumes == shown_) return;
    const bool sameVolumes =
        volumes.size() == shown_.size() &&
        std::equal(volumes.begin(), volumes.end(), shown_.begin(),
                   [](const auto& a, const auto& b) { return a.path == b.path; });
    if (!sameVolumes) {
        while (auto* item = volumes_->takeAt(0)) {
            delete item->widget();
            delete item;
        }
        for (std::size_t i = 0; i < volumes.size(); ++i)
            volumes_->addWidget(new VolumeRow);
    }
    for (std::size_t i = 0; i < volumes.size(); ++i)
        static_cast<VolumeRow*>(volumes_->itemAt(int(i))->widget())->show(volumes[i]);
    shown_ = volumes;
}

// --- Top processes -------------------------------------------------------------------------

ProcessesCard::ProcessesCard(SystemSnapshot& snapshot, QWidget* parent)
    : MonitorCard(snapshot, parent)
    , columns_(new QBoxLayout(QBoxLayout::LeftToRight))
    , top_(new TopProcessesView)
    , byCPU_(new QFMiniProcList({.title = "By CPU", .icon = "cpu", .color = QFRole::cpu}))
    , byMemory_(
          new QFMiniProcList({.title = "By memory", .icon = "memorychip", .color = QFRole::mem})) {
    columns_->setSpacing(28);
    columns_->addWidget(top_, 2, Qt::AlignTop);
    columns_->addWidget(byCPU_, 1, Qt::AlignTop);
    columns_->addWidget(byMemory_, 1, Qt::AlignTop);
    addLayout(columns_);
    connect(&snapshot_, &SystemSnapshot::processesChanged, this, &ProcessesCard::showReading);
    showReading();
}

void ProcessesCard::showReading() {
    const auto& reading = snapshot_.processes();
    top_->setReading(reading);
    const auto rows = [&](const std::vector<ProcessRow>& list, bool memory) {
        std::vector<QFMiniProcList::Row> out;
        for (std::size_t i = 0; i < list.size() && i < TopProcessesView::maxRows; ++i) {
            const auto& r = list[i];
            out.push_back({.name = QString::fromStdString(r.name),
                           .value = memory ? double(r.residentMemoryBytes) : r.cpuPercent,
                           .display = memory ? QString::fromStdString(
                                                   Formatters::bytes(r.residentMemoryBytes))
                                             : corePercentText(r.cpuPercent),
                           .bundleURL = r.bundleURL});
        }
        return out;
    };
    byCPU_->setRows(reading ? rows(reading->topByCPU, false) : std::vector<QFMiniProcList::Row>{});
    byMemory_->setRows(reading ? rows(reading->topByMemory, true)
                               : std::vector<QFMiniProcList::Row>{});
}

void ProcessesCard::resizeEvent(QResizeEvent* event) {
    MonitorCard::resizeEvent(event);
    const auto direction =
        event->size().width() >= 760 ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom;
    if (columns_->direction() != direction) columns_->setDirection(direction);
}

} // namespace quillfen::app
