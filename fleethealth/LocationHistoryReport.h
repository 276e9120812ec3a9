#pragma once
#include <ctime>
#include <span>
#include <string>

#include "fleethealth/ClockDrift.h"
#include "fleethealth/FleetRow.h"
#include "fleethealth/ReadRecord.h"

namespace quirn {

// "Validate Passed", "Connection Failed", "Partial Data 120 bytes", "Clock sent"...: how one
// read of the history ended, without the names the fleet's state text carries.
std::string readOutcomeText(const ReadRecord& read);

// One location's history as text: who it is, its drift, then one line per read (time, path,
// outcome, clock offset, program, relay, result bits), oldest first.
std::string locationHistoryText(const FleetRow& row, std::span<const ReadRecord> reads,
                                const DriftFit& fit, std::time_t now);

// The same reads as CSV (a title line, CR LF line ends).
std::string locationHistoryCsv(std::span<const ReadRecord> reads);

}  // namespace quirn
