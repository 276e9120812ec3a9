#include "fleethealth/FleetFilter.h"

#include <cmath>

namespace quirn {

namespace {
struct FilterText {
    FleetFilter filter;
    const char* text;
};
constexpr FilterText kFilterTexts[] = {{FleetFilter::All, "All locations"},
                                       {FleetFilter::WrongClock, "Wrong clock"},
                                       {FleetFilter::ProgramDiffers, "Program differs"},
                                       {FleetFilter::NotReadForWeek, "Not read for 7 days"},
                                       {FleetFilter::Drifting, "Drifting"}};
}  // namespace

const char* fleetFilterText(FleetFilter filter) {
    for (const FilterText& f : kFilterTexts)
        if (f.filter == filter) return f.text;
    return "";
}

bool hasWrongClock(const FleetRow& row) {
    return row.clockOffsetSeconds && std::fabs(*row.clockOffsetSeconds) >= kWrongClockSeconds;
}

bool notReadSince(const FleetRow& row, std::time_t now) {
    return row.lastAnswered == 0 || now - row.lastAnswered >= kNotReadSeconds;
}

bool fleetFilterAccepts(FleetFilter filter, const FleetRow& row, std::time_t now) {
    switch (filter) {
        case FleetFilter::All:
            return true;
        case FleetFilter::WrongClock:
            return hasWrongClock(row);
        case FleetFilter::ProgramDiffers:
            return row.program == ProgramMatch::Differs;
        case FleetFilter::NotReadForWeek:
            return notReadSince(row, now);
        case FleetFilter::Drifting:
            return row.drifting;
    }
    return false;
}

}  // namespace quirn
