#include "MonitorHeader.h"

#include "Buttons.h"
#include "sampling/SystemInfo.h"
#include "ui/QFDot.h"
#include "ui/QFQuillfenMark.h"
#include "ui/QFText.h"
#include "ui/QFView.h"

#include <QHBoxLayout>

#include <cmath>

namespace quillfen::app {

// Text in runs of two fonts on one baseline: "OS 12.0 · up 3d 4h" with its numbers in the
// monospaced design.
class SystemLine final : public QWidget {
public:
    SystemLine() {
        qfFollowTheme(this);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }

    void setValues(const QString& os, const QString& uptime) {
        if (os == os_ && uptime == uptime_) return;
        os_ = os;
        uptime_ = uptime;
        updateGeometry();
        update();
    }

    QSize sizeHint() const override {
        double w = 0;
        for (const auto& [text, font] : runs())
            w += qfTextWidth(text, *font);
        return {int(std::ceil(w)),
                int(std::ceil(std::max(qfLineHeight(sans()), qfLineHeight(mono()))))};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QFPainter p(this);
        const double ascent = std::max(qfAscent(sans()), qfAscent(mono()));
        const double baseline = (height() - sizeHint().height()) / 2.0 + ascent;
        double x = 0;
        const QColor color = QF::text3();
        for (const auto& [text, font] : runs()) {
            qfDrawText(p, x, baseline, text, *font, color);
            x += qfTextWidth(text, *font);
        }
    }

private:
    static const QFont& sans() {
        static const QFont f = qf(12);
        return f;
    }
    static const QFont& mono() {
        static const QFont f = qfMono(12);
        return f;
    }
    std::vector<std::pair<QString, const QFont*>> runs() const {
        return {{QStringLiteral("OS "), &sans()},
                {os_, &mono()},
                {QStringLiteral("  ·  up "), &sans()},
                {uptime_, &mono()}};
    }

    QString os_, uptime_;
};

MonitorHeader::MonitorHeader(QWidget* parent)
    : QWidget(parent)
    , liveDot_(new QFDot({.color = QFRole::disk, .size = 6}))
    , liveText_(new QFText({.font = qf(11.5, QFont::Medium), .color = QFRole::text3}))
    , system_(new SystemLine)
    , gear_(new SymbolButton("gearshape", 26, 14)) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    row->addWidget(new QFQuillfenMark({.size = 22}), 0, Qt::AlignVCenter);
    row->addWidget(
        new QFText({.text = "Quillfen", .font = qf(17, QFont::DemiBold), .color = QFRole::text1}),
        0, Qt::AlignVCenter);
    auto* machine = new QFText({.text = QString::fromStdString(SystemInfo::machineName()),
                                .font = qf(12.5, QFont::Medium),
                                .color = QFRole::text2});
    machine->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    row->addWidget(machine, 0, Qt::AlignVCenter);
    row->addWidget(new QFDot(), 0, Qt::AlignVCenter);
    row->addWidget(system_, 0, Qt::AlignVCenter);
    row->addStretch(1);
    row->addWidget(liveDot_, 0, Qt::AlignVCenter);
    row->addSpacing(-4);
    row->addWidget(liveText_, 0, Qt::AlignVCenter);
    row->addSpacing(4);
    row->addWidget(gear_, 0, Qt::AlignVCenter);
    gear_->setToolTip("Settings (Ctrl+,)");
    gear_->setAccessibleName("Settings");
    refreshSystem();
    live_ = true;
    setLive(false);
}

void MonitorHeader::setLive(bool live) {
    if (live == live_) return;
    live_ = live;
    liveDot_->setVisible(live);
    liveText_->setText(live ? QStringLiteral("Live") : QStringLiteral("Connecting…"));
    liveText_->setColor(live ? QFRole::text2 : QFRole::text3);
}

QString MonitorHeader::liveText() const {
    return liveText_->options().text;
}

void MonitorHeader::refreshSystem() {
    system_->setValues(QString::fromStdString(SystemInfo::osVersionString()),
                       QString::fromStdString(SystemInfo::uptimeString()));
}

} // namespace quillfen::app
