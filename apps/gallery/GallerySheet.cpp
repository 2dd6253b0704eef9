#include "GallerySheet.h"

#include "SampleData.h"
#include "settings/AppSettings.h"
#include "ui/ContinuousCorners.h"
#include "ui/MemoryBreakdownView.h"
#include "ui/QFCard.h"
#include "ui/QFCoreBars.h"
#include "ui/QFDot.h"
#include "ui/QFFillBar.h"
#include "ui/QFHeroChart.h"
#include "ui/QFIconChip.h"
#include "ui/QFMiniMetric.h"
#include "ui/QFMiniProcList.h"
#include "ui/QFMirrorSparkline.h"
#include "ui/QFProcessIcon.h"
#include "ui/QFQuillfenMark.h"
#include "ui/QFRing.h"
#include "ui/QFSectionHeading.h"
#include "ui/QFSegBar.h"
#include "ui/QFSetGroup.h"
#include "ui/QFSetRow.h"
#include "ui/QFSetSectionTitle.h"
#include "ui/QFSparkline.h"
#include "ui/QFStackedSparkline.h"
#include "ui/QFStat.h"
#include "ui/QFStatTile.h"
#include "ui/QFText.h"
#include "ui/QFView.h"
#include "ui/Symbols.h"
#include "ui/TopProcessesView.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <cmath>

