#include "fleethealth/FleetRowTexts.h"

#include <cmath>
#include <cstdio>

#include "plans/PlanTypes.h"
#include "platform/LocalTime.h"
#include "protocol/ReadState.h"

namespace quirn {

namespace {
constexpr const char* kNeverText = "Never";
constexpr const char* kRadioText = "Radio";
constexpr const char* kM2MText = "M2M client";
constexpr const char* kWiFiPrefix = "WiFi ";
constexpr double kWholeTolerance = 0.05;

// A value that prints as zero at `decimals` prints without a sign's minus ("-0.00" reads as
// a slow loss to a technician).
double withoutNegativeZero(double value, int decimals) {
    const double half = 0.5 * std::pow(10.0, -decimals);
    return std::fabs(value) < half ? 0.0 : value;
}

struct ModelText {
    TimeSwitchModel model;
    const char* text;
};
constexpr ModelText kModelTexts[] = {{TimeSwitchModel::QN510, "QN510"},
                                     {TimeSwitchModel::MX40, "MX40"},
                                     {TimeSwitchModel::Strider, "Strider"},
                                     {TimeSwitchModel::LR40, "LR40"}};
}  // namespace

std::string fleetModelText(const FleetRow& row) {
    for (const ModelText& m : kModelTexts)
        if (row.model == static_cast<std::int32_t>(m.model)) return m.text;
    return "Model " + std::to_string(row.model);
}

std::string fleetLinkText(const FleetRow& row) {
    if (row.connection == kRadioAddress) return kRadioText;
    if (row.connection == kM2MAddress) return kM2MText;
    return kWiFiPrefix + row.connection;
}

std::string fleetTimeText(std::time_t t) {
    const LocalDateTime l = toLocal(t);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", l.year, l.month, l.day, l.hour,
                  l.minute);
    return text;
}

std::string fleetLastReadText(const FleetRow& row) {
    return row.lastReadTime == 0 ? kNeverText : fleetTimeText(row.lastReadTime);
}

std::string fleetLastAnsweredText(const FleetRow& row) {
    return row.lastAnswered == 0 ? kNeverText : fleetTimeText(row.lastAnswered);
}

std::string fleetStateText(const FleetRow& row) {
    return readStateText(row.state, row.groupName, row.name, row.bytesRead, 0,
                         row.validateDisabled);
}

std::string signedSecondsText(double seconds) {
    seconds = withoutNegativeZero(seconds, 1);
    char text[32];
    if (std::fabs(seconds - std::round(seconds)) < kWholeTolerance)
        std::snprintf(text, sizeof text, "%+.0f s", seconds);
    else
        std::snprintf(text, sizeof text, "%+.1f s", seconds);
    return text;
}

std::string fleetOffsetText(const FleetRow& row) {
    return row.clockOffsetSeconds ? signedSecondsText(*row.clockOffsetSeconds) : std::string();
}

std::string fleetDriftText(const FleetRow& row) {
    return row.driftSecondsPerDay ? driftRateText(*row.driftSecondsPerDay) : std::string();
}

std::string driftRateText(double secondsPerDay) {
    char text[32];
    std::snprintf(text, sizeof text, "%+.2f s/day", withoutNegativeZero(secondsPerDay, 2));
    return text;
}

std::string fleetProgramText(const FleetRow& row) {
    switch (row.program) {
        case ProgramMatch::Matched:
            return "Matches";
        case ProgramMatch::Differs:
            return "Differs";
        case ProgramMatch::Unknown:
            break;
    }
    return {};
}

}  // namespace quirn
