#include "sim/SimCommandLine.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "platform/CommandLineValues.h"
#include "sim/ZoneRule.h"

namespace quirn::sim {

namespace {

constexpr int kMaxMasterGroup = 10;
constexpr int kMaxNumber = 99;
constexpr unsigned kMaxPort = 65535;
constexpr int kLoopbackFirstOctet = 127;
constexpr int kOctetMax = 255;
constexpr int kFastRate = 4800;
constexpr int kSlowRate = 2400;
constexpr long kMaxActivations = 200;
constexpr int kFirstLogYear = 2001;
constexpr int kLastLogYear = 2099;
constexpr long kLastMinuteOfDay = 1439;
constexpr long kMaxSlowBytesMs = 10000;
constexpr int kFirstClockYear = 1970;
constexpr int kLastClockYear = 2099;
// --activations counts its made-up presses back from the start of this day.
constexpr int kMadeUpPressesYear = 2026;

constexpr const char* kUsage =
    "usage: quirn-sim --model QN510|Strider|MX40|LR40 --address MG,G,L\n"
    "                 (--pty | --tcp HOST:PORT | --m2m HOST:PORT)\n"
    "                 [--clock 'YYYY-MM-DD HH:MM:SS'] [--speed F] [--time-file FILE]\n"
    "                 [--clock-offset SECONDS] [--drift SECONDS-PER-HOUR]\n"
    "                 [--no-answer] [--cut-answer N] [--bad-checksum] [--slow-bytes MS]\n"
    "                 [--ignore-baud] [--miss-step MINUTE] [--hold-date] [--ignore-dst]\n"
    "                 [--baud 2400|4800] [--raw-image] [--manual-holds]\n"
    "                 [--activation 'YYYY-MM-DD HH:MM:SS'] [--activations N]\n"
    "                 [--confirmation-flag] [--log FILE]\n"
    "With --m2m, repeat --model and --address for each switch behind the client.\n"
    "TCP addresses must be loopback (127.x.y.z). Stops on SIGINT or SIGTERM.\n"
    "On Windows --pty serves a named pipe (\\\\.\\pipe\\quirn-sim-PID-N) that the station opens\n"
    "as its serial port.\n";

// A whole number as strtol reads a whole text, within [lo, hi].
std::optional<long> wholeNumber(const std::string& text, long lo = LONG_MIN, long hi = LONG_MAX) {
    return parseNumber<long>(text, lo, hi, NumberForm::CLibrary);
}

bool parseDouble(const std::string& text, double& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || v != v) return false;
    out = v;
    return true;
}

bool parseAddress(const std::string& text, SimAddress& out) {
    int mg = 0, g = 0, l = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%d,%d,%d%c", &mg, &g, &l, &tail) != 3) return false;
    if (mg < 1 || mg > kMaxMasterGroup || g < 1 || g > kMaxNumber || l < 1 || l > kMaxNumber)
        return false;
    out = {mg, g, l};
    return true;
}

bool parseHostPort(const std::string& text, std::string& host, unsigned& port) {
    size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) return false;
    std::optional<long> p = wholeNumber(text.substr(colon + 1), 0, static_cast<long>(kMaxPort));
    if (!p) return false;
    host = text.substr(0, colon);
    port = static_cast<unsigned>(*p);
    return true;
}

SimCommandLineResult refuse(const std::string& message) {
    return {std::nullopt, message};
}

}  // namespace

const char* usageText() {
    return kUsage;
}

bool isLoopbackAddress(const std::string& address) {
    int o[4] = {-1, -1, -1, -1};
    char tail = 0;
    if (std::sscanf(address.c_str(), "%d.%d.%d.%d%c", &o[0], &o[1], &o[2], &o[3], &tail) != 4)
        return false;
    for (int v : o)
        if (v < 0 || v > kOctetMax) return false;
    return o[0] == kLoopbackFirstOctet;
}

std::optional<LocalDateTime> parseDateTime(const std::string& text) {
    std::optional<LocalDateTime> t =
        quirn::parseDateTime(text, DateTimeForm::Free, kFirstClockYear, kLastClockYear);
    if (t) t->weekday = weekdayOfDay(daysFromCivil(t->year, t->month, t->day));
    return t;
}

