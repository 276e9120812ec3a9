#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "app/StationApp.h"
#include "comms/IpTableFile.h"
#include "ops/LogWriter.h"
#include "planedit/PlanEditor.h"
#include "plans/Archive.h"
#include "plans/DatabaseFiles.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "platform/VirtualTimerService.h"
#include "tests/support/FileTimes.h"
#include "tests/support/FleetGenerator.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::readFile;
using test::writeFile;

size_t occurrences(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1))
        ++n;
    return n;
}

// The whole station on the manual clock: start-up, minutes of running, shutdown.
class StationRun : public ::testing::Test {
  protected:
    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const LogWriter logWriter{working};
    ManualClock clock{fromLocal(2026, 12, 9, 10, 0, 5)};
    VirtualTimerService timers{clock};
    void SetUp() override {
        writeFile(folder.file("profile.csv"), "RadioPort,0\r\n");
        writeFile(folder.file("locations.csv"),
                  "Location,3,1,School,Main St,7,127.0.0.2,0\r\n"
                  "Location,3,1,School,Elm St,8,127.0.0.5,1\r\n"
                  "Location,4,1,Signal,Oak St,1,127.0.0.5,3\r\n"
                  "Location,4,1,Signal,Pine St,2,127.0.0.6,2\r\n");
    }
};

// A fleet's read-back snapshot is laid out over several polls; the end of the program finishes
// one it had begun, so the read-backs that asked for it are not lost.
TEST_F(StationRun, ASnapshotBegunBeforeTheEndIsWrittenWhole) {
    StationApp app(clock, timers, working);
    ASSERT_TRUE(app.startUp());
    test::generateFleet(app.database(), {2, 60, 100, 1, 2, 0, 0, true, 3}, clock.now());
    ASSERT_GT(app.database().locationCount(), StationApp::kSnapshotSliceLocations);
    app.scheduler().requestReadBackSave();
    app.scheduler().minuteTick();  // the first slice, no poll yet
    EXPECT_FALSE(app.scheduler().readBackSaveRequested());
    EXPECT_EQ(app.readBackSaver().finished(), 0);
    app.shutDown();
    EXPECT_EQ(app.readBackSaver().finished(), 1);
    // Compared whole, not printed: megabytes of records.
    EXPECT_TRUE(readFile(snapshotFileName(working)) == snapshotBytes(app.database()));
}

// The end of the day's texts are written a slice of groups per poll; only then does the worker
// archive and replace the files, whole, with the bytes a save in one go at 23:59 would write.
TEST_F(StationRun, TheEndOfDaysFilesAreWrittenOverSeveralPollsWhole) {
    clock.set(fromLocal(2026, 12, 9, 23, 58, 30));
    StationApp app(clock, timers, working);
    ASSERT_TRUE(app.startUp());
    test::generateFleet(app.database(), {2, 60, 100, 1, 2, 2, 1, false, 3}, clock.now());
    ASSERT_GT(app.database().locationCount(), StationApp::kDatabaseSliceLocations);
    ASSERT_TRUE(saveDatabase(app.database(), working, clock.now()));
    ASSERT_TRUE(test::setModifiedTime(locationsFileName(working), clock.now() - 3600));
    const std::string before = readFile(locationsFileName(working));
    app.database().findLocation(1, 3, 7)->name = "Main Street";

    const std::time_t endOfDay = fromLocal(2026, 12, 9, 23, 59, 0);
    clock.set(endOfDay);
    app.scheduler().minuteTick();  // the first slice, no poll yet
    EXPECT_FALSE(app.databaseSaver().busy());
    EXPECT_EQ(app.databaseSaver().finished(), 0);
    EXPECT_TRUE(readFile(locationsFileName(working)) == before);
    timers.advanceMs(StationApp::kWorkerPollMs);  // the last slice: the worker takes over
    EXPECT_TRUE(app.databaseSaver().busy() || app.databaseSaver().finished() == 1);
    app.waitForBackgroundSaves();
    EXPECT_EQ(app.databaseSaver().finished(), 1);

    for (const DatabaseFile& file : databaseFiles(app.database(), working, endOfDay))
        EXPECT_TRUE(readFile(file.path) == file.text) << file.path;  // megabytes: not printed
    EXPECT_NE(readFile(locationsFileName(working)).find("Main Street"), std::string::npos);
    EXPECT_TRUE(fileExists(Archive(clock, working).fileNameAt(endOfDay)));
    // Replaced atomically: no temporary file is left beside them.
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        EXPECT_EQ(entry.path().filename().string().find(kTemporarySuffix), std::string::npos)
            << entry.path();
    app.shutDown();
}

