#pragma once
#include <string>

#include "fleetsend/FleetSend.h"

namespace quirn {

// The lines a send window shows for where a send stands.
// "Planning the send to all locations…", "Planned: press Send to send it.",
// "Sending to 3 groups: 12 of 40 done (1 given up).", "Stopping: what is on its way is ending.",
// "Ended."
std::string sendStateLine(const SendProgress& progress);
// "On its way: Oak St (1, 3, 7)"; empty when nothing went yet.
std::string sendCurrentLine(const SendProgress& progress);

}  // namespace quirn
