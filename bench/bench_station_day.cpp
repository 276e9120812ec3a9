// The whole station through one day at the largest fleet, on the manual clock: start-up with
// the notification mail, reads of WiFi time switches and the snapshot writes after them, the
// summer plan's ticks, a send of the whole fleet's programming from 13:00 on (planned, then
// sent: radio pages and images, WiFi downloads), the 23:58 override reload and its paging, the
// 23:59 archive and save of all. 10,000 locations sit on loopback WiFi entries answered by one
// in-process listener (it accepts and drains, never replies); the rest are on the radio, a
// pseudo-terminal drained by a thread. Prints the longest UI-thread stalls and what was due then,
// with the timer whose callback took the time; the median and 99th-percentile tick, both as wall
// time and as the thread's own CPU time (wall time on a shared machine includes time the thread was
// not run); and the peak memory against the raw data held. Not a test: nothing fails.
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/StationApp.h"
#include "comms/CommsConstants.h"
#include "plans/Archive.h"
#include "plans/DatabaseFiles.h"
#include "plans/PlanDatabase.h"
#include "plans/PlanTypes.h"
#include "platform/LocalTime.h"
#include "platform/VirtualTimerService.h"
#include "platform/WorkingFolder.h"
#include "tests/support/FileTimes.h"
#include "tests/support/FleetGenerator.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/PtyPair.h"
#include "tests/support/SmtpServerFixture.h"
#include "tests/support/TempFolder.h"

using namespace quirn;

namespace {

using Ms = std::chrono::duration<double, std::milli>;
constexpr int kWifiLocations = 10000;
constexpr int kReads = 200;
constexpr int kComPort = 3;
constexpr long long kStepMs = 500;  // the communications tick
constexpr double kFrameMs = 16;     // the budget of one tick: one frame

// Distinct loopback addresses, 127.0.x.y from 127.0.0.2 on (127.0.0.1 is the M2M client).
std::string wifiAddress(int n) {
    const int host = n + 2;
    return "127.0." + std::to_string(host / 250) + "." + std::to_string(host % 250 + 1);
}

// The far ends of the WiFi entries: one thread polling a listener per address, accepting and
// draining every connection until stopped.
class WifiListeners {
  public:
    explicit WifiListeners(int count) {
        for (int n = 0; n < count && ok_; ++n) {
            servers_.push_back(std::make_unique<test::LoopbackServer>(
                wifiAddress(n), servers_.empty() ? 0 : servers_.front()->port()));
            ok_ = servers_.back()->ok();
        }
        if (ok_) thread_ = std::thread([this] { run(); });
    }
    ~WifiListeners() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    bool ok() const { return ok_; }
    unsigned port() const { return servers_.front()->port(); }
    long long connections() const { return connections_; }

