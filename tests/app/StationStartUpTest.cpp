#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "app/StationApp.h"
#include "app/StationFolders.h"
#include "plans/DatabaseFiles.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "platform/VirtualTimerService.h"
#include "tests/support/FileTimes.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

namespace fs = std::filesystem;

size_t entriesUnder(const std::string& folder) {
    size_t n = 0;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); it != fs::end(it); ++it) ++n;
    return n;
}

class StationStartUp : public ::testing::Test {
  protected:
    test::TempFolder top;
    std::string root = top.path() + "vorn/quirn3/";
    const WorkingFolder working{root};
    ManualClock clock{fromLocal(2026, 12, 9, 10, 0, 0)};
    VirtualTimerService timers{clock};
    // No real serial device is touched: the radio port is set to 0, "no radio".
    void SetUp() override {
        ASSERT_TRUE(makeFolders(root));
        ASSERT_TRUE(test::writeFile(root + "profile.csv", "RadioPort,0\r\n"));
    }
};

TEST_F(StationStartUp, CreatesTheFolderTreeAndLoadsEverything) {
    StationApp app(clock, timers, working);
    ASSERT_TRUE(app.startUp());
    for (const std::string& folder : stationFolders(working))
        EXPECT_TRUE(folderExists(folder)) << folder;
    EXPECT_TRUE(folderExists(root + "LogFiles"));
    EXPECT_TRUE(fileExists(root + "profile.csv"));
    EXPECT_TRUE(fileExists(root + "locations.csv"));
    EXPECT_TRUE(app.database().loaded());
    EXPECT_EQ(app.helpFile(), root + "quirn3helpr.hlp");
    EXPECT_EQ(app.startTime(), clock.now());
    app.shutDown();
}

TEST_F(StationStartUp, RemovesTheTemporariesACutShortSaveLeftButNotFreshOnes) {
    const std::string left = root + "steps.csv.4242.0.tmp~";
    const std::string fresh = root + "groups.csv.4343.1.tmp~";
    ASSERT_TRUE(test::writeFile(left, "half a file"));
    ASSERT_TRUE(test::writeFile(fresh, "being written"));
    ASSERT_TRUE(test::setModifiedTime(left, clock.now() - 3600));
    ASSERT_TRUE(test::setModifiedTime(fresh, clock.now() - 5));
    StationApp app(clock, timers, working);
    ASSERT_TRUE(app.startUp());
    EXPECT_FALSE(pathExists(left));
    EXPECT_TRUE(fileExists(fresh));
    app.shutDown();
}

TEST_F(StationStartUp, LoadsSettingsAndDatabaseFromTheWorkingFolder) {
    test::writeFile(root + "profile.csv", "CityName,Springfield, Ohio\r\nRadioPort,0\r\n");
    test::writeFile(root + "locations.csv", "Location,3,1,School,Main St,7,127.0.0.2,2\r\n");
    test::writeFile(root + "dayplan.csv",
                    "SWP,1,3,0,0,1,1,1,1,1,0\r\nSWT,2026,12,8,23,59,59\r\n");  // already ended
    StationApp app(clock, timers, working);
    ASSERT_TRUE(app.startUp());
    EXPECT_EQ(app.settings().cityName, "Springfield, Ohio");
    EXPECT_EQ(app.settings().radioPort, 0);
    ASSERT_NE(app.database().findLocation(1, 3, 7), nullptr);
    EXPECT_TRUE(app.database().hasStrider());
    EXPECT_TRUE(app.database().specialWeekPlans().empty());
    app.shutDown();
}

// POSIX only: the single-instance lock is a file lock and the hand-over a local socket.
TEST_F(StationStartUp, ChecksThePlansAndSaysInTheSystemLogHowManyFindingsAndWhere) {
    test::writeFile(root + "groups.csv", "Group,1,Elm Street,3\r\n");
    test::writeFile(root + "locations.csv", "Location,3,1,School,Main St,7,127.0.0.2,0\r\n");
    test::writeFile(root + "steps.csv", "Step,1,3,7:15,1,1\r\nStep,1,3,99999,1,0\r\n");
    {
        StationApp app(clock, timers, working);
        ASSERT_TRUE(app.startUp());
        ASSERT_EQ(app.planFindings().size(), 2u);
        EXPECT_EQ(app.planFindings()[0].masterGroup, 1);
        EXPECT_EQ(app.planFindings()[0].group, 3);
        const std::string report = working.logs() + "Plan_Check.txt";
        const std::string system = test::readFile(app.log().logFileName(clock, kLogSystem));
        EXPECT_NE(system.find("Plan check: 2 findings in the database files; see " + report),
                  std::string::npos)
            << system;
        const std::string listed = test::readFile(report);
        EXPECT_NE(listed.find("steps.csv:1: minutes \"7:15\": is not a whole number"),
                  std::string::npos)
            << listed;
        EXPECT_NE(listed.find("steps.csv:2: minutes \"99999\""), std::string::npos) << listed;
        // The check reports; the files stay as they were written.
        EXPECT_EQ(test::readFile(root + "steps.csv"),
                  "Step,1,3,7:15,1,1\r\nStep,1,3,99999,1,0\r\n");
        app.shutDown();
    }
    // Mended files: the next start says so, and the old list goes.
    test::writeFile(root + "steps.csv", "Step,1,3,435,1,1\r\nStep,1,3,639,1,0\r\n");
    StationApp app(clock, timers, working);
    ASSERT_TRUE(app.startUp());
    EXPECT_TRUE(app.planFindings().empty());
    EXPECT_FALSE(fileExists(working.logs() + "Plan_Check.txt"));
    EXPECT_NE(test::readFile(app.log().logFileName(clock, kLogSystem))
                  .find("Plan check: the database files have no findings."),
              std::string::npos);
    app.shutDown();
}

TEST_F(StationStartUp, PosixSecondCopyHandsOverAndLeavesNothingBehind) {
    StationApp first(clock, timers, working);
    ASSERT_TRUE(first.startUp());
    EXPECT_FALSE(first.takeComeForwardRequest());
    // The first copy's read history opens its file on its own thread, with a journal that
    // comes and goes while the schema is made: the folder is counted once that is over.
    ASSERT_TRUE(first.readHistory().waitOpened(std::chrono::seconds(20)));
    size_t before = entriesUnder(top.path());
    {
        StationApp second(clock, timers, working);
        EXPECT_FALSE(second.startUp());
        EXPECT_FALSE(second.database().loaded());
    }
    EXPECT_EQ(entriesUnder(top.path()), before);
    EXPECT_TRUE(first.takeComeForwardRequest());
    EXPECT_FALSE(first.takeComeForwardRequest());  // once per request
    first.shutDown();
}

TEST_F(StationStartUp, PosixEachWorkingFolderHasItsOwnInstance) {
    StationApp first(clock, timers, working);
    ASSERT_TRUE(first.startUp());
    test::TempFolder other;
    ASSERT_TRUE(test::writeFile(other.path() + "profile.csv", "RadioPort,0\r\n"));
    StationApp elsewhere(clock, timers, other.workingFolder());
    EXPECT_TRUE(elsewhere.startUp());
}

}  // namespace
}  // namespace quirn
