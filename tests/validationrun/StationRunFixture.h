#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "app/StationApp.h"
#include "ops/LogWriter.h"
#include "plans/PlanTypes.h"
#include "platform/LocalTime.h"
#include "platform/VirtualTimerService.h"
#include "tests/support/TempFolder.h"

namespace quirn::test {

// Bounds of every loop of these tests: steps of the station's time and real milliseconds,
// whichever runs out first.
inline constexpr int kMaxSteps = 4000;
inline constexpr long long kMaxRealMs = 20000;

inline long long steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The whole station on the manual clock in a temporary working folder, with one group of
// locations whose lines the test writes.
class StationRunFixture : public ::testing::Test {
  protected:
    TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const LogWriter logWriter{working};
    // Wednesday 9 December 2026, 10:00:05.
    ManualClock clock{fromLocal(2026, 12, 9, 10, 0, 5)};
    VirtualTimerService timers{clock};
    std::unique_ptr<StationApp> app;

    void writeStation(const std::string& locations, const std::string& profile,
                      const std::string& ini = {}) {
        writeFile(folder.file("groups.csv"), "Group,1,Lincoln Elementary,1\r\n");
        writeFile(folder.file("locations.csv"), locations);
        writeFile(folder.file("profile.csv"), profile);
        if (!ini.empty()) writeFile(folder.file("quirnradio.ini"), ini);
    }

    bool startStation() {
        app = std::make_unique<StationApp>(clock, timers, working);
        return app->startUp();
    }

    ValidationRun& run() { return *app->validationRun(); }

    // "Location,1,1,School,<name>,<number>,<connection>,<model>\r\n"
    static std::string locationLine(int number, const std::string& connection, int model = 0,
                                    int group = 1, int masterGroup = 1) {
        return "Location," + std::to_string(group) + "," + std::to_string(masterGroup) +
               ",School,Switch " + std::to_string(number) + "," + std::to_string(number) + "," +
               connection + "," + std::to_string(model) + "\r\n";
    }

    std::string systemLog() const { return readFile(logWriter.logFileName(clock, kLogSystem)); }

    // Steps the station's time by `stepMs` (calling `between` after each step) until `done`
    // holds; false when the bounds ran out first.
    bool runUntil(const std::function<bool()>& done, long long stepMs,
                  const std::function<void()>& between = {}) {
        const long long deadline = steadyMs() + kMaxRealMs;
        for (int step = 0; step < kMaxSteps && steadyMs() < deadline; ++step) {
            if (done()) return true;
            timers.advanceMs(stepMs);
            if (between) between();
        }
        return done();
    }

    void TearDown() override {
        if (app) app->shutDown();
    }
};

inline std::size_t occurrences(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

}  // namespace quirn::test
