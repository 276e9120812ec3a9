#pragma once
#include <ctime>
#include <string>
#include <vector>

#include "fleethealth/FleetSummary.h"

namespace quirn {

// The daily mail's subject: "Quirn Radio fleet: 7 locations need attention".
std::string fleetMailSubject(const FleetSummary& summary, std::size_t needAttention);

// The daily mail's text: when it was checked, the counts, then the worst locations one line
// each ("1/5/3 Elm School (MX40, WiFi 127.0.0.5): clock +300 s; program differs; ...").
std::string fleetMailBody(const std::vector<FleetRow>& rows, const FleetSummary& summary,
                          const std::vector<std::size_t>& worst, std::time_t now);

// What is wrong with one row, as the mail and the report list it.
std::string fleetProblemsText(const FleetRow& row, std::time_t now);

}  // namespace quirn
