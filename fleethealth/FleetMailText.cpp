#include "fleethealth/FleetMailText.h"

#include "fleethealth/FleetFilter.h"
#include "fleethealth/FleetReport.h"
#include "fleethealth/FleetRowTexts.h"
#include "platform/LocalTime.h"

namespace quirn {

namespace {
constexpr const char* kCheckedFormat = "Quirn Radio fleet check, %A, %B %d, %Y, %H:%M";
constexpr const char* kSeparator = "; ";
}  // namespace

std::string fleetMailSubject(const FleetSummary&, std::size_t needAttention) {
    return "Quirn Radio fleet: " + std::to_string(needAttention) +
           (needAttention == 1 ? " location needs" : " locations need") + " attention";
}

std::string fleetProblemsText(const FleetRow& r, std::time_t now) {
    std::string text;
    auto add = [&](const std::string& part) {
        if (!text.empty()) text += kSeparator;
        text += part;
    };
    if (hasWrongClock(r)) add("clock " + fleetOffsetText(r));
    if (r.program == ProgramMatch::Differs) add("program differs");
    if (isNotReachable(r)) add("not reached at " + fleetLastReadText(r));
    if (r.drifting) {
        std::string drift = "drifting " + fleetDriftText(r);
        if (r.clockLimitAt && *r.clockLimitAt > now)
            drift += ", reaches the limit about " + fleetTimeText(*r.clockLimitAt).substr(0, 10);
        add(drift);
    }
    if (notReadSince(r, now)) add("no answer since " + fleetLastAnsweredText(r));
    return text;
}

std::string fleetMailBody(const std::vector<FleetRow>& rows, const FleetSummary& summary,
                          const std::vector<std::size_t>& worst, std::time_t now) {
    std::string body = formatLocal(kCheckedFormat, now) + "\n\n";
    body += fleetSummaryText(summary);
    body += "\nThe worst " + std::to_string(worst.size()) + ":\n";
    for (std::size_t i : worst) {
        const FleetRow& r = rows[i];
        body += std::to_string(r.masterGroup) + "/" + std::to_string(r.group) + "/" +
                std::to_string(r.location) + " " + r.name + " (" + fleetModelText(r) + ", " +
                fleetLinkText(r) + "): " + fleetProblemsText(r, now) + "\n";
    }
    return body;
}

}  // namespace quirn