namespace quillfen::gallery {
namespace {

QString fromView(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// The name of the component shown below it.
QFText* caption(const QString& text) {
    return new QFText({.text = text, .font = qfMono(9), .color = QFRole::text4});
}

QFText* text(const QString& s, double size, QFRole color, QFont::Weight w = QFont::Normal) {
    return new QFText({.text = s, .font = qf(size, w), .color = color});
}

QFText* mono(const QString& s, double size, QFRole color, QFont::Weight w = QFont::Normal) {
    return new QFText({.text = s, .font = qfMono(size, w), .color = color});
}

QWidget* row(std::initializer_list<QWidget*> children, int spacing = 10,
             Qt::Alignment align = Qt::AlignVCenter, bool stretch = true) {
    auto* w = new QWidget;
    auto* l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(spacing);
    for (auto* c : children)
        if (c) l->addWidget(c, 0, align);
    if (stretch) l->addStretch(1);
    return w;
}

QWidget* column(std::initializer_list<QWidget*> children, int spacing = 4) {
    auto* w = new QWidget;
    auto* l = new QVBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(spacing);
    for (auto* c : children)
        qfAddLeading(l, c);
    return w;
}

// A palette colour over the window background, its name below.
class Swatch : public QWidget {
public:
    Swatch(QFRole role, QString name)
        : role_(role)
        , name_(std::move(name)) {
        qfFollowTheme(this);
        setFixedSize(58, 44);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QFPainter p(this);
        const QRectF tile(0, 0, width(), 26);
        qfFillContinuous(p, tile, 5, QF::role(role_));
        qfStrokeBorder(p, tile, 5, QF::borderStrong());
        qfDrawTextIn(p, QRectF(0, 30, width(), 14), name_, qfMono(9), QF::text3());
    }

private:
    QFRole role_;
    QString name_;
};

// A switch as the settings window will have one; here only to give the rows a control.
class Toggle : public QWidget {
public:
    explicit Toggle(bool on)
        : on_(on) {
        qfFollowTheme(this);
        setFixedSize(32, 18);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QFPainter p(this);
        qfFillContinuous(p, rect(), 9, on_ ? QF::cpu() : QF::fill4());
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(on_ ? 23 : 9, 9), 7, 7);
    }

private:
    bool on_;
};

QWidget* swatches() {
    const std::pair<QFRole, const char*> accents[] = {
        {QFRole::cpu, "cpu"},   {QFRole::gpu, "gpu"}, {QFRole::mem, "mem"},
        {QFRole::disk, "disk"}, {QFRole::net, "net"}, {QFRole::bat, "bat"},
        {QFRole::warn, "warn"}, {QFRole::sys, "sys"}, {QFRole::brand, "brand"}};
    const std::pair<QFRole, const char*> surfaces[] = {{QFRole::windowBG, "windowBG"},
                                                       {QFRole::cardTop, "cardTop"},
                                                       {QFRole::cardBot, "cardBot"},
                                                       {QFRole::sidebarTop, "sidebarTop"},
                                                       {QFRole::sidebarBot, "sidebarBot"},
                                                       {QFRole::chromeTop, "chromeTop"},
                                                       {QFRole::border, "border"},
                                                       {QFRole::borderStrong, "borderStr."},
                                                       {QFRole::fill1, "fill1"},
                                                       {QFRole::fill2, "fill2"},
                                                       {QFRole::fill3, "fill3"},
                                                       {QFRole::fill4, "fill4"},
                                                       {QFRole::track, "track"},
                                                       {QFRole::text1, "text1"},
                                                       {QFRole::text2, "text2"},
                                                       {QFRole::text3, "text3"},
                                                       {QFRole::text4, "text4"}};
    auto* w = new QWidget;
    auto* grid = new QGridLayout(w);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(6);
    int col = 0;
    for (const auto& [role, name] : accents)
        grid->addWidget(new Swatch(role, name), 0, col++);
    col = 0;
    for (const auto& [role, name] : surfaces)
        grid->addWidget(new Swatch(role, name), 1 + col / 9, col % 9), ++col;
    grid->setColumnStretch(9, 1);
    return w;
}

QWidget* header() {
    const auto theme = AppSettings::shared().theme();
    auto* marks = row({new QFQuillfenMark({.size = 18}), new QFQuillfenMark({.size = 24}),
                       new QFQuillfenMark({.size = 32}), new QFQuillfenMark({.size = 48})},
                      12, Qt::AlignBottom, false);
    auto* title = row(
        {new QFQuillfenMark({.size = 22}), text("Quillfen", 17, QFRole::text1, QFont::DemiBold),
         text(fromView(displayName(theme)) + " theme", 12.5, QFRole::text2, QFont::Medium),
         new QFDot({.color = QFRole::text4}), text(fromView(detail(theme)), 12, QFRole::text3)});
    return column({title, row({column({marks, caption("QFQuillfenMark 18 · 24 · 32 · 48")}, 6),
                               column({swatches(), caption("palette: accents, surfaces")}, 6)},
                              40, Qt::AlignTop)},
                  14);
}

QString percent(double v) {
    return QString::number(std::lround(v * 100));
}

QFCard* cpuCard(const SampleData& d) {
    auto* card = new QFCard();
    card->addWidget(
        new QFSectionHeading({.icon = "cpu", .color = QFRole::cpu, .title = "CPU"},
                             text("AMD Ryzen 7 7840U w/ Radeon 780M Graphics", 11, QFRole::text3)));
    const double user = d.cpuUser.back(), system = d.cpuSystem.back();
    card->addWidget(new QFHeroChart(
        {.bigValue = percent(user + system),
         .unit = "%",
         .color = QFRole::cpu,
         .label = "Total load",
         .stats = {{.label = "User", .value = percent(user) + "%", .color = QFRole::cpu},
                   {.label = "System", .value = percent(system) + "%", .color = QFRole::sys},
                   {.label = "Cores", .value = "8P + 4E"}},
         .history = d.cpuUser,
         .history2 = d.cpuSystem}));
    card->addWidget(caption("QFHeroChart · stacked (history2, mirror off), height 150"));
    card->addWidget(new QFText({.text = "Per core",
                                .font = qf(9.5, QFont::DemiBold),
                                .color = QFRole::text3,
                                .upperCase = true}));
    card->addWidget(row({new QFCoreBars({.cores = d.cores, .barWidth = 10, .height = 28}),
                         new QFCoreBars({.cores = d.cores}),
                         caption("QFCoreBars 10×28 and default 4×14; core 3 idle (12 % stub), "
                                 "core 5 flat out")},
                        24, Qt::AlignBottom));
    return card;
}

QString bytes(double v) {
    if (v >= 1e6) return QString::number(v / 1048576.0, 'f', 1) + " MB/s";
    return QString::number(std::lround(v / 1024.0)) + " KB/s";
}

QFCard* mirrorCard(const char* icon, QFRole color, const QString& title,
                   const std::vector<double>& up, const std::vector<double>& down,
                   const QString& upLabel, const QString& downLabel) {
    auto* card = new QFCard({.fillHeight = true});
    card->addWidget(new QFSectionHeading({.icon = icon, .color = color, .title = title}));
    const QString now = bytes(up.back());
    const int split = int(now.indexOf(' '));
    card->addWidget(new QFHeroChart(
        {.bigValue = now.left(split),
         .unit = now.mid(split + 1),
         .color = color,
         .label = upLabel + " now",
         .stats = {{.label = upLabel, .value = bytes(up.back()), .color = color},
                   {.label = downLabel, .value = bytes(down.back()), .color = QFRole::sys}},
         .history = up,
         .history2 = down,
         .maxValue = 1024,
         .height = 110,
         .mirror = true}));
    card->addWidget(caption("QFHeroChart · mirror, height 110, minMax 1024"));
    return card;
}

QFCard* memoryCard(const SampleData& d) {
    auto* card = new QFCard({.fillHeight = true});
    card->addWidget(
        new QFSectionHeading({.icon = "memorychip", .color = QFRole::mem, .title = "Memory"},
                             text("swap 0 B of 2 GB", 11, QFRole::text3)));
    card->addWidget(new QFHeroChart(
        {.bigValue = "9.8",
         .unit = "GB",
         .color = QFRole::mem,
         .label = "In use of 16 GB",
         .stats = {{.label = "App", .value = "6.1", .sub = "GB", .color = QFRole::mem},
                   {.label = "Wired", .value = "2.2", .sub = "GB", .color = QFRole::warn},
                   {.label = "Compressed", .value = "1.5", .sub = "GB", .color = QFRole::sys}},
         .history = d.memory,
         .height = 110}));
    card->addWidget(caption("QFHeroChart · single series, height 110"));
    card->addWidget(new QFSegBar({.segments = {{.value = 6.1, .color = QFRole::mem},
                                               {.value = 2.2, .color = QFRole::warn},
                                               {.value = 1.5, .color = QFRole::sys},
                                               {.value = 3.4, .color = QFRole::text4}}}));
    auto legend = [](QFRole role, const QString& name, const QString& value) {
        return row({new QFDot({.color = role}), text(name, 11, QFRole::text2),
                    mono(value, 11, QFRole::text1, QFont::Medium)},
                   6, Qt::AlignVCenter, false);
    };
    card->addWidget(row(
        {legend(QFRole::mem, "App", "6.1 GB"), legend(QFRole::warn, "Wired", "2.2 GB"),
         legend(QFRole::sys, "Compressed", "1.5 GB"), legend(QFRole::text4, "Cached", "3.4 GB")},
        16));
    card->addWidget(caption("QFSegBar of memory · QFDot legend"));
    card->addWidget(row(
        {column({new QFSegBar({.segments = {}}), caption("no segments")}),
         column({new QFSegBar({.segments = {{.value = 0}, {.value = 0}}}), caption("all zero")})},
        16, Qt::AlignTop, false));
    return card;
}

QFCard* gpuCard(const SampleData& d) {
    auto* card = new QFCard({.fillHeight = true});
    card->addWidget(new QFSectionHeading({.icon = "cpu.fill", .color = QFRole::gpu, .title = "GPU"},
                                         text("AMD Radeon 780M", 11, QFRole::text3)));
    card->addWidget(new QFHeroChart({.bigValue = percent(d.gpu.back()),
                                     .unit = "%",
                                     .color = QFRole::gpu,
                                     .label = "Utilization",
                                     .stats = {{.label = "Device", .value = "radeon"}},
                                     .history = d.gpu,
                                     .height = 110}));
    card->addWidget(caption("QFHeroChart · single series"));
    return card;
}

QWidget* volumeRow(const QString& name, double used, const QString& detailText) {
    auto* bar =
        new QFFillBar({.fraction = used, .color = used > 0.9 ? QFRole::warn : QFRole::disk});
    bar->setMinimumWidth(160);
    auto* w = new QWidget;
    auto* l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(12);
    auto* label = text(name, 12, QFRole::text1);
    label->setFixedWidth(70);
    l->addWidget(label);
    l->addWidget(bar, 1);
    auto* detail = mono(detailText, 11, QFRole::text2);
    detail->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    l->addWidget(detail);
    return w;
}

QFCard* diskCard(const SampleData& d) {
    auto* card =
        mirrorCard("internaldrive", QFRole::disk, "Disk", d.diskRead, d.diskWrite, "Read", "Write");
    card->addWidget(volumeRow("Debian", 0.62, "120 GB free of 512 GB"));
    card->addWidget(volumeRow("Backup", 0.94, "58 GB free of 1 TB"));
    card->addWidget(caption("QFFillBar in disk, warn above 90 %"));
    return card;
}

QFCard* sensorsCard() {
    auto* card = new QFCard({.fillHeight = true});
    card->addWidget(new QFSectionHeading(
        {.icon = "thermometer.medium", .color = QFRole::warn, .title = "Sensors"}));
    auto* tiles = new QWidget;
    auto* grid = new QGridLayout(tiles);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(8);
    const char* names[] = {"CPU", "GPU", "Memory", "Storage", "Battery"};
    const char* values[] = {"54", "48", "41", "38", "31"};
    for (int i = 0; i < 5; ++i)
        grid->addWidget(new QFStatTile({.label = names[i], .value = values[i], .sub = "°C"}), i / 3,
                        i % 3);
    grid->addWidget(new QFStatTile({.label = "Fans", .value = "2"}), 1, 2);
    card->addWidget(tiles);
    card->addWidget(caption("QFStatTile with and without sub"));
    auto fan = [](const QString& name, const QString& rpm, double fraction) {
        auto* w = new QWidget;
        auto* l = new QHBoxLayout(w);
        l->setContentsMargins(0, 0, 0, 0);
        l->setSpacing(12);
        auto* label = text(name, 12, QFRole::text1);
        label->setFixedWidth(44);
        l->addWidget(label);
        auto* value = mono(rpm, 12, QFRole::text1, QFont::Medium);
        value->setFixedWidth(80);
        l->addWidget(value);
        l->addWidget(new QFFillBar({.fraction = fraction, .color = QFRole::warn}), 1);
        return w;
    };
    card->addWidget(fan("Fan 1", "2 140 rpm", 0.38));
    card->addWidget(fan("Fan 2", "0 rpm", 0));
    return card;
}

QFCard* batteryCard() {
    auto* card = new QFCard({.fillHeight = true});
    card->addWidget(
        new QFSectionHeading({.icon = "battery.100", .color = QFRole::bat, .title = "Battery"},
                             text("Charging", 11, QFRole::text3)));
    auto* ring = new QFRing({.value = 0.82, .size = 64, .stroke = 5, .color = QFRole::bat},
                            mono("82%", 16, QFRole::text1, QFont::Medium));
    auto* stats = new QWidget;
    auto* grid = new QGridLayout(stats);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(24);
    grid->setVerticalSpacing(10);
    grid->addWidget(new QFStat({.label = "Time left", .value = "1:12", .unit = "to full"}), 0, 0);
    grid->addWidget(new QFStat({.label = "Power", .value = "18.4", .unit = "W"}), 0, 1);
    grid->addWidget(new QFStat({.label = "Cycles", .value = "212"}), 1, 0);
    grid->addWidget(
        new QFStat({.label = "Health", .value = "91", .unit = "%", .color = QFRole::bat}), 1, 1);
    card->addWidget(row({ring, stats}, 20));
    card->addWidget(caption("QFRing 64 with a centre · QFStat with units"));
    auto small = [](double v, const QString& name) {
        return column({new QFRing({.value = v, .color = QFRole::cpu},
                                  mono(QString::number(std::lround(v * 100)), 11, QFRole::text2,
                                       QFont::Medium)),
                       caption(name)},
                      4);
    };
    card->addWidget(row({small(1.7, "value 1.7"), small(1.0, "full"), small(0.35, "0.35"),
                         small(-0.2, "value −0.2")},
                        18, Qt::AlignTop));
    return card;
}

QFCard* processCard(const std::filesystem::path& bundle) {
    auto* card = new QFCard();
    auto* lists = new QWidget;
    auto* l = new QHBoxLayout(lists);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(28);
    std::vector<QFMiniProcList::Row> cpu = {
        {.name = "Firefox", .value = 142, .display = "142%"},
        {.name = "Quillfen", .value = 38.5, .display = "38.5%", .bundleURL = bundle},
        {.name = "gnome-shell", .value = 21.0, .display = "21.0%"},
        {.name = "a process whose name is far too long for the row it is shown in, so it ends in "
                 "an ellipsis",
         .value = 6.2,
         .display = "6.2%"},
        {.name = "kworker/u32:2", .value = 0.4, .display = "0.4%"}};
    std::vector<QFMiniProcList::Row> memory = {
        {.name = "Firefox", .value = 2.31, .display = "2.31 GB"},
        {.name = "code", .value = 1.12, .display = "1.12 GB"},
        {.name = "Quillfen", .value = 0.5, .display = "512 MB", .bundleURL = bundle},
        {.name = "gnome-shell", .value = 0.38, .display = "389 MB"},
        {.name = "pipewire", .value = 0.02, .display = "21 MB"}};
    l->addWidget(new QFMiniProcList(
        {.title = "By CPU", .icon = "cpu", .color = QFRole::cpu, .rows = std::move(cpu)}));
    l->addWidget(new QFMiniProcList({.title = "By memory",
                                     .icon = "memorychip",
                                     .color = QFRole::mem,
                                     .rows = std::move(memory)}));
    card->addWidget(lists);
    card->addWidget(caption("QFMiniProcList · QFProcessIcon: a bundle's own icon, else the gear "
                            "tile; peak = largest value or 1.0"));
    return card;
}

QFCard* detailCard(const std::filesystem::path& bundle) {
    auto* card = new QFCard({.spacing = 12});
    card->addWidget(
        new QFSectionHeading({.icon = "memorychip", .color = QFRole::mem, .title = "Detail views"},
                             caption("MemoryBreakdownView · TopProcessesView")));
    constexpr std::uint64_t GB = 1ull << 30, MB = 1ull << 20;
    const auto memory = [](std::uint64_t total, std::uint64_t app, std::uint64_t wired,
                           std::uint64_t compressed, std::optional<double> celsius, int width) {
        auto* v = new MemoryBreakdownView;
        v->setReading(
            MemoryReading{.total = total, .app = app, .wired = wired, .compressed = compressed});
        if (celsius) v->setThermal(ThermalReading{.memoryTemperatureC = celsius});
        v->setFixedWidth(width);
        return v;
    };
    auto* empty = new MemoryBreakdownView;
    empty->setFixedWidth(180);
    card->addWidget(
        row({column({memory(16 * GB, 7 * GB + 300 * MB, 2 * GB + 100 * MB, 900 * MB, 41.5, 360),
                     caption("16 GB, 41.5 °C, 360 wide")}),
             column({memory(8 * GB, 5 * GB, 2 * GB, 1536 * MB, std::nullopt, 200),
                     caption("narrow segments, 200 wide")}),
             column({memory(4 * GB, 3 * GB, 1 * GB, 512 * MB, std::nullopt, 200),
                     caption("more used than the total")}),
             column({empty, caption("no reading")})},
            24, Qt::AlignTop));

    ProcessReading processes;
    const std::vector<std::pair<const char*, double>> cpu = {
        {"firefox-esr", 142.3},
        {"Quillfen", 38.5},
        {"gnome-shell", 21.0},
        {"a process whose name is far too long for the row it is shown in", 6.2},
        {"kworker/u32:2", 0.4},
        {"sixth, never shown", 0.1}};
    std::int32_t pid = 100;
    for (const auto& [name, percent] : cpu)
        processes.topByCPU.push_back(
            {.pid = pid++,
             .name = name,
             .bundleURL = std::string(name) == "Quillfen" ? std::optional(bundle) : std::nullopt,
             .cpuPercent = percent});
    for (const auto& [name, bytes] :
         std::vector<std::pair<const char*, std::uint64_t>>{{"firefox-esr", 2 * GB + 310 * MB},
                                                            {"code", 1 * GB + 120 * MB},
                                                            {"Quillfen", 48 * MB},
                                                            {"gnome-shell", 389 * MB},
                                                            {"pipewire", 21 * MB}})
        processes.topByMemory.push_back(
            {.pid = pid++,
             .name = name,
             .bundleURL = std::string(name) == "Quillfen" ? std::optional(bundle) : std::nullopt,
             .residentMemoryBytes = bytes});
    const auto top = [&](TopProcessesView::Metric metric, bool withReading) {
        auto* v = new TopProcessesView;
        if (withReading) v->setReading(processes);
        v->setMetric(metric);
        v->setFixedWidth(300);
        return v;
    };
    using M = TopProcessesView::Metric;
    card->addWidget(row({column({top(M::cpu, true), caption("by CPU: five of six rows")}),
                         column({top(M::memory, true), caption("by memory")}),
                         column({top(M::cpu, false), caption("no reading yet")})},
                        24, Qt::AlignTop));
    return card;
}

QFCard* chartsCard(const SampleData& d) {
    auto* card = new QFCard({.spacing = 8, .fillHeight = true});
    card->addWidget(new QFSectionHeading(
        {.icon = "display", .color = QFRole::brand, .title = "Sparklines and tiles"}));
    auto* spark = new QFSparkline({.values = d.cpuUser, .color = QFRole::cpu});
    spark->setFixedSize(120, 28);
    auto* stacked = new QFStackedSparkline(
        {.a = d.cpuUser, .b = d.cpuSystem, .colorA = QFRole::cpu, .colorB = QFRole::sys});
    stacked->setFixedWidth(160);
    auto* mirror = new QFMirrorSparkline({.up = d.netIn, .down = d.netOut});
    mirror->setFixedWidth(160);
    auto* young = new QFSparkline(
        {.values = std::vector<double>(d.gpu.end() - 14, d.gpu.end()), .color = QFRole::gpu});
    young->setFixedSize(120, 28);
    card->addWidget(row({column({spark, caption("QFSparkline 120×28")}),
                         column({young, caption("14 of 60 points")}),
                         column({stacked, caption("QFStackedSparkline 36")}),
                         column({mirror, caption("QFMirrorSparkline 48")})},
                        18, Qt::AlignBottom));

    auto tile = [](const QString& label, const QString& value, std::optional<QString> sub,
                   QWidget* chart) {
        auto* w = new QWidget;
        auto* l = new QVBoxLayout(w);
        l->setContentsMargins(0, 0, 0, 0);
        l->setSpacing(6);
        l->addWidget(new QFStatTile({.label = label, .value = value, .sub = std::move(sub)}));
        chart->setFixedHeight(28);
        l->addWidget(chart);
        return w;
    };
    auto* tiles = new QWidget;
    auto* grid = new QGridLayout(tiles);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(8);
    grid->addWidget(tile("CPU", percent(d.cpuUser.back() + d.cpuSystem.back()), "%",
                         new QFSparkline({.values = d.cpuUser, .color = QFRole::cpu})),
                    0, 0);
    grid->addWidget(tile("GPU", percent(d.gpu.back()), "%",
                         new QFSparkline({.values = d.gpu, .color = QFRole::gpu})),
                    0, 1);
    grid->addWidget(
        tile("Memory", "9.8", "GB", new QFSparkline({.values = d.memory, .color = QFRole::mem})), 0,
        2);
    grid->addWidget(tile("Network ↓/↑", "4.6", "MB/s",
                         new QFMirrorSparkline({.up = d.netIn, .down = d.netOut, .height = 28})),
                    1, 0);
    grid->addWidget(
        tile("Disk R/W", "21", "MB/s",
             new QFMirrorSparkline(
                 {.up = d.diskRead, .down = d.diskWrite, .colorUp = QFRole::disk, .height = 28})),
        1, 1);
    grid->addWidget(tile("Temperature", "54", "°C",
                         new QFSparkline({.values = d.cpuSystem,
                                          .color = QFRole::warn,
                                          .maxValue = 0.5,
                                          .fillOpacity = 0.6})),
                    1, 2);
    card->addWidget(tiles);
    card->addWidget(caption("popover tiles: QFStatTile over a 28-high chart"));
    card->addWidget(row({new QFMiniMetric({.value = "23%", .label = "cpu", .color = QFRole::cpu}),
                         new QFMiniMetric({.value = "9.8G", .label = "mem", .color = QFRole::mem}),
                         new QFMiniMetric({.value = "54°", .label = "temp", .color = QFRole::warn}),
                         new QFMiniMetric({.value = "4.6M", .label = "↓", .color = QFRole::net}),
                         new QFDot({.color = QFRole::disk, .size = 6}), new QFDot(),
                         new QFDot({.color = QFRole::warn, .size = 8})},
                        14));
    card->addWidget(caption("QFMiniMetric · QFDot 6, 5, 8"));
    card->addWidget(
        row({new QFStat({.label = "Leading", .value = "1.21", .unit = "GB"}),
             new QFStat({.label = "Trailing",
                         .value = "312",
                         .unit = "KB/s",
                         .color = QFRole::net,
                         .alignment = Qt::AlignRight}),
             new QFStat(
                 {.label = "Large", .value = "42", .unit = "%", .color = QFRole::cpu, .size = 20})},
            28, Qt::AlignBottom));
    card->addWidget(caption("QFStat leading, trailing, size 20"));
    return card;
}

QWidget* settingsPart() {
    auto* w = new QWidget;
    auto* l = new QVBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(10);
    l->addWidget(new QFSetSectionTitle(
        {.title = "Appearance", .sub = "How the window and the menu bar look"}));
    auto* group = new QFSetGroup;
    auto* strip = new QWidget;
    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    stripLayout->setSpacing(3);
    for (const QFRole role : {QFRole::cpu, QFRole::gpu, QFRole::mem, QFRole::disk, QFRole::net})
        stripLayout->addWidget(new QFDot({.color = role, .size = 10}));
    group->addWidget(new QFSetRow({.label = "Theme", .isFirst = true}, strip));
    group->addWidget(new QFSetRow(
        {.label = "Two-line labels",
         .hint = "Stack each metric's label over its value so the menu bar takes less room; "
                 "useful with three or more metrics."},
        new Toggle(true)));
    group->addWidget(new QFSetRow(
        {.label = "Temperature unit"},
        row({text("Celsius (°C)", 12, QFRole::text2),
             new QFSymbol({.name = "chevron.down", .color = QFRole::text3, .size = 14})},
            4, Qt::AlignVCenter, false)));
    l->addWidget(group);
    l->addWidget(caption("QFSetSectionTitle · QFSetGroup · QFSetRow (first without separator, "
                         "one with a hint)"));
    return w;
}

QWidget* symbolsPart() {
    auto* w = new QWidget;
    auto* grid = new QGridLayout(w);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    const QFRole colors[] = {QFRole::cpu, QFRole::gpu,  QFRole::mem, QFRole::disk,  QFRole::net,
                             QFRole::bat, QFRole::warn, QFRole::sys, QFRole::brand, QFRole::text2};
    int i = 0;
    for (const auto name : qfSymbolNames()) {
        auto* cell = row({new QFIconChip({.systemName = std::string(name),
                                          .color = colors[i % std::size(colors)]}),
                          caption(fromView(name))},
                         6, Qt::AlignVCenter, false);
        grid->addWidget(cell, i / 3, i % 3);
        ++i;
    }
    return w;
}

QFCard* settingsCard() {
    auto* card = new QFCard({.spacing = 12, .fillHeight = true});
    card->addWidget(settingsPart());
    card->addWidget(
        new QFSectionHeading({.icon = "paintpalette", .color = QFRole::brand, .title = "Symbols"},
                             caption("QFSectionHeading · QFIconChip")));
    card->addWidget(symbolsPart());
    return card;
}

} // namespace

QWidget* makeSheet(const std::filesystem::path& iconBundle) {
    const SampleData d = makeSampleData();
    auto* sheet = new QWidget;
    sheet->setAutoFillBackground(true);
    QPalette palette = sheet->palette();
    palette.setColor(QPalette::Window, QF::windowBG());
    sheet->setPalette(palette);
    sheet->setFixedWidth(1120);
    auto* l = new QVBoxLayout(sheet);
    l->setContentsMargins(24, 22, 24, 24);
    l->setSpacing(18);
    l->addWidget(header());
    auto* grid = new QGridLayout;
    grid->setSpacing(14);
    grid->addWidget(cpuCard(d), 0, 0, 1, 2);
    grid->addWidget(memoryCard(d), 1, 0);
    grid->addWidget(gpuCard(d), 1, 1);
    grid->addWidget(mirrorCard("network", QFRole::net, "Network", d.netIn, d.netOut, "In", "Out"),
                    2, 0);
    grid->addWidget(diskCard(d), 2, 1);
    grid->addWidget(sensorsCard(), 3, 0);
    grid->addWidget(batteryCard(), 3, 1);
    grid->addWidget(processCard(iconBundle), 4, 0, 1, 2);
    grid->addWidget(detailCard(iconBundle), 5, 0, 1, 2);
    grid->addWidget(chartsCard(d), 6, 0);
    grid->addWidget(settingsCard(), 6, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    l->addLayout(grid);
    return sheet;
}

} // namespace quillfen::gallery
