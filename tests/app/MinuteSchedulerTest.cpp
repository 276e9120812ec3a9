#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/BackgroundFileWriter.h"
#include "app/MinuteScheduler.h"
#include "ops/LogWriter.h"
#include "plans/DatabaseFiles.h"
#include "plans/PlanDatabase.h"
#include "platform/LocalTime.h"
#include "platform/VirtualTimerService.h"
#include "tests/support/FleetGenerator.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

// Records each job with the local time it ran at.
struct RecordingJobs : DailyJobs {
    const Clock& clock;
    std::vector<std::string> log;
    bool saverBusy = false;
    int saves = 0;
    explicit RecordingJobs(const Clock& c) : clock(c) {}
    void note(const char* job) { log.push_back(formatLocal("%H:%M:%S ", clock.now()) + job); }
    void storeTicks() override { note("stores"); }
    void endOfDay() override { note("endOfDay"); }
    void expireSpecialWeeks() override { note("expire"); }
    void reloadOverrides() override { note("reload"); }
    void announceStart() override { note("start"); }
    bool startReadBackSave() override {
        if (saverBusy) return false;
        ++saves;
        return true;
    }
    int count(const std::string& job) const {
        int n = 0;
        for (const auto& l : log) n += l.substr(9) == job;
        return n;
    }
};

class Scheduler : public ::testing::Test {
  protected:
    ManualClock clock{fromLocal(2026, 12, 9, 23, 59, 30)};
    VirtualTimerService timers{clock};
    RecordingJobs jobs{clock};
};

TEST_F(Scheduler, FirstTickAt235930RunsTheEndOfDayAtOnce) {
    MinuteScheduler scheduler(clock, jobs);
    EXPECT_EQ(scheduler.minuteLastHandled(), -1);
    scheduler.minuteTick();
    ASSERT_FALSE(jobs.log.empty());
    EXPECT_EQ(jobs.log[0], "23:59:30 endOfDay");
    EXPECT_EQ(jobs.log[1], "23:59:30 expire");
    EXPECT_EQ(jobs.count("start"), 0);  // never at start
    EXPECT_EQ(scheduler.minuteLastHandled(), 59);
}

TEST_F(Scheduler, HoursOfTicksRunEachJobAtItsTime) {
    clock.set(fromLocal(2026, 12, 9, 21, 0, 5));
    MinuteScheduler scheduler(clock, jobs);
    timers.start(MinuteScheduler::kTickMs, [&] { scheduler.minuteTick(); });
    timers.advance(3 * 3600);  // to 00:00:05
    EXPECT_EQ(jobs.count("endOfDay"), 1);
    EXPECT_EQ(jobs.count("reload"), 1);
    EXPECT_EQ(jobs.count("expire"), 3);  // 21:59, 22:59, 23:59
    EXPECT_EQ(jobs.count("start"), 1);
    for (const auto& line : jobs.log) {
        if (line.find("endOfDay") != std::string::npos) {
            EXPECT_EQ(line.substr(0, 5), "23:59");
        }
        if (line.find("reload") != std::string::npos) {
            EXPECT_EQ(line.substr(0, 5), "23:58");
        }
    }
    // Six ticks a minute, one of them the minute's first: 21:00 has ticks at :15 to :55
    // (four store ticks), each of the 179 minutes after it five.
    EXPECT_EQ(jobs.count("stores"), 4 + 179 * 5);
}

TEST_F(Scheduler, StartingProgramBetween50SecondsAndTwoMinutesOnlyOnce) {
    for (int startSecond : {0, 9, 15, 45, 59}) {
        clock.set(fromLocal(2026, 12, 9, 10, 0, startSecond));
        RecordingJobs fresh(clock);
        MinuteScheduler scheduler(clock, fresh);
        TimerService::TimerId id =
            timers.start(MinuteScheduler::kTickMs, [&] { scheduler.minuteTick(); });
        scheduler.minuteTick();  // the first tick comes with the timer's start
        std::time_t started = clock.now();
        std::time_t announced = 0;
        for (int i = 0; i < 30 && !announced; ++i) {
            timers.advance(10);
            if (fresh.count("start")) announced = clock.now();
        }
        timers.advance(600);
        timers.stop(id);
        ASSERT_NE(announced, 0) << startSecond;
        EXPECT_GT(announced - started, 50) << startSecond;
        EXPECT_LE(announced - started, 120) << startSecond;
        EXPECT_EQ(fresh.count("start"), 1);
    }
}

TEST_F(Scheduler, StoreTicksNeverOnTheFirstTickOfAMinute) {
    clock.set(fromLocal(2026, 12, 9, 10, 0, 0));
    MinuteScheduler scheduler(clock, jobs);
    int firstTicks = 0;
    for (int i = 0; i < 60; ++i) {
        bool newMinute = toLocal(clock.now()).minute != scheduler.minuteLastHandled();
        size_t before = jobs.count("stores");
        scheduler.minuteTick();
        if (newMinute) {
            ++firstTicks;
            EXPECT_EQ(jobs.count("stores"), before) << formatLocal("%H:%M:%S", clock.now());
        }
        clock.advance(10);
    }
    EXPECT_EQ(firstTicks, 10);
}

TEST_F(Scheduler, ReadBackSaveRequestWaitsForABusyWriter) {
    clock.set(fromLocal(2026, 12, 9, 10, 0, 0));
    MinuteScheduler scheduler(clock, jobs);
    scheduler.minuteTick();
    EXPECT_EQ(jobs.saves, 0);
    scheduler.requestReadBackSave();
    jobs.saverBusy = true;
    scheduler.minuteTick();
    EXPECT_TRUE(scheduler.readBackSaveRequested());
    jobs.saverBusy = false;
    scheduler.minuteTick();
    EXPECT_EQ(jobs.saves, 1);
    EXPECT_FALSE(scheduler.readBackSaveRequested());
    scheduler.minuteTick();
    EXPECT_EQ(jobs.saves, 1);
}

TEST(BackgroundFileWriter, WritesTheCopyTakenWhileRecordsChange) {
    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const LogWriter logWriter{working};
    PlanDatabase db;
    test::generateFleet(db, {2, 20, 40, 1, 2, 0, 0, true, 3}, fromLocal(2026, 12, 9));
    for (Location* l : db.allLocations()) l->readState = 3;
    std::string copy = snapshotBytes(db);
    BackgroundFileWriter saver;
    ASSERT_TRUE(saver.start(snapshotFileName(working), copy));
    // The user-interface thread goes on changing records and adding locations.
    for (Location* l : db.allLocations()) l->programBytes.fill(0xee);
    for (int n = 41; n <= 60; ++n) db.addLocation(Location(1, 1, n));
    saver.wait();
    EXPECT_TRUE(saver.lastSucceeded());
    EXPECT_EQ(saver.finished(), 1);
    EXPECT_EQ(test::readFile(snapshotFileName(working)), copy);
    EXPECT_TRUE(saver.start(snapshotFileName(working), snapshotBytes(db)));
    saver.wait();
    EXPECT_EQ(test::readFile(snapshotFileName(working)).size(), 4u + 1000u * db.locationCount());
}

}  // namespace
}  // namespace quirn
