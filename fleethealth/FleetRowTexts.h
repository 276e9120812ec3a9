#pragma once
#include <ctime>
#include <string>

#include "fleethealth/FleetRow.h"

namespace quirn {

// The texts a fleet row shows, the same in the window, the report and the mail. Numbers are
// formatted under the "C" rules whatever the user's locale.

// "QN510", "MX40", "Strider", "LR40".
std::string fleetModelText(const FleetRow& row);
// "Radio", "M2M client" or "WiFi 127.0.0.5".
std::string fleetLinkText(const FleetRow& row);
// "2026-03-16 09:15", or "Never" for a location never read.
std::string fleetLastReadText(const FleetRow& row);
// The read-state text of the location ("Group, Location Connection Made, Validate Passed.").
std::string fleetStateText(const FleetRow& row);
// "+12 s" / "-3 min 4 s" style offset, "" when unknown.
std::string fleetOffsetText(const FleetRow& row);
// "+1.25 s/day", "" when unknown.
std::string fleetDriftText(const FleetRow& row);
// A drift rate: "+1.25 s/day", "+0.00 s/day" (never "-0.00").
std::string driftRateText(double secondsPerDay);
// The latest read that brought data back, as fleetLastReadText shows a time.
std::string fleetLastAnsweredText(const FleetRow& row);
// "Matches", "Differs" or "".
std::string fleetProgramText(const FleetRow& row);
// A local time as "YYYY-MM-DD HH:MM".
std::string fleetTimeText(std::time_t t);
// A signed number of seconds with one decimal when it is not whole: "+12 s", "-0.5 s".
std::string signedSecondsText(double seconds);

}  // namespace quirn