SimCommandLineResult parseCommandLine(const std::vector<std::string>& args) {
    SimCommandLine c;
    std::optional<SimModel> model;
    int transports = 0;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            c.help = true;
        } else if (a == "--model") {
            if (!value(v) || !(model = modelFromName(v)))
                return refuse("--model needs QN510, Strider, MX40 or LR40");
        } else if (a == "--address") {
            SimAddress address;
            if (!value(v) || !parseAddress(v, address))
                return refuse("--address needs MG,G,L with MG 1..10, G 1..99, L 1..99");
            if (!model) return refuse("--model must come before --address");
            c.switches.push_back({*model, address});
        } else if (a == "--pty") {
            c.transport = SimTransport::Pty;
            ++transports;
        } else if (a == "--tcp" || a == "--m2m") {
            if (!value(v) || !parseHostPort(v, c.host, c.port))
                return refuse(a + " needs HOST:PORT");
            if (!isLoopbackAddress(c.host))
                return refuse(a + ": only loopback addresses 127.x.y.z are allowed, not " + c.host);
            c.transport = a == "--tcp" ? SimTransport::Tcp : SimTransport::M2m;
            ++transports;
        } else if (a == "--clock") {
            if (!value(v) || !(c.startLocal = parseDateTime(v)))
                return refuse("--clock needs 'YYYY-MM-DD HH:MM:SS'");
        } else if (a == "--speed") {
            if (!value(v) || !parseDouble(v, c.clock.speed) || c.clock.speed <= 0)
                return refuse("--speed needs a number above 0");
        } else if (a == "--time-file") {
            if (!value(v) || v.empty()) return refuse("--time-file needs a file name");
            c.timeFile = v;
        } else if (a == "--clock-offset") {
            std::optional<long> s;
            if (!value(v) || !(s = wholeNumber(v)))
                return refuse("--clock-offset needs whole seconds");
            c.clock.clockOffsetSeconds = *s;
        } else if (a == "--drift") {
            if (!value(v) || !parseDouble(v, c.clock.driftSecondsPerHour))
                return refuse("--drift needs seconds per hour");
        } else if (a == "--no-answer") {
            c.faults.noAnswer = true;
        } else if (a == "--cut-answer") {
            std::optional<long> n;
            if (!value(v) || !(n = wholeNumber(v, 0, std::numeric_limits<int>::max())))
                return refuse("--cut-answer needs a count");
            c.faults.cutAnswer = static_cast<int>(*n);
        } else if (a == "--bad-checksum") {
            c.faults.badChecksum = true;
        } else if (a == "--slow-bytes") {
            std::optional<long> ms;
            if (!value(v) || !(ms = wholeNumber(v, 0, kMaxSlowBytesMs)))
                return refuse("--slow-bytes needs milliseconds 0..10000");
            c.faults.slowBytesMs = static_cast<int>(*ms);
        } else if (a == "--ignore-baud") {
            c.faults.ignoreBaud = true;
        } else if (a == "--miss-step") {
            std::optional<long> minute;
            if (!value(v) || !(minute = wholeNumber(v, 0, kLastMinuteOfDay)))
                return refuse("--miss-step needs a minute of the day 0..1439");
            c.faults.missedStepMinute = static_cast<int>(*minute);
        } else if (a == "--hold-date") {
            c.clock.holdsDate = true;
        } else if (a == "--ignore-dst") {
            c.clock.ignoresDaylightSaving = true;
        } else if (a == "--baud") {
            std::optional<long> rate;
            if (!value(v) || !(rate = wholeNumber(v)) || (*rate != kSlowRate && *rate != kFastRate))
                return refuse("--baud needs 2400 or 4800");
            c.lineRate = static_cast<int>(*rate);
        } else if (a == "--raw-image") {
            c.qn510RawImage = true;
        } else if (a == "--manual-holds") {
            c.manualHoldsUntilStep = true;
        } else if (a == "--activation") {
            std::optional<LocalDateTime> when;
            if (!value(v) || !(when = parseDateTime(v)) || when->year < kFirstLogYear ||
                when->year > kLastLogYear)
                return refuse("--activation needs 'YYYY-MM-DD HH:MM:SS' in 2001..2099");
            c.activations.push_back({*when, false});
        } else if (a == "--activations") {
            std::optional<long> count;
            if (!value(v) || !(count = wholeNumber(v, 0, kMaxActivations)))
                return refuse("--activations needs a count 0..200");
            const long n = *count;
            // Made-up presses, one an hour back from the start of 2026-01-01, sides alternating.
            for (long k = 0; k < n; ++k) {
                LocalDateTime t =
                    fieldsOf(daysFromCivil(kMadeUpPressesYear, 1, 1) * kSecondsPerDay -
                             (k + 1) * int64_t{kSecondsPerHour});
                c.activations.push_back({t, k % 2 == 1});
            }
        } else if (a == "--confirmation-flag") {
            c.confirmationFlag = true;
        } else if (a == "--log") {
            if (!value(v) || v.empty()) return refuse("--log needs a file name");
            c.logFile = v;
        } else {
            return refuse("unknown option " + a);
        }
    }
    if (c.help) return {c, ""};
    if (transports != 1) return refuse("choose exactly one of --pty, --tcp and --m2m");
    if (c.switches.empty()) return refuse("--model and --address are required");
    if (c.switches.size() > 1 && c.transport != SimTransport::M2m)
        return refuse("several switches need --m2m");
    return {c, ""};
}

}  // namespace quirn::sim
