#pragma once
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/ZoneRule.h"

namespace quirn::sim {

// The four time-switch models the simulator plays.
enum class SimModel { QN510, Strider, MX40, LR40 };

// "QN510", "Strider", "MX40", "LR40".
const char* modelName(SimModel model);
// The model of a name as written on the command line (exact spelling); nothing otherwise.
std::optional<SimModel> modelFromName(std::string_view name);
// QN510 and Strider take paged text; MX40 and LR40 take BCD commands and program images.
bool isPagedModel(SimModel model);

// Whom a time switch answers to: master group 1..10, group 1..99, location 1..99.
struct SimAddress {
    int masterGroup = 1;
    int group = 1;
    int location = 1;
};

// Ways a simulated time switch misbehaves on purpose.
struct SimFaults {
    bool noAnswer = false;     // computes replies but never sends them
    int cutAnswer = -1;        // >= 0: every reply is cut to this many bytes
    bool badChecksum = false;  // replies that carry a checksum carry a wrong one
    int slowBytesMs = 0;       // the transport sends one byte per this many milliseconds
    bool ignoreBaud = false;   // the 'B' sentence is taken but the line rate stays
    // >= 0: the relay does not switch when the clock runs into a step at this minute of the
    // day (0..1439); a clock setting still puts it where the program says.
    int missedStepMinute = -1;
};

// One entry of a Strider's activation log.
struct ActivationRecord {
    LocalDateTime when;  // year 2001..2099
    bool sideFlag = false;
};

// Lines the simulator draws to choose its clock.
struct SimClockSettings {
    std::optional<std::time_t> start;    // none: the host's time
    double speed = 1.0;                  // device seconds per host second
    long clockOffsetSeconds = 0;         // added to every time the switch is given
    double driftSecondsPerHour = 0.0;    // gained (or lost, negative) per device hour
    bool holdsDate = false;              // the date stays at midnight; only the time of day runs
    bool ignoresDaylightSaving = false;  // the offset of the last setting is kept all year
};

// Everything one simulated time switch is built from.
struct SimSettings {
    SimModel model = SimModel::QN510;
    SimAddress address;
    ZoneRule zone = ZoneRule::northAmerican(0);
    SimClockSettings clock;
    SimFaults faults;
    int lineRate = 2400;         // line rate of the serial link at start
    bool qn510RawImage = false;  // answer 'R' with the 776-byte image, not the compact one
    // A manual relay command holds until the clock runs into a step: clock settings and
    // program downloads leave the relay as the command put it (switches that only act on the
    // steps they meet behave so).
    bool manualHoldsUntilStep = false;
    std::vector<ActivationRecord> activations;
    bool confirmationFlag = false;  // Strider: reported in every log block
};

}  // namespace quirn::sim
