#include "fleethealth/LocationHistoryReport.h"

#include <cstdio>

#include "fleethealth/FleetRowTexts.h"

namespace quirn {

namespace {

struct OutcomeText {
    ReadState state;
    const char* text;
};
constexpr OutcomeText kOutcomeTexts[] = {
    {ReadState::NotRead, "Not Read"},
    {ReadState::Reading, "Reading"},
    {ReadState::ReadingAgain, "Reading"},
    {ReadState::ValidatePassed, "Validate Passed"},
    {ReadState::ValidateFailed, "Validate Failed"},
    {ReadState::ConnectionFailed, "Connection Failed"},
    {ReadState::PartialData, "Partial Data"},
    {ReadState::Writing, "Writing"},
};
constexpr const char* kClockSentText = "Clock sent";
// How far ahead a crossing of the clock limit is still given as a date.
constexpr std::time_t kLimitHorizonSeconds = 365 * 24 * 3600;
constexpr const char* kLineFormat = "%-16s  %-7s %-24s %-9s %-8s %-5s %s\n";
constexpr const char* kCsvTitle = "Time,Source,Outcome,Clock offset (s),Program,Relay,Result bits";
constexpr const char* kCrLf = "\r\n";

std::string offsetText(const ReadRecord& r) {
    return r.hasClock ? signedSecondsText(static_cast<double>(r.clockOffsetSeconds)) : "";
}

std::string programText(ProgramMatch p) {
    switch (p) {
        case ProgramMatch::Matched:
            return "Matched";
        case ProgramMatch::Differs:
            return "Differs";
        case ProgramMatch::Unknown:
            break;
    }
    return "";
}

std::string relayText(const ReadRecord& r) {
    return r.relayState == kRelayUnknown ? "" : std::to_string(r.relayState);
}

}  // namespace

std::string readOutcomeText(const ReadRecord& read) {
    if (read.clockSent) return kClockSentText;
    for (const OutcomeText& o : kOutcomeTexts) {
        if (o.state != read.state) continue;
        if (read.state == ReadState::PartialData)
            return std::string(o.text) + " " + std::to_string(read.bytesRead) + " bytes";
        return o.text;
    }
    return "State " + std::to_string(static_cast<int>(read.state));
}

std::string locationHistoryText(const FleetRow& row, std::span<const ReadRecord> reads,
                                const DriftFit& fit, std::time_t now) {
    std::string out = row.name + " (" + std::to_string(row.masterGroup) + "/" +
                      std::to_string(row.group) + "/" + std::to_string(row.location) + "), " +
                      fleetModelText(row) + ", " + fleetLinkText(row) + "\n";
    out += "Last read: " + fleetLastReadText(row) + ": " + fleetStateText(row) + "\n";
    if (fit.known) {
        out += "Drift: " + driftRateText(fit.secondsPerDay) + " over " +
               std::to_string(fit.points) + " reads since " + fleetTimeText(fit.since) +
               (fit.drifting ? " (drifting)" : "") + "\n";
        // A steady clock "reaches" the limit centuries away: not a date anyone can act on.
        if (fit.crossesLimitAt && *fit.crossesLimitAt > now + kLimitHorizonSeconds)
            out += "Does not reach validation's clock limit within a year at this rate\n";
        else if (fit.crossesLimitAt)
            out += std::string(*fit.crossesLimitAt <= now ? "Past" : "Reaches") +
                   " validation's clock limit " +
                   (*fit.crossesLimitAt <= now ? "since " : "about ") +
                   fleetTimeText(*fit.crossesLimitAt) + "\n";
    } else {
        out += "Drift: not known (too few reads since the clock was last set)\n";
    }
    out += std::to_string(reads.size()) + " reads\n";
    char line[256];
    std::snprintf(line, sizeof line, kLineFormat, "Time", "Source", "Outcome", "Offset", "Program",
                  "Relay", "Result");
    out += line;
    for (const ReadRecord& r : reads) {
        std::snprintf(line, sizeof line, kLineFormat, fleetTimeText(r.time).c_str(),
                      readSourceText(r.source), readOutcomeText(r).c_str(), offsetText(r).c_str(),
                      programText(r.program).c_str(), relayText(r).c_str(),
                      r.clockSent ? "" : std::to_string(r.resultBits).c_str());
        out += line;
    }
    return out;
}

std::string locationHistoryCsv(std::span<const ReadRecord> reads) {
    std::string out = std::string(kCsvTitle) + kCrLf;
    for (const ReadRecord& r : reads) {
        out += fleetTimeText(r.time) + "," + readSourceText(r.source) + "," + readOutcomeText(r) +
               "," + (r.hasClock ? std::to_string(r.clockOffsetSeconds) : std::string()) + "," +
               programText(r.program) + "," + relayText(r) + "," +
               (r.clockSent ? std::string() : std::to_string(r.resultBits)) + kCrLf;
    }
    return out;
}

}  // namespace quirn
