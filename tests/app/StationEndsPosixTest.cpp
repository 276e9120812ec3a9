// The station program as the system ends it: the real quirnradio binary, run as a child
// process on Qt's offscreen platform, asked to end by a signal (logout, shutdown, `kill`,
// Ctrl-C, a closed terminal), killed outright, or started a second time while the first is
// closing. These run on real time: the program under test has its own clock and timers.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/StationApp.h"
#include "platform/ChildProcess.h"
#include "platform/LocalTime.h"
#include "platform/SingleInstance.h"
#include "platform/VirtualTimerService.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

std::string stationPath() {
#ifdef QUIRN_RADIO_PATH
    return QUIRN_RADIO_PATH;
#else
    return {};
#endif
}

constexpr int kPollMs = 20;
// A station on an empty folder is up well within this.
constexpr int kStartMs = 10000;
// A shutdown with nothing to wait for ends well within this.
constexpr int kShutdownMs = 10000;
// What the system may take to deliver the end of the parent to its helpers and reap them.
constexpr int kOrphanLimitMs = 2000;

bool waitFor(const std::function<bool()>& done, int limitMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    }
    return true;
}

// One process as /proc shows it: its parent and its start time (which tells a reused id apart).
struct ProcessEntry {
    long long pid = -1;
    long long parent = -1;
    unsigned long long started = 0;
    char state = '?';
};

std::optional<ProcessEntry> processEntry(long long pid) {
    const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) return std::nullopt;
    // After the name: state, parent, then 18 more fields up to the start time.
    std::vector<std::string> fields;
    std::size_t at = close + 2;
    while (at < stat.size()) {
        std::size_t end = stat.find(' ', at);
        if (end == std::string::npos) end = stat.size();
        fields.push_back(stat.substr(at, end - at));
        at = end + 1;
    }
    constexpr std::size_t kStartTimeField = 19;
    if (fields.size() <= kStartTimeField || fields[0].empty()) return std::nullopt;
    ProcessEntry e;
    e.pid = pid;
    e.state = fields[0][0];
    e.parent = std::stoll(fields[1]);
    e.started = std::stoull(fields[kStartTimeField]);
    return e;
}

std::vector<ProcessEntry> childrenOf(long long parent) {
    std::vector<ProcessEntry> children;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
        if (auto e = processEntry(std::stoll(name)); e && e->parent == parent)
            children.push_back(*e);
    }
    return children;
}

// Still the same process, and not merely waiting to be reaped.
bool running(const ProcessEntry& process) {
    auto now = processEntry(process.pid);
    return now && now->started == process.started && now->state != 'Z' && now->state != 'X';
}

// An environment variable set for the programs a test starts, and put back after.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

// A cache folder of the test's own for the demo, and the demo folder in it, spelled as the
// program spells it: the instance's name is made from it.
struct DemoCache {
    test::TempFolder cache;
    ScopedEnv cacheDir{"XDG_CACHE_HOME", cache.path().substr(0, cache.path().size() - 1)};
    const std::string folder = cache.path() + "quirnradio-demo/";
};

class StationEnds : public ::testing::Test {
  protected:
    void SetUp() override {
        if (stationPath().empty()) GTEST_SKIP() << "quirnradio is not part of this build";
        ASSERT_TRUE(writeFile(folder.file("profile.csv"), "RadioPort,0\r\n"));
        // Qt wants the runtime folder to be the user's alone.
        fs::permissions(runtime.path(), fs::perms::owner_all);
    }
    std::unique_ptr<ChildProcess> startStation(const std::vector<std::string>& args = {}) {
        return std::make_unique<ChildProcess>(stationPath(), args, scratch.file("station.err"));
    }
    // The station's hand-over socket is there from its start until it begins to close.
    std::string handOverSocket(const std::string& workingFolder) const {
        return SingleInstance(StationApp::kInstanceName, workingFolder).socketPath();
    }
    bool up(const std::string& workingFolder, int limitMs = kStartMs) const {
        const std::string socket = handOverSocket(workingFolder);
        return waitFor([&] { return fs::exists(socket); }, limitMs);
    }

