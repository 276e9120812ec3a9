// The guide's pictures of the plans window (docs/plans-groups.png, docs/plans-dayplans.png),
// grabbed from the real window on the demo agency's records. Made only when QUIRN_SCREENSHOT_DIR
// names the folder to write them to (scripts/screenshots.sh).
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPixmap>
#include <QTabWidget>
#include <cstdlib>
#include <functional>

#include "app/DemoAgency.h"
#include "planedit/ui/PlansWindow.h"
#ifdef QUIRN_WITH_PLANS_CALENDAR
#include "plancalendar/ui/window/PlansWindowCalendar.h"
#endif
#include "plans/OverrideStore.h"
#include "plans/SummerPlanStore.h"
#include "tests/loader/ui/LoaderWindowFixture.h"

namespace quirn::test {
namespace {

class PlansScreenshots : public LoaderWindowFixture {
  protected:
    void SetUp() override {
        const char* dir = std::getenv("QUIRN_SCREENSHOT_DIR");
        if (dir == nullptr || *dir == '\0') GTEST_SKIP() << "QUIRN_SCREENSHOT_DIR is not set";
        folder_ = std::string(dir) + "/";
        DemoAgency::build(demo, clock.now());
        summer.loadText(DemoAgency::summerText(clock.now()));
    }
    // With the calendar tab where it is built, so the tabs are those the technician sees.
    PlansWindowServices demoServices() {
        std::function<void(PlansWindow&)> extend;
#ifdef QUIRN_WITH_PLANS_CALENDAR
        extend = [](PlansWindow& window) { plancalendar::addPlansCalendar(window, {}); };
#endif
        return PlansWindowServices{demo, overrides, summer, clock, working, true, [] {}, extend};
    }
    void save(QWidget& window, const char* name) {
        window.show();
        QApplication::processEvents();
        QPixmap picture = window.grab();
        ASSERT_FALSE(picture.isNull()) << name;
        EXPECT_TRUE(picture.save(QString::fromStdString(folder_ + name))) << name;
    }
    void showTab(PlansWindow& window, const char* tab) {
        auto* tabs = window.findChild<QTabWidget*>("tabs");
        ASSERT_NE(tabs, nullptr);
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->tabText(i) == tab) tabs->setCurrentIndex(i);
    }

    PlanDatabase demo;
    OverrideStore overrides{clock, working};
    SummerPlanStore summer{clock, working};
    std::string folder_;
};

TEST_F(PlansScreenshots, TheGroupsAndLocationsOfTheDemoAgency) {
    PlansWindow window(demoServices());
    window.show();
    window.pick(1, 1);
    window.pick(2, 1);
    // The WiFi time switch shows its own address.
    window.pick(1, 2, 1);
    showTab(window, "Groups and locations");
    save(window, "plans-groups.png");
}

TEST_F(PlansScreenshots, TheDayPlansOfASchool) {
    PlansWindow window(demoServices());
    window.show();
    window.pick(1, 1);
    showTab(window, "Day plans");
    auto* plans = window.findChild<QListWidget*>("dayPlans");
    ASSERT_NE(plans, nullptr);
    ASSERT_GE(plans->count(), 2);
    plans->setCurrentRow(1);
    save(window, "plans-dayplans.png");
}

}  // namespace
}  // namespace quirn::test