  private:
    void run() {
        while (!stop_) {
            for (auto& server : servers_) {
                const int accepted = server->acceptPending();
                connections_ += accepted;
                // A connection the station closed is closed here too: 10,000 entries would
                // otherwise use up the process's descriptors.
                for (std::size_t i = 0; i < server->connectionCount(); ++i)
                    if (server->peerClosed(i)) server->closeConnection(i);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    std::vector<std::unique_ptr<test::LoopbackServer>> servers_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<long long> connections_{0};
    bool ok_ = true;
};

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The station's timers, on the virtual timer service, each callback timed: what a tick spent
// in each timer, to name the cause of a long one.
class TimedTimers final : public TimerService {
  public:
    struct Spent {
        double wallMs = 0;
        double cpuMs = 0;
    };
    explicit TimedTimers(VirtualTimerService& timers) : timers_(timers) {}
    TimerId start(int periodMs, Callback callback) override {
        const std::size_t slot = slotFor(periodMs);
        return timers_.start(periodMs, [this, slot, callback = std::move(callback)] {
            const double cpu = threadCpuMs();
            const auto wall = std::chrono::steady_clock::now();
            callback();
            spent_[slot].wallMs += Ms(std::chrono::steady_clock::now() - wall).count();
            spent_[slot].cpuMs += threadCpuMs() - cpu;
        });
    }
    void stop(TimerId id) override { timers_.stop(id); }
    // What this tick spent so far, by timer; cleared for the next tick.
    std::vector<Spent> takeTick() {
        std::vector<Spent> tick = spent_;
        std::fill(spent_.begin(), spent_.end(), Spent{});
        return tick;
    }
    const std::string& name(std::size_t slot) const { return names_[slot]; }

  private:
    std::size_t slotFor(int periodMs) {
        std::string name;
        if (periodMs == kTickPeriodMs)
            name = "communications tick";
        else if (periodMs == MinuteScheduler::kTickMs)
            name = "minute scheduler";
        else if (periodMs == StationApp::kWorkerPollMs)
            // The send of programming ticks at the same period.
            name = "worker poll (snapshot slices, saves' outcomes, mail log) or the send";
        else
            name = "timer of " + std::to_string(periodMs) + " ms";
        const auto at = std::find(names_.begin(), names_.end(), name);
        if (at != names_.end()) return static_cast<std::size_t>(at - names_.begin());
        names_.push_back(name);
        spent_.emplace_back();
        return names_.size() - 1;
    }
    VirtualTimerService& timers_;
    std::vector<std::string> names_;
    std::vector<Spent> spent_;
};

std::uintmax_t folderBytes(const std::string& root, std::initializer_list<const char*> names) {
    std::uintmax_t n = 0;
    for (const char* name : names) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(root + name, ec);
        if (!ec) n += size;
    }
    return n;
}

long peakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// What the station had due at a moment of the day, for naming a stall.
std::string dueAt(std::time_t at, std::time_t dayStart, std::time_t readsAt) {
    const LocalDateTime t = toLocal(at);
    if (at - dayStart < 60) return "the first minute (start-up mail, first ticks)";
    if (at >= readsAt && at - readsAt < 180) return "the reads and their snapshot writes";
    if (t.hour == 23 && t.minute == 58) return "the 23:58 override reload and paging";
    if (t.hour == 23 && t.minute == 59) return "the 23:59 archive and save of all";
    if (t.minute == 59) return "the hourly special-week expiry";
    return "ordinary ticks (summer plan paging, queue)";
}

struct Stall {
    double ms;     // wall time of the tick
    double cpuMs;  // the thread's CPU time in the tick
    std::time_t at;
    std::string heaviest;  // the timer that spent the most, with its figures
};

// The timer that took the most of a tick, as "name wall / cpu ms".
std::string heaviestOf(const TimedTimers& timers, const std::vector<TimedTimers::Spent>& tick) {
    std::size_t worst = 0;
    for (std::size_t i = 1; i < tick.size(); ++i)
        if (tick[i].wallMs > tick[worst].wallMs) worst = i;
    if (tick.empty()) return "no timer";
    char figures[64];
    std::snprintf(figures, sizeof figures, " %.1f ms (cpu %.1f)", tick[worst].wallMs,
                  tick[worst].cpuMs);
    return timers.name(worst) + figures;
}

// A tick whose timers ran only briefly lost its time elsewhere: the thread waited to be run.
std::string causeOf(const Stall& s) {
    constexpr double kIdleCpuMs = 1;
    if (s.cpuMs < kIdleCpuMs && s.ms > kFrameMs)
        return "; the thread was not running (other processes had the CPU)";
    return "";
}

// Keeps the five largest by `key`.
template <typename Key>
void keepWorst(std::vector<Stall>& worst, Stall s, Key key) {
    worst.push_back(std::move(s));
    std::sort(worst.begin(), worst.end(),
              [&](const Stall& a, const Stall& b) { return key(a) > key(b); });
    if (worst.size() > 5) worst.resize(5);
}

void printStalls(const char* title, const std::vector<Stall>& stalls, std::time_t dayStart,
                 std::time_t readsAt) {
    std::printf("  %s\n", title);
    for (const Stall& s : stalls) {
        const LocalDateTime t = toLocal(s.at);
        std::printf("    %7.1f ms (cpu %5.1f) at %02d:%02d:%02d  %s\n      heaviest: %s\n", s.ms,
                    s.cpuMs, t.hour, t.minute, t.second, dueAt(s.at, dayStart, readsAt).c_str(),
                    (s.heaviest + causeOf(s)).c_str());
    }
}

}  // namespace

int main() {
    setenv("TZ", "America/New_York", 1);
    tzset();
    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const std::string root = working.path();
    const std::time_t dayStart = fromLocal(2026, 12, 9, 0, 0, 0);

    // The fleet is made and written by a child, so the station's peak memory is its own.
    const pid_t maker = fork();
    if (maker == 0) {
        PlanDatabase db;
        test::generateFleet(db, test::FleetShape::largest(), dayStart);
        int n = 0;
        db.visitLocations([&](Location& l) {
            l.connection = n < kWifiLocations ? wifiAddress(n) : kRadioAddress;
            ++n;
        });
        _exit(saveDatabase(db, working, dayStart) && saveSnapshot(db, working) ? 0 : 1);
    }
    int status = 0;
    waitpid(maker, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "could not write the fleet\n");
        return 1;
    }
    const std::uintmax_t rawBytes = folderBytes(
        root, {"locations.csv", "dayplan.csv", "steps.csv", "groups.csv", "Quirn Locations.bin"});

