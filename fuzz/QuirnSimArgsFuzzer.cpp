// quirn-sim's command line from any arguments (the input split on NUL bytes). It is either
// taken, with no message, or refused with one. What it takes keeps its own rules (one
// transport, addresses in range, TCP on loopback only, values within their ranges), and spelt
// again from what was taken it is taken the same. Every date-time taken, spelt again, is the
// same date-time.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/support/FuzzArgs.h"
#include "platform/Format.h"
#include "sim/SimCommandLine.h"

namespace {

using quirn::sim::SimCommandLine;
using quirn::sim::SimTransport;

constexpr int kMaxMasterGroup = 10;
constexpr int kMaxNumber = 99;
constexpr int kLastMinuteOfDay = 1439;
constexpr int kMaxSlowBytesMs = 10000;
constexpr int kFirstLogYear = 2001;
constexpr int kLastLogYear = 2099;

void checkRules(const SimCommandLine& c) {
    for (const auto& s : c.switches)
        if (s.address.masterGroup < 1 || s.address.masterGroup > kMaxMasterGroup ||
            s.address.group < 1 || s.address.group > kMaxNumber || s.address.location < 1 ||
            s.address.location > kMaxNumber)
            std::abort();
    if (c.lineRate != 2400 && c.lineRate != 4800) std::abort();
    if (!(c.clock.speed > 0)) std::abort();
    if (c.faults.slowBytesMs < 0 || c.faults.slowBytesMs > kMaxSlowBytesMs) std::abort();
    if (c.faults.missedStepMinute < -1 || c.faults.missedStepMinute > kLastMinuteOfDay)
        std::abort();
    if (c.faults.cutAnswer < -1) std::abort();
    for (const auto& a : c.activations) {
        if (a.when.year < kFirstLogYear || a.when.year > kLastLogYear) std::abort();
        if (quirn::sim::parseDateTime(quirn::fuzz::dateTimeText(a.when)) != a.when) std::abort();
    }
    if ((c.transport == SimTransport::Tcp || c.transport == SimTransport::M2m) &&
        !quirn::sim::isLoopbackAddress(c.host))
        std::abort();
    if (c.help) return;
    if (c.transport == SimTransport::None || c.switches.empty()) std::abort();
    if (c.switches.size() > 1 && c.transport != SimTransport::M2m) std::abort();
}

// The command line as one would write it again; made-up activations are left out (their
// sides cannot be written), so they are not compared.
std::vector<std::string> spelt(const SimCommandLine& c) {
    std::vector<std::string> a;
    for (const auto& s : c.switches)
        a.insert(a.end(), {"--model", quirn::sim::modelName(s.model), "--address",
                           quirn::format("%d,%d,%d", s.address.masterGroup, s.address.group,
                                         s.address.location)});
    if (c.transport == SimTransport::Pty) a.emplace_back("--pty");
    if (c.transport == SimTransport::Tcp || c.transport == SimTransport::M2m)
        a.insert(a.end(), {c.transport == SimTransport::Tcp ? "--tcp" : "--m2m",
                           c.host + ":" + std::to_string(c.port)});
    if (c.startLocal) a.insert(a.end(), {"--clock", quirn::fuzz::dateTimeText(*c.startLocal)});
    a.insert(a.end(), {"--speed", quirn::format("%.17g", c.clock.speed), "--clock-offset",
                       std::to_string(c.clock.clockOffsetSeconds), "--drift",
                       quirn::format("%.17g", c.clock.driftSecondsPerHour), "--baud",
                       std::to_string(c.lineRate)});
    if (c.clock.holdsDate) a.emplace_back("--hold-date");
    if (c.clock.ignoresDaylightSaving) a.emplace_back("--ignore-dst");
    if (c.faults.noAnswer) a.emplace_back("--no-answer");
    if (c.faults.cutAnswer >= 0)
        a.insert(a.end(), {"--cut-answer", std::to_string(c.faults.cutAnswer)});
    if (c.faults.badChecksum) a.emplace_back("--bad-checksum");
    if (c.faults.slowBytesMs > 0)
        a.insert(a.end(), {"--slow-bytes", std::to_string(c.faults.slowBytesMs)});
    if (c.faults.ignoreBaud) a.emplace_back("--ignore-baud");
    if (c.faults.missedStepMinute >= 0)
        a.insert(a.end(), {"--miss-step", std::to_string(c.faults.missedStepMinute)});
    if (c.qn510RawImage) a.emplace_back("--raw-image");
    if (c.confirmationFlag) a.emplace_back("--confirmation-flag");
    if (!c.logFile.empty()) a.insert(a.end(), {"--log", c.logFile});
    if (c.help) a.emplace_back("--help");
    return a;
}

bool same(const SimCommandLine& a, const SimCommandLine& b) {
    if (a.switches.size() != b.switches.size()) return false;
    for (std::size_t i = 0; i < a.switches.size(); ++i) {
        const auto& x = a.switches[i];
        const auto& y = b.switches[i];
        if (x.model != y.model || x.address.masterGroup != y.address.masterGroup ||
            x.address.group != y.address.group || x.address.location != y.address.location)
            return false;
    }
    bool clocks = a.startLocal.has_value() == b.startLocal.has_value() &&
                  (!a.startLocal || (*a.startLocal == *b.startLocal &&
                                     a.startLocal->weekday == b.startLocal->weekday));
    return clocks && a.transport == b.transport && a.host == b.host && a.port == b.port &&
           a.clock.speed == b.clock.speed &&
           a.clock.clockOffsetSeconds == b.clock.clockOffsetSeconds &&
           a.clock.driftSecondsPerHour == b.clock.driftSecondsPerHour &&
           a.clock.holdsDate == b.clock.holdsDate &&
           a.clock.ignoresDaylightSaving == b.clock.ignoresDaylightSaving &&
           a.faults.noAnswer == b.faults.noAnswer && a.faults.cutAnswer == b.faults.cutAnswer &&
           a.faults.badChecksum == b.faults.badChecksum &&
           a.faults.slowBytesMs == b.faults.slowBytesMs &&
           a.faults.ignoreBaud == b.faults.ignoreBaud &&
           a.faults.missedStepMinute == b.faults.missedStepMinute && a.logFile == b.logFile &&
           a.lineRate == b.lineRate && a.qn510RawImage == b.qn510RawImage &&
           a.confirmationFlag == b.confirmationFlag && a.help == b.help;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> args = quirn::fuzz::argsOf(data, size);
    quirn::sim::SimCommandLineResult result = quirn::sim::parseCommandLine(args);
    if (!result.line) {
        if (result.error.empty()) std::abort();
        return 0;
    }
    if (!result.error.empty()) std::abort();
    const SimCommandLine& line = *result.line;
    checkRules(line);
    quirn::sim::SimCommandLineResult again = quirn::sim::parseCommandLine(spelt(line));
    if (!again.line || !again.error.empty()) std::abort();
    // With --help the program prints its usage and stops: the other options are read but
    // never used (two transports, say), so only the help itself has to come back.
    if (line.help) {
        if (!again.line->help) std::abort();
        return 0;
    }
    if (!same(line, *again.line)) std::abort();
    // Any argument that reads as a date-time reads the same spelt again.
    for (const auto& a : args)
        if (auto t = quirn::sim::parseDateTime(a)) {
            auto respelt = quirn::sim::parseDateTime(quirn::fuzz::dateTimeText(*t));
            if (!respelt || !(*respelt == *t) || respelt->weekday != t->weekday) std::abort();
        }
    return 0;
}
