#pragma once

#include "Readouts.h"
#include "model/SystemSnapshot.h"
#include "ui/QFCard.h"
#include "ui/QFHeroChart.h"

#include <optional>
#include <vector>

class QAbstractButton;
class QBoxLayout;
class QGridLayout;
class QLabel;
class QVBoxLayout;

namespace quillfen {
class QFCoreBars;
class QFFillBar;
class QFMiniProcList;
class QFRing;
class QFStat;
class QFText;
class MemoryBreakdownView;
class TopProcessesView;
} // namespace quillfen

namespace quillfen::app {

// A card of the monitor window. Each card listens only to the parts of the snapshot it shows
// and hands its views new values only when what they show changes, so a snapshot repaints the
// cards whose readings moved and no others.
class MonitorCard : public QFCard {
    Q_OBJECT

public:
    explicit MonitorCard(SystemSnapshot& snapshot, QWidget* parent = nullptr);

    // Whether the card takes a whole row of the grid.
    virtual bool isWide() const { return false; }

signals:
    // What the card shows changed its size class (for example the GPU card became a note).
    void shapeChanged();

protected:
    SystemSnapshot& snapshot_;
};

// A hero chart whose parts are handed over only when they differ from those shown.
class HeroChart {
public:
    explicit HeroChart(QFHeroChart::Options options);
    QFHeroChart* view() const { return view_; }

    struct Stat {
        QString label;
        NumberAndUnit value;
        QFColor color = QFRole::text1;
        bool operator==(const Stat&) const = default;
    };
    // A present value in `color`, or "—" in `text4`.
    void setValue(const std::optional<NumberAndUnit>& value, QFColor color, const QString& label);
    void setStats(std::vector<Stat> stats);
    void setHistory(const SnapshotValues::History& history,
                    const std::optional<SnapshotValues::History>& history2 = std::nullopt);

private:
    QFHeroChart* view_;
    std::optional<NumberAndUnit> value_;
    QString label_;
    std::optional<QFColor> color_;
    std::vector<Stat> stats_;
    bool statsShown_ = false;
    std::optional<SnapshotValues::History> history_, history2_;
};

class CpuCard final : public MonitorCard {
    Q_OBJECT

public:
    explicit CpuCard(SystemSnapshot& snapshot, QWidget* parent = nullptr);
    bool isWide() const override { return true; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showReading();
    void showHistory();
    void fitCoreBars();

    HeroChart chart_;
    QFText* perCoreLabel_;
    QFCoreBars* cores_;
    QString coresText_;
    std::vector<double> shownCores_;
};

class GpuCard final : public MonitorCard {
    Q_OBJECT

public:
    explicit GpuCard(SystemSnapshot& snapshot, QWidget* parent = nullptr);
    // No GPU reading arrived: the card is a one-line note.
    bool isNote() const { return note_; }

private:
    void showReading();
    void showHistory();
    void setNote(bool note);

    HeroChart chart_;
    QFText* model_;
    QFText* noGpu_;
    bool note_ = false;
    int documents_ = 0;
};

class MemoryCard final : public MonitorCard {
    Q_OBJECT

public:
    explicit MemoryCard(SystemSnapshot& snapshot, QWidget* parent = nullptr);
    // Reads the swap usage; the window calls this now and then, not on every snapshot.
    void refreshSwap();

private:
    void showReading();

    HeroChart chart_;
    QFText* swap_;
    MemoryBreakdownView* breakdown_;
};

class ThroughputCard : public MonitorCard {
    Q_OBJECT

public:
    struct Kind {
        std::string icon;
        QString title;
        QFRole color;
        QString inLabel, outLabel;
        SystemSnapshot::History inHistory, outHistory;
    };
    ThroughputCard(SystemSnapshot& snapshot, Kind kind, QWidget* parent = nullptr);

protected:
    // Bytes per second in and out, when read.
    void showRates(std::optional<std::pair<std::uint64_t, std::uint64_t>> rates);
    void showHistory();

private:
    Kind kind_;
    HeroChart chart_;
};

class NetworkCard final : public ThroughputCard {
    Q_OBJECT

public:
    explicit NetworkCard(SystemSnapshot& snapshot, QWidget* parent = nullptr);
};

class DiskCard final : public ThroughputCard {
    Q_OBJECT

public:
    explicit DiskCard(SystemSnapshot& snapshot, QWidget* parent = nullptr);

private:
    void showVolumes();

    QVBoxLayout* volumes_;
    std::vector<DiskVolumeUsage> shown_;
};

class SensorsCard final : public MonitorCard {
    Q_OBJECT

public:
    explicit SensorsCard(SystemSnapshot& snapshot, QWidget* parent = nullptr);
    // Shows why there are no readings; the window calls this now and then while there are
    // none, as the helper's state is read from files and processes.
    void refreshHelperState();
    // Whether the card is asking for the helper.
    bool showsHelperPrompt() const;
    // The button that opens the helper's settings.
    QAbstractButton* setUpButton() const { return setUp_; }

private:
    void showReadings();

    QWidget* prompt_;
    QAbstractButton* setUp_;
    QFText* none_;
    QWidget* tilesBox_;
    QGridLayout* tiles_;
    QWidget* fansBox_;
    QVBoxLayout* fans_;
    std::vector<std::pair<QString, NumberAndUnit>> shownTiles_;
    std::optional<FanReading> shownFans_;
};

class BatteryCard final : public MonitorCard {
    Q_OBJECT

public:
    explicit BatteryCard(SystemSnapshot& snapshot, QWidget* parent = nullptr);
    // The machine has a battery.
    bool isPresent() const { return snapshot_.hasBattery().value_or(false); }

private:
    void showReading();

    QFText* status_;
    QFRing* ring_;
    QFText* charge_;
    std::vector<QFStat*> stats_;
};

class ProcessesCard final : public MonitorCard {
    Q_OBJECT

public:
    explicit ProcessesCard(SystemSnapshot& snapshot, QWidget* parent = nullptr);
    bool isWide() const override { return true; }
    TopProcessesView* topProcesses() const { return top_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showReading();

    QBoxLayout* columns_;
    TopProcessesView* top_;
    QFMiniProcList* byCPU_;
    QFMiniProcList* byMemory_;
};

} // namespace quillfen::app
