// The fleet window on Qt's offscreen platform: opened from the loader's "Fleet…" button, one
// row per location, a filter, find, and a location's clock chart painted with its reads.
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTableView>
#include <QTest>
#include <cmath>

#include "fleethealth/HistoryFileSource.h"
#include "fleethealth/OffsetChartLayout.h"
#include "fleethealth/ui/FleetWindow.h"
#include "fleethealth/ui/OffsetChartWidget.h"
#include "tests/fleethealth/FleetHistoryFile.h"
#include "tests/fleethealth/FleetTestFacts.h"
#include "tests/loader/ui/LoaderWindowFixture.h"
#include "tests/support/FleetGenerator.h"
#include "tests/support/TempFolder.h"

namespace quirn::test {
namespace {

class FleetWindowTest : public LoaderWindowFixture {
  protected:
    FleetWindowTest() {
        generateFleet(db, FleetShape{}, clock.now());
        facts = makeFleetFacts(db, clock.now());
        std::string error;
        EXPECT_TRUE(writeFleetHistory(history.path(), db, facts, clock.now(), &error)) << error;
    }
    FleetWindowServices fleetServices() {
        return FleetWindowServices{db, nullptr, clock, &history};
    }
    int shownRows(FleetWindow& w) { return w.table()->model()->rowCount(); }
    QString cell(FleetWindow& w, int row, FleetColumn column) {
        return w.table()->model()->index(row, static_cast<int>(column)).data().toString();
    }

    FleetFacts facts;
    TempFolder historyFolder;
    HistoryFileSource history{historyFolder.file(kHistoryFileName)};
};

TEST_F(FleetWindowTest, TheLoadersFleetButtonOpensTheWindow) {
    LoaderWindow loader(services(), view);
    attachFleetWindow(loader, fleetServices());
    loader.show();
    click(loader, "fleet");
    QPointer<FleetWindow> window = loader.findChild<FleetWindow*>();
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Fleet");
    window->close();
}

TEST_F(FleetWindowTest, OneRowPerLocationWithTheHistorysFacts) {
    FleetWindow window(fleetServices());
    window.show();
    ASSERT_EQ(shownRows(window), static_cast<int>(db.locationCount()));
    EXPECT_EQ(cell(window, 1, FleetColumn::Name), QString::fromStdString(facts.wrongClock->name));
    EXPECT_EQ(cell(window, 1, FleetColumn::ClockOffset), "+300 s");
    EXPECT_EQ(cell(window, 2, FleetColumn::Program), "Differs");
    EXPECT_EQ(cell(window, 3, FleetColumn::LastRead), "Never");
    EXPECT_EQ(cell(window, 5, FleetColumn::Drift), "+9.00 s/day");
    EXPECT_TRUE(cell(window, 7, FleetColumn::State).endsWith("Connection Failed, 0 bytes read."));
    EXPECT_TRUE(child<QLabel>(window, "summary")->text().contains("1 wrong clock"));
}

TEST_F(FleetWindowTest, TheWrongClockFilterLeavesTheOneLocationAndSaysHowManyInItsList) {
    FleetWindow window(fleetServices());
    window.show();
    auto* filter = child<QComboBox>(window, "filter");
    const int at = filter->findText("Wrong clock (1)");
    ASSERT_GE(at, 0);
    filter->setCurrentIndex(at);
    ASSERT_EQ(shownRows(window), 1);
    EXPECT_EQ(cell(window, 0, FleetColumn::Name), QString::fromStdString(facts.wrongClock->name));
}

TEST_F(FleetWindowTest, ClickingAColumnTitleSortsByIt) {
    FleetWindow window(fleetServices());
    window.show();
    QTableView* table = window.table();
    table->sortByColumn(static_cast<int>(FleetColumn::ClockOffset), Qt::DescendingOrder);
    EXPECT_EQ(cell(window, 0, FleetColumn::ClockOffset), "+300 s");
}

TEST_F(FleetWindowTest, FindSelectsTheNextLocationByName) {
    FleetWindow window(fleetServices());
    window.show();
    auto* find = child<QLineEdit>(window, "find");
    QTest::keyClicks(find, QString::fromStdString(facts.drifting->name));
    QTest::keyClick(find, Qt::Key_Return);
    ASSERT_TRUE(window.table()->currentIndex().isValid());
    EXPECT_EQ(cell(window, window.table()->currentIndex().row(), FleetColumn::Name),
              QString::fromStdString(facts.drifting->name));
    // The chart follows the selection.
    EXPECT_TRUE(window.chart()->title().startsWith(QString::fromStdString(facts.drifting->name)));
}

TEST_F(FleetWindowTest, TheChartPaintsADotForEveryReadOfThePickedLocation) {
    // The drifting clock's ten daily reads, from the history file, and its fit.
    const Location& l = *facts.drifting;
    const LocationOffsetHistory h =
        offsetHistoryOf(history.locationHistory({l.masterGroup, l.group, l.number}, 0));
    ASSERT_EQ(h.points.size(), static_cast<std::size_t>(kFleetHistoryDays));
    ASSERT_EQ(h.fits.size(), 1u);

    FleetWindow window(fleetServices());
    window.show();
    ASSERT_TRUE(window.pick(l.masterGroup, l.group, l.number));
    OffsetChartWidget* chart = window.chart();
    ASSERT_EQ(chart->history().points.size(), h.points.size());
    const QImage image = chart->grab().toImage();
    const OffsetChartLayout layout =
        layoutOffsetChart(h, chart->width(), chart->height() - OffsetChartWidget::kTitleHeight);
    ASSERT_EQ(layout.dots.size(), h.points.size());
    for (const ChartPoint& d : layout.dots) {
        const QColor c =
            image.pixelColor(static_cast<int>(std::lround(d.x)),
                             static_cast<int>(std::lround(d.y)) + OffsetChartWidget::kTitleHeight);
        EXPECT_EQ(c, OffsetChartWidget::kDotColor) << d.x << "," << d.y;
    }
    // Between the dots the chart is not blue: they are dots, not a filled area.
    const ChartPoint mid{(layout.dots[0].x + layout.dots[1].x) / 2, layout.top + 2};
    EXPECT_NE(image.pixelColor(static_cast<int>(mid.x),
                               static_cast<int>(mid.y) + OffsetChartWidget::kTitleHeight),
              OffsetChartWidget::kDotColor);
}

}  // namespace
}  // namespace quirn::test
