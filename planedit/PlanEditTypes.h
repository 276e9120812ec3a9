#pragma once
#include <string>
#include <vector>

#include "planedit/GroupKey.h"
#include "plans/LocationKey.h"
#include "plans/PlanTypes.h"
#include "plans/Step.h"

namespace quirn {

class Location;

// A calendar date as the technician picks it.
struct CalendarDay {
    int year = 2000;
    int month = 1;  // 1..12
    int day = 1;    // 1..31

    friend bool operator==(const CalendarDay&, const CalendarDay&) = default;
};

// One ON or OFF step of a day plan or override as the technician enters it.
struct StepEntry {
    int hour = 0;
    int minute = 0;
    int command = kCommandOn;  // kCommandOn or kCommandOff

    friend bool operator==(const StepEntry&, const StepEntry&) = default;
};

// The fields of a location the technician edits.
struct LocationFields {
    std::string name = "New Location";
    std::string type = "School";
    int model = static_cast<int>(TimeSwitchModel::QN510);
    std::string connection = kRadioAddress;
    // Kept only for locations reached through the M2M client (the file keeps no other).
    std::string imsi;
    // Kept only for Strider time switches (the file keeps no other).
    int striderTimeCode = 0;
    bool validateDisabled = false;

    static LocationFields of(const Location& location);
    friend bool operator==(const LocationFields&, const LocationFields&) = default;
};

// What an edit (or its undo) changed, for the windows and the loader to refresh.
struct PlanEditNotice {
    // The groups whose records changed (programming, name or locations), ascending.
    std::vector<GroupKey> groups;
    bool groupsAddedOrRemoved = false;
    bool specialWeeks = false;
    bool overrides = false;
    bool summerPlans = false;
};

}  // namespace quirn
