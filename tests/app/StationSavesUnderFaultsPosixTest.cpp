// The station's saves cut short at every file call they make: each file is afterwards the old
// one or the new one, whole, and a full disk or a read-only folder costs nothing that a later
// save cannot write.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "app/StationApp.h"
#include "ops/ErrorKinds.h"
#include "ops/LogWriter.h"
#include "plans/DatabaseFiles.h"
#include "platform/AtomicFile.h"
#include "platform/FileFaults.h"
#include "platform/LocalTime.h"
#include "platform/VirtualTimerService.h"
#include "platform/WorkingFolder.h"
#include "tests/support/ChildRun.h"
#include "tests/support/FileTimes.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Unprivileged.h"

namespace quirn {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;
using FolderFiles = std::map<std::string, std::string>;  // path under the folder -> bytes

bool isTemporary(const std::string& name) {
    const std::string_view suffix = kTemporarySuffix;
    return name.size() > suffix.size() &&
           name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Every file a save may replace: the folder and its archive, without the logs (appended, not
// replaced) and without temporaries (a cut-short save may leave one; start-up removes it).
FolderFiles savedFilesUnder(const std::string& root) {
    FolderFiles files;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::end(it); ++it) {
        const std::string relative = fs::relative(it->path(), root).string();
        if (it->is_directory() && (relative == "LogFiles" || relative == "run")) {
            it.disable_recursion_pending();
            continue;
        }
        if (it->is_regular_file() && !isTemporary(relative))
            files[relative] = readFile(it->path().string());
    }
    return files;
}

void restoreFolder(const std::string& root, const FolderFiles& files) {
    for (const auto& [relative, bytes] : savedFilesUnder(root))
        if (!files.contains(relative)) fs::remove(root + relative);
    for (const auto& [relative, bytes] : files) writeFile(root + relative, bytes);
}

int temporariesUnder(const std::string& root) {
    int n = 0;
    for (auto& entry : fs::recursive_directory_iterator(root))
        if (isTemporary(entry.path().filename().string())) ++n;
    return n;
}

// A station a minute before the end of the day, with a change in memory for each file the end
// of the day saves: an edited location and group, a new summer plan, an override file.
class StationSavesUnderFaults : public ::testing::Test {
  protected:
    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    std::string root = working.path();
    ManualClock clock{fromLocal(2026, 12, 9, 23, 58, 55)};
    VirtualTimerService timers{clock};
    std::unique_ptr<StationApp> app;

    void SetUp() override {
        writeFile(root + "profile.csv", "RadioPort,0\r\n");
        writeFile(root + "groups.csv", "Group,1,Lincoln Elementary,1\r\nGroup,1,Oak Middle,2\r\n");
        writeFile(root + "locations.csv",
                  "Location,1,1,School,Lincoln Ave,1,127.0.0.5,1\r\n"
                  "Location,2,1,School,Oak St,1,127.0.0.6,0\r\n");
        writeFile(root + "steps.csv", "Step,1,1,435,1,1\r\nStep,1,1,495,1,0\r\n");
        writeFile(root + "summer.csv",
                  "SummerPlan,Camp\r\nStartDate,2026,6,1\r\nEndDate,2026,8,31\r\n");
        app = std::make_unique<StationApp>(clock, timers, working);
        ASSERT_TRUE(app->startUp());
        // The crashes are children forked from this process: it forks with no thread of its
        // own running (a child of a threaded process may not start threads under TSan), and
        // the read history's worker is not what these tests are about.
        app->readHistory().stop();
        app->database().findLocation(1, 1, 1)->name = "Lincoln Avenue";
        app->database().findLocation(1, 2, 1)->name = "Oak Street";
        app->summer().loadText("SummerPlan,Pool\r\nStartDate,2027,6,1\r\nEndDate,2027,8,31\r\n");
        // Saved earlier today by the station's clock, so tonight's archive is due.
        ASSERT_TRUE(test::setModifiedTime(locationsFileName(working), clock.now() - 3600));
        writeFile(overrideFileName(working), "Enabled,1,1\r\n");
        ASSERT_TRUE(test::setModifiedTime(overrideFileName(working), clock.now() - 60));
    }
    void TearDown() override {
        FileFaultInjector::disarm();
        if (app) app->shutDown();
    }

    // Runs `save` in a child that crashes at each of its file calls in turn, and checks after
    // each crash that every file is the one before the save or the one after it. Returns the
    // number of cut points.
    long crashAtEveryCall(const std::function<void()>& save) {
        const FolderFiles before = savedFilesUnder(root);
        const std::string countFile = root + "run-calls";
        // The cut points: a child runs the whole save, counting.
        EXPECT_EQ(test::runInChild([&] {
                      FileFaultInjector::startCounting();
                      save();
                      const long calls = FileFaultInjector::callsCounted();
                      FileFaultInjector::disarm();
                      return writeFile(countFile, std::to_string(calls)) ? 0 : 1;
                  }),
                  0);
        const long calls = std::atol(readFile(countFile).c_str());
        fs::remove(countFile);
        const FolderFiles after = savedFilesUnder(root);
        EXPECT_NE(before, after) << "the save changed nothing";
        for (long n = 1; n <= calls; ++n) {
            restoreFolder(root, before);
            EXPECT_TRUE(test::setModifiedTime(locationsFileName(working), clock.now() - 3600));
            EXPECT_TRUE(test::setModifiedTime(overrideFileName(working), clock.now() - 60));
            EXPECT_EQ(test::runInChild([&] {
                          FileFaultInjector::arm(FileFault::Crash, n);
                          save();
                          return 0;
                      }),
                      kFileFaultCrashExitCode)
                << "cut point " << n;
            const FolderFiles cut = savedFilesUnder(root);
            std::set<std::string> names;
            for (const auto& [name, bytes] : before) names.insert(name);
            for (const auto& [name, bytes] : after) names.insert(name);
            for (const auto& [name, bytes] : cut) names.insert(name);
            for (const std::string& name : names) {
                auto was = before.find(name), will = after.find(name), is = cut.find(name);
                const bool asBefore = (was == before.end()) == (is == cut.end()) &&
                                      (is == cut.end() || is->second == was->second);
                const bool asAfter = (will == after.end()) == (is == cut.end()) &&
                                     (is == cut.end() || is->second == will->second);
                EXPECT_TRUE(asBefore || asAfter) << name << " is a mix at cut point " << n;
            }
        }
        restoreFolder(root, after);
        return calls;
    }
};

TEST_F(StationSavesUnderFaults, ACrashAtEveryCallOfTheEndOfDayLeavesEachFileOldOrNewWhole) {
    // The override file's removal, the archive and the save of all.
    const long calls = crashAtEveryCall([&] {
        timers.advance(70);
        app->waitForBackgroundSaves();
    });
    EXPECT_GT(calls, 20) << "removal, archive, four CSVs, Passway, summer";
    std::cout << "[ cut points ] end of day: " << calls << "\n";
    // The station that starts on what the last crash left loads every file and clears what
    // the crash left behind.
    app->shutDown();
    app.reset();
    ASSERT_GT(temporariesUnder(root), 0);
    for (auto& entry : fs::recursive_directory_iterator(root))
        if (isTemporary(entry.path().filename().string()))
            test::setModifiedTime(entry.path().string(), clock.now() - 3600);
    clock.set(fromLocal(2026, 12, 10, 8, 0, 0));
    StationApp next(clock, timers, working);
    ASSERT_TRUE(next.startUp());
    EXPECT_EQ(temporariesUnder(root), 0);
    EXPECT_TRUE(next.database().unreadableFiles().empty());
    ASSERT_NE(next.database().findLocation(1, 2, 1), nullptr);
    next.shutDown();
}

TEST_F(StationSavesUnderFaults, ACrashAtEveryCallOfTheErrorMailAndSnapshotSavesLeavesThemWhole) {
    app->errors().addError(std::make_unique<ErrorValidateLocation>(
        clock.now(), 1, 1, 1, " Lincoln Avenue Validate Failed"));
    app->technicians().add(MailUser{"Bob", "bob@example.org", 16, false});
    EXPECT_EQ(crashAtEveryCall([&] { app->errors().save(); }), 4);
    EXPECT_EQ(crashAtEveryCall([&] { app->technicians().save(); }), 4);
    EXPECT_EQ(crashAtEveryCall([&] { saveSnapshot(app->database(), working); }), 4);
    EXPECT_EQ(crashAtEveryCall([&] { app->summer().save(); }), 4);
}

TEST_F(StationSavesUnderFaults, AFullDiskCostsNothingTheNextSaveCannotWrite) {
    const FolderFiles before = savedFilesUnder(root);
    FileFaultInjector::arm(FileFault::DiskFull, 1);
    app->saveAll();
    app->saveAll();
    FileFaultInjector::disarm();
    EXPECT_EQ(savedFilesUnder(root), before);
    EXPECT_EQ(temporariesUnder(root), 0);
    EXPECT_EQ(app->database().findLocation(1, 1, 1)->name, "Lincoln Avenue");
    // Space is back: the next save writes what memory held all along.
    app->saveAll();
    EXPECT_NE(readFile(locationsFileName(working)).find("Lincoln Avenue"), std::string::npos);
    EXPECT_NE(readFile(root + "summer.csv").find("Pool"), std::string::npos);
    EXPECT_TRUE(app->database().unreadableFiles().unwritten().empty());
}

// The end of the day's database files are written by a worker: what the full disk refused
// there is noted as a save on the window's thread would note it, stays in memory, and the
// next save writes it. (The disk is full for the System log too, so its line may be lost;
// the read-only folder below has the log's side.)
TEST_F(StationSavesUnderFaults, AFullDiskAtTheEndOfDayIsNotedWhenTheWorkerEnds) {
    const std::string locations = locationsFileName(working);
    const std::string before = readFile(locations);
    FileFaultInjector::arm(FileFault::DiskFull, 1);
    timers.advance(70);  // through 23:59
    app->waitForBackgroundSaves();
    FileFaultInjector::disarm();
    EXPECT_EQ(readFile(locations), before);
    const std::vector<std::string>& unwritten = app->database().unreadableFiles().unwritten();
    EXPECT_NE(std::find(unwritten.begin(), unwritten.end(), locations), unwritten.end());
    EXPECT_EQ(temporariesUnder(root), 0);
    app->saveAll();
    EXPECT_NE(readFile(locations).find("Lincoln Avenue"), std::string::npos);
    EXPECT_TRUE(app->database().unreadableFiles().unwritten().empty());
}

// A folder the station may not write in (run unprivileged, so the permissions hold under root):
// the day goes on, each file is logged once however often it fails, and once the folder is
// writable again the next save writes it.
TEST(StationReadOnlyFolder, EachUnwrittenFileIsLoggedOnceAndTheNextSaveWritesIt) {
    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    writeFile(working.file("profile.csv"), "RadioPort,0\r\n");
    writeFile(working.file("locations.csv"), "Location,1,1,School,Lincoln Ave,1,127.0.0.5,1\r\n");
    test::openUpForUnprivileged(working.path());
    // The child changes the folder's mode itself, as its owner would.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(working.path().c_str(), 65534, 65534), 0);
    }
    const std::string locations = working.file("locations.csv");
    const int result = test::runUnprivileged([&] {
        const std::string runtime = working.file("run");
        if (::mkdir(runtime.c_str(), 0700) != 0) return 11;
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        ManualClock clock{fromLocal(2026, 12, 9, 10, 0, 0)};
        VirtualTimerService timers{clock};
        StationApp app(clock, timers, working);
        if (!app.startUp()) return 10;
        app.database().findLocation(1, 1, 1)->name = "Lincoln Avenue";
        if (::chmod(working.path().c_str(), 0555) != 0) return 12;
        app.saveAll();
        app.saveAll();
        app.saveAll();
        if (app.database().findLocation(1, 1, 1)->name != "Lincoln Avenue") return 13;
        if (::chmod(working.path().c_str(), 0777) != 0) return 14;
        app.saveAll();
        if (readFile(locations).find("Lincoln Avenue") == std::string::npos) return 15;
        // Failing again after a save that wrote it is a new outage, logged anew.
        if (::chmod(working.path().c_str(), 0555) != 0) return 16;
        app.saveAll();
        ::chmod(working.path().c_str(), 0777);
        app.shutDown();
        return 0;
    });
    ASSERT_EQ(result, 0);
    ManualClock logDay{fromLocal(2026, 12, 9, 10, 0, 0)};
    const std::string system = readFile(LogWriter(working).logFileName(logDay, kLogSystem));
    const std::string line = locations + " not saved: it could not be written";
    size_t count = 0;
    for (size_t at = system.find(line); at != std::string::npos; at = system.find(line, at + 1))
        ++count;
    EXPECT_EQ(count, 2u) << system;
}

}  // namespace
}  // namespace quirn