TEST_F(StationRun, StartUpRunsEveryStepAndTheTimersRun) {
    StationApp app(clock, timers, working);
    ASSERT_TRUE(app.startUp());
    ASSERT_NE(app.comms(), nullptr);
    CommoHandler& commo = app.comms()->commo();
    // Every location's IP address is in the table once, in database order.
    EXPECT_NE(commo.findConnection("127.0.0.5"), nullptr);
    EXPECT_NE(commo.findConnection("127.0.0.6"), nullptr);
    EXPECT_EQ(commo.findConnection("127.0.0.2"), nullptr);
    auto table = IpTableFile::read(folder.file("quirnwireless.quirn"));
    ASSERT_TRUE(table.has_value());
    ASSERT_EQ(table->size(), 2u);
    EXPECT_EQ((*table)[0].address, "127.0.0.5");
    EXPECT_EQ((*table)[1].address, "127.0.0.6");
    EXPECT_TRUE(app.schedulerRunning());
    EXPECT_EQ(timers.activeCount(), 3u);  // the handler's tick, the scheduler and the mail log

    timers.advance(3 * 60);
    std::string system = readFile(logWriter.logFileName(clock, kLogSystem));
    EXPECT_EQ(occurrences(system, "Starting Program"), 1u);
    EXPECT_TRUE(app.scheduler().programStarted());

    // A technician added while the station ran is in mail.csv once it has ended.
    app.technicians().add(MailUser{"Bob", "bob@example.org", 16, false});
    app.shutDown();
    EXPECT_FALSE(app.schedulerRunning());
    EXPECT_TRUE(fileExists(folder.file("errors.csv")));  // written even when empty
    EXPECT_NE(readFile(folder.file("mail.csv")).find("MailUser,Bob,bob@example.org,16,0"),
              std::string::npos);
}

// A switch the Plans window gives a WiFi address while the station runs is paged through an IP
// connection of its own, as if it had been there at start-up; messages to an address without
// one are dropped.
TEST_F(StationRun, ALocationEditedToANewWiFiAddressGetsItsConnectionAtOnce) {
    StationApp app(clock, timers, working);
    ASSERT_TRUE(app.startUp());
    CommoHandler& commo = app.comms()->commo();
    PlanEditor editor(app.database(), app.overrides(), app.summer(), clock, working, false);
    editor.addListener([&app](const PlanEditNotice& notice) {
        for (const GroupKey& key : notice.groups) app.linkLocationsOf(key.masterGroup, key.group);
    });
    LocationFields wifi;
    wifi.name = "Cedar St";
    wifi.connection = "127.0.0.9";
    const EditOutcome added = editor.addGroup({1, 20}, "Cedar Elementary");
    ASSERT_TRUE(added.done) << added.refusal;
    ASSERT_TRUE(editor.addLocation({1, 20}, 0, wifi).done);
    EXPECT_NE(commo.findConnection("127.0.0.9"), nullptr);

    // Moved to another address: that one too.
    Location* moved = app.database().findLocation(1, 20, 1);
    ASSERT_NE(moved, nullptr);
    wifi.connection = "127.0.0.10";
    ASSERT_TRUE(editor.updateLocation({1, 20}, 1, wifi).done);
    EXPECT_NE(commo.findConnection("127.0.0.10"), nullptr);
    auto table = IpTableFile::read(folder.file("quirnwireless.quirn"));
    ASSERT_TRUE(table.has_value());
    EXPECT_EQ(table->back().address, "127.0.0.10");
    app.shutDown();
}

TEST_F(StationRun, EndOfDaySavesArchivesAndDropsTheOverrideFile) {
    clock.set(fromLocal(2026, 12, 9, 23, 58, 55));
    StationApp app(clock, timers, working);
    ASSERT_TRUE(app.startUp());
    app.database().findLocation(1, 3, 7)->name = "Main Street";
    // The database was saved earlier today (by the station's clock), so tonight's archive is due.
    ASSERT_TRUE(saveDatabase(app.database(), working, clock.now()));
    ASSERT_TRUE(test::setModifiedTime(locationsFileName(working), clock.now() - 3600));
    writeFile(overrideFileName(working), "Enabled,1,3\r\n");
    timers.advance(70);  // through 23:59
    app.waitForBackgroundSaves();
    EXPECT_FALSE(fileExists(overrideFileName(working)));
    EXPECT_NE(readFile(locationsFileName(working)).find("Main Street"), std::string::npos);
    EXPECT_TRUE(fileExists(folder.file("summer.csv")));
    EXPECT_TRUE(fileExists(folder.file("Passway.pw2")));
    // Start-up made the folder the archive went to, and no second one under another spelling.
    EXPECT_TRUE(fileExists(Archive(clock, working).fileNameAt(fromLocal(2026, 12, 9, 23, 59, 0))));
    std::vector<std::string> archiveFolders;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        std::string name = entry.path().filename().string();
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (name == "archive") archiveFolders.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(archiveFolders, std::vector<std::string>{"Archive"});
    app.shutDown();
}

}  // namespace
}  // namespace quirn
