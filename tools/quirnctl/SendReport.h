#pragma once
#include <string>
#include <vector>

#include "fleetsend/FleetSend.h"
#include "fleetsend/SendItem.h"

namespace quirn::ctl {

// The lines send-plan prints about a send, each without its line end.

// "sending: 3 of 10 done, 1,234 bytes, last handed over: group 1 of master group 1"
std::string sendProgressLine(const SendProgress& progress);

// "given up: Oak St (1, 3, 7) by WiFi 127.0.0.5: no connection to 127.0.0.5"; the address is
// left out for the radio, whose address names no switch.
std::string sendItemLine(const SendItem& item);

// One line per group the send had items for, in group order:
// "group 3 of master group 1: 2 sent, 1 given up, 0 not sent (1,234 bytes)".
std::vector<std::string> groupOutcomeLines(const std::vector<SendItem>& items);

}  // namespace quirn::ctl
