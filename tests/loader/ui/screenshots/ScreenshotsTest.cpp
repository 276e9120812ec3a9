// The README's pictures of the loader, the utilities dialog, the demo and the help window, grabbed
// from the real windows on the offscreen platform after real work on a simulated time switch. They
// are made only when QUIRN_SCREENSHOT_DIR names the folder to write them to
// (scripts/screenshots.sh).
#include <gtest/gtest.h>

#include <QApplication>
#include <QPixmap>
#include <cstdlib>

#include "app/DemoAgency.h"
#include "app/HelpDocuments.h"
#include "app/qt/HelpWindow.h"
#include "loader/ui/LoaderWindow.h"
#include "loader/ui/UtilitiesWindow.h"
#include "platform/ComPortMap.h"
#include "tests/loader/ui/LoaderWindowFixture.h"

namespace quirn::test {
namespace {

constexpr int kShotWidth = 900;
constexpr int kShotHeight = 480;
// The working folder the help window names: a technician's, not the machine's that made the
// picture.
#ifdef _WIN32
constexpr const char* kShownFolder = "c:\\vorn\\quirn3\\";
#else
constexpr const char* kShownFolder = "/home/tech/vorn/quirn3/";
#endif

class Screenshots : public LoaderWindowFixture {
  protected:
    void SetUp() override {
        const char* dir = std::getenv("QUIRN_SCREENSHOT_DIR");
        if (dir == nullptr || *dir == '\0') GTEST_SKIP() << "QUIRN_SCREENSHOT_DIR is not set";
        folder_ = std::string(dir) + "/";
    }
    void save(QWidget& window, const char* name) {
        window.show();
        QApplication::processEvents();
        QPixmap picture = window.grab();
        ASSERT_FALSE(picture.isNull()) << name;
        EXPECT_TRUE(picture.save(QString::fromStdString(folder_ + name))) << name;
    }
    std::string folder_;
};

TEST_F(Screenshots, TheLoaderAfterAMatchingRead) {
    attach(sim::SimModel::QN510);
    LoaderWindow window(services(), view);
    // As in the program, where "Plans…", "Validate…" and "Fleet…" open their windows.
    window.setPlansAction([] {});
    window.setValidateAction([] {});
    window.setFleetAction([] {});
    window.resize(kShotWidth, kShotHeight);
    selectGroup(window, "Elm Street,5");
    click(window, "write");
    tickUntilIdle(window);
    click(window, "read");
    tickUntilIdle(window);
    ASSERT_EQ(window.controller().match(), LoaderController::Match::Matches);
    save(window, "loader.png");
}

TEST_F(Screenshots, TheUtilitiesDialog) {
    profile.writeInt("Clock", "Type", 2);
    LoaderWindow loader(services(), view);
    UtilitiesWindow window(loader.controller(), view);
    save(window, "utilities.png");
}

TEST_F(Screenshots, TheDemoAgencyInTheLoader) {
    PlanDatabase demoDb;
    DemoAgency::build(demoDb, clock.now());
    PlanDownload demoDownload(demoDb, clock, settings);
    ProtocolReadBack demoReadBack(demoDownload, clock);
    sim::SimSettings s;
    s.model = sim::SimModel::QN510;
    s.address = {1, 1, 1};
    s.zone = sim::ZoneRule::northAmerican(kHoursWest);
    sim::SimulatedTimeSwitch demoSwitch(s, clock);
    device->script = [&demoSwitch](const std::string& bytes, int) {
        return demoSwitch.receive(bytes);
    };
    LoaderWindow window(
        LoaderServices{clock, timers, *port, loaderSettings, demoDb, demoDownload, demoReadBack},
        view);
    window.setWindowTitle("Quirn 4 Loader \u2014 Demo \u2014 ~/.cache/quirnradio-demo/");
    window.setPlansAction([] {});
    window.setValidateAction([] {});
    window.setFleetAction([] {});
    window.resize(kShotWidth, kShotHeight);
    QTreeWidget* groups = child<QTreeWidget>(window, "groups");
    ASSERT_GT(groups->topLevelItemCount(), 0);
    groups->setCurrentItem(groups->topLevelItem(0));
    for (int i = 0; i < groups->topLevelItemCount(); ++i)
        if (groups->topLevelItem(i)->data(0, Qt::UserRole).toInt() == 1 &&
            groups->topLevelItem(i)->data(0, Qt::UserRole + 1).toInt() == 1)
            groups->setCurrentItem(groups->topLevelItem(i));
    click(window, "write");
    tickUntilIdle(window);
    click(window, "read");
    tickUntilIdle(window);
    EXPECT_EQ(window.controller().match(), LoaderController::Match::Matches)
        << window.controller().statusText();
    save(window, "demo.png");
}

TEST_F(Screenshots, TheHelpWindow) {
    const std::vector<HelpDocument> documents = loadHelpDocuments(helpFolders());
    ASSERT_FALSE(documents.empty());
    HelpWindow window(helpHeading(programVersion(), kShownFolder, ComPortMap(&profile), 1),
                      documents);
    window.resize(kShotWidth, kShotHeight + 120);
    save(window, "help.png");
}

}  // namespace
}  // namespace quirn::test