    test::TempFolder folder;
    test::TempFolder scratch;
    test::TempFolder runtime;
    ScopedEnv root{"QUIRN_ROOT", folder.path()};
    ScopedEnv runtimeDir{"XDG_RUNTIME_DIR", runtime.path()};
    ScopedEnv qpa{"QT_QPA_PLATFORM", "offscreen"};
};

// Whether today's Error log of the station names each address as a connection not made.
bool errorLogNamesIn(const std::string& logs, const std::vector<std::string>& addresses) {
    std::error_code ec;
    std::string text;
    for (const auto& entry : fs::directory_iterator(logs, ec))
        if (entry.path().filename().string().rfind("Error_Log_", 0) == 0)
            text += readFile(entry.path().string());
    for (const std::string& a : addresses)
        if (text.find("IP address " + a + " Connection not made.") == std::string::npos)
            return false;
    return true;
}

const char* signalName(int signal) {
    return signal == SIGTERM ? "SIGTERM" : signal == SIGINT ? "SIGINT" : "SIGHUP";
}

// Before: each of these signals ended the program at once: errors.csv was left as it was
// although the Error list held records, and the window's close (which keeps the loader's type
// in the profile store) never ran.
TEST_F(StationEnds, TerminateInterruptAndHangUpRunTheShutdownOfTheWindowsClose) {
    const std::string records =
        "ErrorIPConnect,1796000001,127.0.0.7\r\nErrorIPConnect,1796000000,127.0.0.8\r\n";
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signalName(signal));
        fs::remove(folder.file("quirnradio.ini"));
        fs::remove_all(folder.workingFolder().logs());
        ASSERT_TRUE(writeFile(folder.file("errors.csv"), records));
        auto station = startStation();
        ASSERT_TRUE(station->started());
        ASSERT_TRUE(up(folder.path())) << readFile(scratch.file("station.err"));
        // The lock is taken before the files are read: the Error log's lines of the loaded
        // records say that the list holds them.
        ASSERT_TRUE(waitFor(
            [&] {
                return errorLogNamesIn(folder.workingFolder().logs(), {"127.0.0.7", "127.0.0.8"});
            },
            kStartMs))
            << readFile(scratch.file("station.err"));
        // The records now live in the station's Error list only, as those it finds while it
        // runs do: only the end of the program writes them.
        ASSERT_TRUE(fs::remove(folder.file("errors.csv")));
        ASSERT_EQ(::kill(static_cast<pid_t>(station->processId()), signal), 0);
        // An exit code: the program ended by itself, in order, and not by the signal.
        EXPECT_EQ(station->waitExit(kShutdownMs), std::optional<int>(0))
            << readFile(scratch.file("station.err"));
        const std::string saved = readFile(folder.file("errors.csv"));
        EXPECT_EQ(saved.size(), records.size()) << saved;
        EXPECT_NE(saved.find("ErrorIPConnect,1796000001,127.0.0.7\r\n"), std::string::npos);
        EXPECT_NE(saved.find("ErrorIPConnect,1796000000,127.0.0.8\r\n"), std::string::npos);
        EXPECT_NE(readFile(folder.file("quirnradio.ini")).find("[Clock]"), std::string::npos);
    }
}

// Before: the demo's simulators outlived a killed station (one still served its address half
// an hour later).
TEST_F(StationEnds, TheDemoSimulatorsEndWithAKilledStation) {
    const DemoCache demo;
    const std::string& demoFolder = demo.folder;
    auto station = startStation({"--demo"});
    ASSERT_TRUE(station->started());
    ASSERT_TRUE(up(demoFolder)) << readFile(scratch.file("station.err"));
    const long long pid = station->processId();
    std::vector<ProcessEntry> simulators = childrenOf(pid);
    ASSERT_EQ(simulators.size(), 2u) << "the radio and the WiFi simulator";
    for (const ProcessEntry& s : simulators) ASSERT_TRUE(running(s));

    ASSERT_EQ(::kill(static_cast<pid_t>(pid), SIGKILL), 0);
    EXPECT_EQ(station->waitExit(kShutdownMs), std::nullopt);  // killed: no exit code
    for (const ProcessEntry& s : simulators)
        EXPECT_TRUE(waitFor([&] { return !running(s); }, kOrphanLimitMs))
            << "quirn-sim " << s.pid << " outlived the station";
    for (const ProcessEntry& s : simulators)
        if (running(s)) ::kill(static_cast<pid_t>(s.pid), SIGKILL);  // leave none behind
}

