// The whole station through one day at the largest fleet, on the manual clock: start-up with
// the notification mail, reads of WiFi time switches and the snapshot writes after them, the
// summer plan's ticks, the 23:58 override reload and its paging, the 23:59 archive and save of
// all. 10,000 locations sit on loopback WiFi entries answered by one in-process listener (it
// accepts and drains, never replies); the rest are on the radio, a pseudo-terminal drained by
// a thread. Prints the longest UI-thread stalls and what was due then, the 99th-percentile
// tick, and the peak memory against the raw data held. Not a test: nothing fails.
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
    double ms;
    std::time_t at;
};

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
    VirtualTimerService timers{clock};
    StationApp app(clock, timers, working);
    const auto startUpBegan = std::chrono::steady_clock::now();
    if (!app.startUp()) return 1;
    const double startUpMs = Ms(std::chrono::steady_clock::now() - startUpBegan).count();

    const std::time_t readsAt = fromLocal(2026, 12, 9, 10, 0, 0);
    const std::time_t overridesAt = fromLocal(2026, 12, 9, 23, 57, 0);
    const std::time_t technicianSavesAt = fromLocal(2026, 12, 9, 12, 0, 0);
    bool readsStarted = false, overridesWritten = false, technicianSaved = false;
    double technicianSaveMs = 0;
    std::vector<double> ticks;
    ticks.reserve(24 * 3600 * 1000 / kStepMs);
    std::vector<Stall> stalls;
    const auto runBegan = std::chrono::steady_clock::now();
    while (clock.now() < dayStart + 24 * 3600) {
        if (!readsStarted && clock.now() >= readsAt) {
            readsStarted = true;
            int n = 0;
            app.database().visitLocations([&](Location& l) {
                if (n++ < kReads) app.comms()->commo().startRead(l);
            });
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
        const auto before = std::chrono::steady_clock::now();
        timers.advanceMs(kStepMs);
        const double ms = Ms(std::chrono::steady_clock::now() - before).count();
        ticks.push_back(ms);
        stalls.push_back({ms, clock.now()});
        std::partial_sort(stalls.begin(), stalls.begin() + std::min<std::size_t>(5, stalls.size()),
                          stalls.end(), [](const Stall& a, const Stall& b) { return a.ms > b.ms; });
        if (stalls.size() > 5) stalls.resize(5);
    }
    const double runMs = Ms(std::chrono::steady_clock::now() - runBegan).count();
    app.waitForBackgroundSaves();  // the 23:59 save's files are written by a worker
    std::error_code noArchive;
    const bool archived = std::filesystem::exists(
        Archive(clock, working).fileNameAt(fromLocal(2026, 12, 9, 23, 59, 0)), noArchive);
    const bool saved = std::filesystem::last_write_time(root + "locations.csv") >
                       std::filesystem::file_time_type::clock::now() - std::chrono::seconds(60);
    const bool overridesRemoved = !std::filesystem::exists(root + "override.csv");
    app.shutDown();
    radioStop = true;
    radioReader.join();

    std::sort(ticks.begin(), ticks.end());
    const double p99 = ticks[ticks.size() * 99 / 100];
    const double median = ticks[ticks.size() / 2];
    const long peak = peakKb();
    std::printf("station day at %d locations (%d on loopback WiFi, the rest on the radio)\n",
                static_cast<int>(app.database().locationCount()), kWifiLocations);
    std::printf("  start-up                 %9.1f ms\n", startUpMs);
    std::printf("  24 h of ticks            %9.1f ms real for %zu ticks of %lld ms\n", runMs,
                ticks.size(), kStepMs);
    std::printf("  tick median / p99 / max  %9.3f / %.3f / %.3f ms\n", median, p99, ticks.back());
    std::printf("  longest stalls after start-up, and what was due:\n");
    for (const Stall& s : stalls) {
        const LocalDateTime t = toLocal(s.at);
        std::printf("    %8.1f ms at %02d:%02d:%02d  %s\n", s.ms, t.hour, t.minute, t.second,
                    dueAt(s.at, dayStart, readsAt).c_str());
    }
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
