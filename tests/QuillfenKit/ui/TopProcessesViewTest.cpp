#include "ui/TopProcessesView.h"
#include "TempDir.h"
#include "UiTestSupport.h"
#include "format/Formatters.h"
#include "ui/QFProcessIcon.h"

#include <QMouseEvent>
#include <gtest/gtest.h>

namespace quillfen {
namespace {

using namespace testing; // the painting and pixel helpers of UiTestSupport.h
using Metric = TopProcessesView::Metric;

std::vector<ProcessRow> processes(int count, const std::string& prefix) {
    std::vector<ProcessRow> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({100 + i, prefix + std::to_string(i), {}, 90.0 - i, (900ull - i) << 20});
    return rows;
}

void click(QWidget& widget, QPointF at) {
    QMouseEvent press(QEvent::MouseButtonPress, at, widget.mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &press);
}

class TopProcesses : public testing::UiTest {};

TEST_F(TopProcesses, ShowsAtMostTheFirstFiveOfTheChosenList) {
    std::vector<std::string> names;
    for (const auto& row :
         TopProcessesView::rowsOf(ProcessReading{{}, processes(6, "m")}, Metric::memory))
        names.push_back(row.name);
    EXPECT_EQ(names, (std::vector<std::string>{"m0", "m1", "m2", "m3", "m4"}));
    EXPECT_TRUE(TopProcessesView::rowsOf(std::nullopt, Metric::cpu).empty());
}

TEST_F(TopProcesses, ValuesAreCorePercentagesOrByteCounts) {
    const ProcessRow row{1, "x", std::nullopt, 12.345, 2254857830};
    EXPECT_EQ(TopProcessesView::valueText(row, Metric::cpu), "12.3%");
    EXPECT_EQ(TopProcessesView::valueText({.cpuPercent = 250}, Metric::cpu), "250.0%");
    EXPECT_EQ(TopProcessesView::valueText(row, Metric::memory),
              QString::fromStdString(Formatters::bytes(2254857830)));
    EXPECT_EQ(TopProcessesView::valueText({.cpuPercent = std::nan("")}, Metric::cpu),
              QString::fromUtf8(Formatters::unknown));
}

TEST_F(TopProcesses, ThePickerSwitchesToMemoryAndBack) {
    TopProcessesView view;
    view.setReading(ProcessReading{processes(6, "c"), processes(3, "m")});
    render(view, {400, view.sizeHint().height()}, kBackground);
    int changed = 0;
    QObject::connect(&view, &TopProcessesView::metricChanged, [&] { ++changed; });
    const int fiveRows = view.sizeHint().height();
    const auto l = view.layoutFor(400);
    EXPECT_EQ(l.picker.right(), 400);
    EXPECT_EQ(view.rows().size(), 5u);

    click(view, l.pickerSegments[1].center());
    EXPECT_EQ(view.metric(), Metric::memory);
    EXPECT_EQ(view.rows().size(), 3u);
    EXPECT_EQ(view.rows()[0].name, "m0");
    EXPECT_EQ(changed, 1);
    EXPECT_LT(view.sizeHint().height(), fiveRows) << "fewer rows, shorter";

    click(view, l.pickerSegments[1].center());
    EXPECT_EQ(changed, 1) << "choosing the chosen metric changes nothing";
    click(view, l.pickerSegments[0].center());
    EXPECT_EQ(view.metric(), Metric::cpu);
    EXPECT_EQ(view.rows()[0].name, "c0");
}

TEST_F(TopProcesses, SaysSamplingUntilAReadingArrives) {
    TopProcessesView view;
    const QImage image = render(view, {400, view.sizeHint().height()}, kBackground);
    const auto l = view.layoutFor(400);
    EXPECT_TRUE(l.rows.empty());
    EXPECT_GT(testing::pixelsWhere(image, QRectF(0, l.sampling.top(), 80, l.sampling.height()),
                                   [](const QColor& c) { return c != kBackground; }),
              10)
        << "\"Sampling…\" is written";
    view.setReading(ProcessReading{processes(2, "c"), {}});
    EXPECT_EQ(view.layoutFor(400).rows.size(), 2u);
}

TEST_F(TopProcesses, RowsWithoutAnIconKeepItsSpaceAndNameTheProcessInTheirTooltip) {
    TempDir dir;
    const auto bundle = dir / "Painter.app";
    testing::writeIcon(bundle / "Contents/Resources/AppIcon.png", QColor(200, 40, 40));
    fake.workspace->bundles[bundle] = {{"CFBundleIconFile", "AppIcon"}};

    TopProcessesView view;
    auto rows = processes(2, "process-");
    rows[0].bundleURL = bundle;
    view.setReading(ProcessReading{rows, {}});
    const QImage image = render(view, {400, view.sizeHint().height()}, kBackground);
    const auto l = view.layoutFor(400);
    ASSERT_EQ(l.rows.size(), 2u);
    const double iconMid = TopProcessesView::iconSize / 2;
    EXPECT_TRUE(near(pixelAt(image, iconMid, l.rows[0].center().y()), QColor(200, 40, 40)));
    for (double x = 0; x < TopProcessesView::iconSize; x += 1)
        EXPECT_EQ(pixelAt(image, x, l.rows[1].center().y()), kBackground) << "a clear space";

    // Both names begin where the icon's space ends.
    const auto firstInk = [&](double y) {
        for (double x = 0; x < 400; x += 1)
            if (pixelAt(image, x, y) != kBackground && x >= TopProcessesView::iconSize) return x;
        return -1.0;
    };
    const double nameX = TopProcessesView::iconSize + TopProcessesView::spacing;
    EXPECT_NEAR(firstInk(l.rows[0].center().y()), nameX, 2.5);
    EXPECT_NEAR(firstInk(l.rows[1].center().y()), nameX, 2.5);

    EXPECT_EQ(view.toolTipAt(l.rows[1].center()), "process-1");
    EXPECT_EQ(view.toolTipAt(QPointF(390, l.rows[0].center().y())), "process-0");
    EXPECT_TRUE(view.toolTipAt(l.picker.center()).isEmpty());
    qfClearProcessIconCache();
}

} // namespace
} // namespace quillfen
