// Painting the charts into an image, as a window repaints them each second: a hero chart
// 600 wide with a stacked 60-point history, and a 120 × 28 sparkline, at device-pixel ratios
// 1 and 2. The "allocs" counter is the number of heap allocations one repaint makes; it must
// not grow with the number of samples.

#include "platform/Platform.h"
#include "platform/fake/FakeUserDefaults.h"
#include "settings/AppSettings.h"
#include "ui/QFHeroChart.h"
#include "ui/QFSparkline.h"
#include "ui/QFStackedSparkline.h"
#include <QPainter>

#include <QApplication>
#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> allocations{0};

} // namespace

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace quillfen {
namespace {

// Views need a GUI application and settings that are not the user's own.
void ensureApplication() {
    static int argc = 1;
    static char name[] = "quillfen-bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        auto* a = new QApplication(argc, argv);
        // The settings are loaded once, from memory; the other benchmarks keep their platform.
        platform::Platform inMemory = platform::current();
        inMemory.userDefaults = std::make_shared<platform::fake::FakeUserDefaultsSuites>();
        platform::ScopedPlatform scope(inMemory);
        AppSettings::shared();
        return a;
    }();
    (void)app;
}

std::vector<double> wave(int n, double base, double amplitude, double period) {
    std::vector<double> v;
    for (int i = 0; i < n; ++i)
        v.push_back(base + amplitude * std::sin(i / period) * std::sin(i / (period * 2.7)));
    return v;
}

void paintRepeatedly(benchmark::State& state, QWidget& widget, QSize size) {
    const double dpr = double(state.range(0));
    widget.setAttribute(Qt::WA_DontShowOnScreen);
    widget.resize(size);
    widget.show();
    QImage image(size * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    // One paint first: fonts and glyphs are loaded once per process, not per repaint.
    image.fill(Qt::black);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    long allocs = 0;
    // Repaints go over the previous frame, as they do in a window's backing store; clearing
    // the image is not part of painting the view.
    image.fill(Qt::black);
    for (auto _ : state) {
        const long before = allocations.load(std::memory_order_relaxed);
        widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        allocs = allocations.load(std::memory_order_relaxed) - before;
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["allocs"] = double(allocs);
}

void BM_HeroChartStacked(benchmark::State& state) {
    ensureApplication();
    const int samples = int(state.range(1));
    QFHeroChart chart({.bigValue = "23",
                       .unit = "%",
                       .label = "Total load",
                       .stats = {{.label = "User", .value = "16%", .color = QFRole::cpu},
                                 {.label = "System", .value = "7%", .color = QFRole::sys},
                                 {.label = "Cores", .value = "8P + 4E"}},
                       .history = wave(samples, 0.2, 0.15, 3),
                       .history2 = wave(samples, 0.06, 0.04, 5)});
    paintRepeatedly(state, chart, {600, chart.sizeHint().height()});
}
BENCHMARK(BM_HeroChartStacked)
    ->ArgNames({"dpr", "samples"})
    ->Args({1, 60})
    ->Args({2, 60})
    ->Args({1, 30})
    ->Unit(benchmark::kMicrosecond);

void BM_Sparkline(benchmark::State& state) {
    ensureApplication();
    QFSparkline line({.values = wave(int(state.range(1)), 0.4, 0.3, 2.5), .color = QFRole::cpu});
    paintRepeatedly(state, line, {120, 28});
}
BENCHMARK(BM_Sparkline)
    ->ArgNames({"dpr", "samples"})
    ->Args({1, 60})
    ->Args({2, 60})
    ->Args({1, 30})
    ->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace quillfen
