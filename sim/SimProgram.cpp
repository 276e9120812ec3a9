#include "sim/SimProgram.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "platform/PseudoTerminal.h"
#include "platform/StopSignal.h"
#include "platform/TcpListener.h"
#include "sim/PtyTransport.h"
#include "sim/SimCommandLine.h"
#include "sim/SimLogWriter.h"
#include "sim/SimulatedTimeSwitch.h"
#include "sim/TcpTransport.h"
#include "sim/TimeFileClock.h"

namespace quirn::sim {

namespace {

constexpr int kTurnMs = 5;
constexpr int kMidJanuary = 15;
constexpr int kMidJuly = 15;
constexpr int kNoon = 12;

// The host's zone as a switch rule: its standard offset, and the rule the station sends when
// the host changes to daylight time at all.
ZoneRule hostZone() {
    int west = static_cast<int>(standardOffsetWestSeconds() / kSecondsPerHour);
    int year = toLocal(std::time(nullptr)).year;
    bool winterDst = toLocal(fromLocal(year, 1, kMidJanuary, kNoon)).isDst;
    bool summerDst = toLocal(fromLocal(year, 7, kMidJuly, kNoon)).isDst;
    if (winterDst == summerDst) {
        ZoneRule z;
        z.hoursWest = west;
        return z;
    }
    return ZoneRule::northAmerican(west);
}

SimSettings settingsFor(const SimCommandLine& c, const SimSwitchLine& s, const ZoneRule& zone) {
    SimSettings out;
    out.model = s.model;
    out.address = s.address;
    out.zone = zone;
    out.clock = c.clock;
    if (c.startLocal) out.clock.start = zone.fromLocal(*c.startLocal);
    out.faults = c.faults;
    out.lineRate = c.lineRate;
    out.qn510RawImage = c.qn510RawImage;
    out.manualHoldsUntilStep = c.manualHoldsUntilStep;
    out.activations = c.activations;
    out.confirmationFlag = c.confirmationFlag;
    return out;
}

void announce(const std::string& firstLine) {
    std::fputs((firstLine + "\n").c_str(), stdout);
    std::fflush(stdout);
}

}  // namespace

int runSimulator(const std::vector<std::string>& args) {
    SimCommandLineResult parsed = parseCommandLine(args);
    if (!parsed.line) {
        std::fprintf(stderr, "quirn-sim: %s\n%s", parsed.error.c_str(), usageText());
        return kExitBadUsage;
    }
    const SimCommandLine& c = *parsed.line;
    if (c.help) {
        std::fputs(usageText(), stdout);
        return kExitStopped;
    }

    SystemClock host;
    // The switches' clocks run from the time file when one is named; the log and the byte
    // timings stay on the computer's clock.
    std::unique_ptr<TimeFileClock> timeFile;
    if (!c.timeFile.empty()) timeFile = std::make_unique<TimeFileClock>(c.timeFile);
    SimLogWriter log(host);
    if (!log.open(c.logFile)) {
        std::fprintf(stderr, "quirn-sim: cannot open log file %s\n", c.logFile.c_str());
        return kExitFailed;
    }
    auto sink = [&log](const std::string& line) { log.write(line); };
    ZoneRule zone = hostZone();
    std::vector<std::unique_ptr<SimulatedTimeSwitch>> devices;
    std::vector<SimulatedTimeSwitch*> plain;
    for (const SimSwitchLine& s : c.switches) {
        devices.push_back(
            std::make_unique<SimulatedTimeSwitch>(settingsFor(c, s, zone), host, timeFile.get()));
        devices.back()->setLogSink(sink);
        plain.push_back(devices.back().get());
        log.write(devices.back()->label() + " ready, clock " +
                  formatLocal("%Y-%m-%d %H:%M:%S", devices.back()->clock().local()));
    }
    StopSignal::install();

    if (c.transport == SimTransport::Pty) {
        std::unique_ptr<PseudoTerminal> pty = createPseudoTerminal();
        if (!pty->open(c.lineRate)) {
            std::fprintf(stderr, "quirn-sim: no pseudo-terminal: %s\n", pty->errorText().c_str());
            return kExitFailed;
        }
        announce(pty->devicePath());
        log.write("serving on " + pty->devicePath());
        PtyTransport transport(*pty, *devices.front(), host, sink);
        while (!StopSignal::requested()) {
            if (!transport.step()) {
                log.write("pseudo-terminal failed");
                return kExitFailed;
            }
            pty->waitReadable(kTurnMs);
        }
    } else {
        std::unique_ptr<TcpListener> listener = createTcpListener();
        if (!listener->listen(c.host, c.port)) {
            std::fprintf(stderr, "quirn-sim: cannot listen on %s:%u: %s\n", c.host.c_str(), c.port,
                         listener->errorText().c_str());
            return kExitFailed;
        }
        std::string where = c.host + ":" + std::to_string(listener->port());
        announce(where);
        log.write(std::string(c.transport == SimTransport::M2m ? "M2M client" : "WiFi switch") +
                  " listening on " + where);
        TcpTransport transport(*listener, plain, host, c.faults.slowBytesMs, sink);
        while (!StopSignal::requested()) {
            transport.step();
            std::this_thread::sleep_for(std::chrono::milliseconds(kTurnMs));
        }
    }
    log.write("stopped");
    return kExitStopped;
}

}  // namespace quirn::sim