// Before: a second demo start emptied the running demo's folder and started simulators of its
// own before it found the first copy and handed over to it.
TEST_F(StationEnds, ASecondDemoStartLeavesTheRunningDemoAsItIs) {
    const DemoCache demo;
    const std::string& demoFolder = demo.folder;
    auto first = startStation({"--demo"});
    ASSERT_TRUE(first->started());
    ASSERT_TRUE(up(demoFolder)) << readFile(scratch.file("station.err"));
    ASSERT_TRUE(writeFile(demoFolder + "technician-notes.txt", "kept"));
    const std::string locations = readFile(demoFolder + "locations.csv");
    ASSERT_FALSE(locations.empty());

    auto second = std::make_unique<ChildProcess>(stationPath(), std::vector<std::string>{"--demo"},
                                                 scratch.file("second.err"));
    ASSERT_TRUE(second->started());
    EXPECT_EQ(second->waitExit(kStartMs), std::optional<int>(0))
        << readFile(scratch.file("second.err"));
    EXPECT_EQ(readFile(demoFolder + "technician-notes.txt"), "kept");
    EXPECT_EQ(readFile(demoFolder + "locations.csv"), locations);
    EXPECT_EQ(childrenOf(first->processId()).size(), 2u) << "the first demo's simulators";
    EXPECT_EQ(first->stop(kShutdownMs), std::optional<int>(0))
        << readFile(scratch.file("station.err"));
}

// A first copy that is closing: started up, shutdown run, its lock not yet released.
class StationClosing : public StationEnds {
  protected:
    void SetUp() override {
        StationEnds::SetUp();
        if (IsSkipped()) return;
        first = std::make_unique<StationApp>(clock, timers, folder.workingFolder());
        ASSERT_TRUE(first->startUp());
        first->shutDown();
    }
    ManualClock clock{fromLocal(2026, 12, 9, 10, 0, 0)};
    VirtualTimerService timers{clock};
    std::unique_ptr<StationApp> first;
};

// Before: the second copy handed over to the closing one and ended at once, with exit code 0,
// no window and no word.
TEST_F(StationClosing, ASecondStartWaitsForTheFirstToEndThenRuns) {
    auto second = startStation();
    ASSERT_TRUE(second->started());
    EXPECT_EQ(second->waitExit(1000), std::nullopt) << "the second copy ended while waiting";
    EXPECT_FALSE(fs::exists(handOverSocket(folder.path())));
    first.reset();  // the first copy ends
    EXPECT_TRUE(up(folder.path())) << readFile(scratch.file("station.err"));
    EXPECT_EQ(second->stop(kShutdownMs), std::optional<int>(0))
        << readFile(scratch.file("station.err"));
}

TEST_F(StationClosing, ASecondStartSaysSoWhenTheFirstDoesNotEndInTime) {
    auto second = startStation();
    ASSERT_TRUE(second->started());
    ASSERT_TRUE(waitFor(
        [&] {
            return readFile(scratch.file("station.err")).find("still closing") != std::string::npos;
        },
        StationApp::kClosingWaitMs + kStartMs))
        << readFile(scratch.file("station.err"));
    EXPECT_NE(readFile(scratch.file("station.err")).find(folder.path()), std::string::npos);
    EXPECT_FALSE(fs::exists(handOverSocket(folder.path())));  // it never started
    // The message waits for the operator; a request to end closes it, and the exit says the
    // station did not start.
    EXPECT_EQ(second->stop(kShutdownMs), std::optional<int>(1));
}

}  // namespace
}  // namespace quirn