    WifiListeners listeners(kWifiLocations);
    if (!listeners.ok()) {
        std::fprintf(stderr, "could not listen on the loopback addresses\n");
        return 1;
    }
    test::PtyPair radio;
    std::atomic<bool> radioStop{false};
    std::atomic<long long> radioBytes{0};
    std::thread radioReader([&] {
        while (!radioStop) {
            radioBytes += static_cast<long long>(radio.receiveAtMost(65536).size());
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    test::SmtpServerFixture mail;
    if (!mail.ok()) std::fprintf(stderr, "no SMTP server: %s\n", mail.error().c_str());

    test::writeFile(root + "profile.csv",
                    "RadioPort," + std::to_string(kComPort) +
                        "\r\nServer,127.0.0.1\r\nSender,station@example.org\r\n");
    test::writeFile(root + "quirnradio.ini",
                    "[Commo]\r\nIPPort=" + std::to_string(listeners.port()) +
                        "\r\n[Serial]\r\nCOM" + std::to_string(kComPort) + "=" + radio.slavePath() +
                        "\r\n[Mail]\r\nPort=" + std::to_string(mail.port()) + "\r\nTimeout=2\r\n");
    test::writeFile(root + "mail.csv", "MailUser,Ann,ann@example.org,16,1\r\n");
    // Records carried over from yesterday: the start-up notification has something to send.
    test::writeFile(root + "errors.csv", "ErrorValidateLocation," + std::to_string(dayStart - 600) +
                                             ",1,1,1, School Validate Failed\r\n");
    test::writeFile(root + "summer.csv",
                    "SummerPlan,Winter camp\r\nStartDate,2026,12,1\r\nEndDate,2026,12,31\r\n"
                    "Location,1,1,1\r\nLocation,1,2,1\r\nStep,7,0,8,30\r\nStep,14,0,15,30\r\n");
    std::string overrides;
    for (int g = 1; g <= 20; ++g)
        overrides += "Step,1," + std::to_string(g) + ",0,1320,1\r\nEnabled,1," + std::to_string(g) +
                     ",0\r\n";

    ManualClock clock{dayStart};
    VirtualTimerService virtualTimers{clock};
    TimedTimers timers{virtualTimers};
    StationApp app(clock, timers, working);
    const auto startUpBegan = std::chrono::steady_clock::now();
    if (!app.startUp()) return 1;
    const double startUpMs = Ms(std::chrono::steady_clock::now() - startUpBegan).count();

    const std::time_t readsAt = fromLocal(2026, 12, 9, 10, 0, 0);
    const std::time_t overridesAt = fromLocal(2026, 12, 9, 23, 57, 0);
    const std::time_t technicianSavesAt = fromLocal(2026, 12, 9, 12, 0, 0);
    const std::time_t sendAt = fromLocal(2026, 12, 9, 13, 0, 0);
    bool readsStarted = false, overridesWritten = false, technicianSaved = false;
    bool sendPrepared = false, sendConfirmed = false;
    double technicianSaveMs = 0, readsStartMs = 0;
    std::vector<double> ticks, cpuTicks;
    ticks.reserve(24 * 3600 * 1000 / kStepMs);
    cpuTicks.reserve(ticks.capacity());
    std::vector<Stall> stalls, cpuStalls;
    const auto runBegan = std::chrono::steady_clock::now();
    while (clock.now() < dayStart + 24 * 3600) {
        if (!readsStarted && clock.now() >= readsAt) {
            readsStarted = true;
            const auto began = std::chrono::steady_clock::now();
            int n = 0;
            app.database().visitLocations([&](Location& l) {
                if (n++ < kReads) app.comms()->commo().startRead(l);
            });
            readsStartMs = Ms(std::chrono::steady_clock::now() - began).count();
        }
        if (!overridesWritten && clock.now() >= overridesAt) {
            overridesWritten = true;
            test::writeFile(root + "override.csv", overrides);
            test::setModifiedTime(root + "override.csv", clock.now());
        }
        if (!technicianSaved && clock.now() >= technicianSavesAt) {
            // The technician's "Save all" at noon; the files carry the station's time, so
            // tonight's archive is due.
            technicianSaved = true;
            const auto began = std::chrono::steady_clock::now();
            app.saveAll();
            technicianSaveMs = Ms(std::chrono::steady_clock::now() - began).count();
            for (const char* name : {"locations.csv", "dayplan.csv", "steps.csv", "groups.csv"})
                test::setModifiedTime(root + name, clock.now());
        }
        // The technician sends the whole fleet's programming: planned a slice per tick, then
        // confirmed; it runs through the rest of the day beside everything else.
        if (!sendPrepared && clock.now() >= sendAt)
            sendPrepared = app.fleetSend()->prepare(SendSelection::all());
        if (sendPrepared && !sendConfirmed && app.fleetSend()->planned())
            sendConfirmed = app.fleetSend()->confirm("by the benchmark");
        const double cpuBefore = threadCpuMs();
        const auto before = std::chrono::steady_clock::now();
        virtualTimers.advanceMs(kStepMs);
        const double ms = Ms(std::chrono::steady_clock::now() - before).count();
        const double cpuMs = threadCpuMs() - cpuBefore;
        const std::vector<TimedTimers::Spent> spent = timers.takeTick();
        ticks.push_back(ms);
        cpuTicks.push_back(cpuMs);
        const auto worseThan = [](const std::vector<Stall>& list, double v, auto key) {
            return list.size() < 5 || v > key(list.back());
        };
        const auto wallOf = [](const Stall& s) { return s.ms; };
        const auto cpuOf = [](const Stall& s) { return s.cpuMs; };
        if (worseThan(stalls, ms, wallOf))
            keepWorst(stalls, {ms, cpuMs, clock.now(), heaviestOf(timers, spent)}, wallOf);
        if (worseThan(cpuStalls, cpuMs, cpuOf))
            keepWorst(cpuStalls, {ms, cpuMs, clock.now(), heaviestOf(timers, spent)}, cpuOf);
    }
    const double runMs = Ms(std::chrono::steady_clock::now() - runBegan).count();
    app.waitForBackgroundSaves();  // the 23:59 save's files are written by a worker
    std::error_code noArchive;
    const bool archived = std::filesystem::exists(
        Archive(clock, working).fileNameAt(fromLocal(2026, 12, 9, 23, 59, 0)), noArchive);
    const bool saved = std::filesystem::last_write_time(root + "locations.csv") >
                       std::filesystem::file_time_type::clock::now() - std::chrono::seconds(60);
    const bool overridesRemoved = !std::filesystem::exists(root + "override.csv");
    // The send's state before the close ends it.
    const SendProgress atMidnight = app.fleetSend()->progress();
    app.shutDown();
    radioStop = true;
    radioReader.join();

    std::sort(ticks.begin(), ticks.end());
    std::sort(cpuTicks.begin(), cpuTicks.end());
    const double p99 = ticks[ticks.size() * 99 / 100];
    const double median = ticks[ticks.size() / 2];
    const double cpuP99 = cpuTicks[cpuTicks.size() * 99 / 100];
    const double cpuMedian = cpuTicks[cpuTicks.size() / 2];
    const auto over = [](const std::vector<double>& sorted, double limit) {
        return sorted.end() - std::upper_bound(sorted.begin(), sorted.end(), limit);
    };
    const long peak = peakKb();
    std::printf("station day at %d locations (%d on loopback WiFi, the rest on the radio)\n",
                static_cast<int>(app.database().locationCount()), kWifiLocations);
    std::printf("  start-up                 %9.1f ms\n", startUpMs);
    std::printf("  24 h of ticks            %9.1f ms real for %zu ticks of %lld ms\n", runMs,
                ticks.size(), kStepMs);
    std::printf("  tick median / p99 / max  %9.3f / %.3f / %.3f ms wall, %ld over %.0f ms\n",
                median, p99, ticks.back(), static_cast<long>(over(ticks, kFrameMs)), kFrameMs);
    std::printf("  the same, thread CPU     %9.3f / %.3f / %.3f ms,      %ld over %.0f ms\n",
                cpuMedian, cpuP99, cpuTicks.back(), static_cast<long>(over(cpuTicks, kFrameMs)),
                kFrameMs);
    printStalls("longest ticks after start-up (wall), what was due, and the timer that took it:",
                stalls, dayStart, readsAt);
    printStalls("longest ticks by the thread's own CPU time:", cpuStalls, dayStart, readsAt);
    std::printf(
        "  send of all from 13:00   %zu messages planned (%lld s on air); by midnight %zu "
        "sent, %zu given up, %s\n",
        app.fleetSend()->estimate().messages, app.fleetSend()->estimate().airSeconds(),
        atMidnight.sent, atMidnight.givenUp, atMidnight.running ? "still sending" : "ended");
    if (app.fleetSend()->lastSummary())
        std::printf("  at the station's close    %s\n",
                    app.fleetSend()->lastSummary()->text().c_str());
    std::printf("  starting the %d reads     %9.1f ms (outside the ticks)\n", kReads, readsStartMs);
    std::printf("  technician's save all    %9.1f ms (outside the ticks)\n", technicianSaveMs);
    std::printf("  at 23:59: archive %s, save of all %s, override file %s\n",
                archived ? "made" : "NOT made", saved ? "written" : "NOT written",
                overridesRemoved ? "removed" : "NOT removed");
    std::printf("  raw data held            %9.1f MB (CSV files + snapshot)\n", rawBytes / 1e6);
    std::printf("  peak memory              %9.1f MB (%.2fx the raw data)\n", peak / 1e3,
                peak * 1e3 / static_cast<double>(rawBytes));
    std::printf("  radio bytes sent         %9lld; WiFi connections accepted %lld; mails %zu\n",
                static_cast<long long>(radioBytes), listeners.connections(),
                mail.ok() ? mail.messageCount() : 0);
    return 0;
}
