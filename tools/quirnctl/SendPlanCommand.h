#pragma once

namespace quirn::ctl {

// quirnctl send-plan --port DEVICE [--folder DIR] (--all | --changed | --master-group MG |
//   --group MG:G,... | --location MG:G:L,...) [--dry-run]
// Sends the programming of a selection of the working folder's fleet over the radio on DEVICE
// and the IP links of its locations, as the station's "Send programming" does, in real time.
// Prints the estimate, progress lines, each item given up or not sent with its reason, the
// outcome per group and the summary on stdout; what went out is written to the folder's
// sent.csv and System log. The folder's single-instance lock is held for the whole send, so a
// station cannot start on it meanwhile. SIGINT or SIGTERM stops the send: what is in flight
// ends, the rest is reported not sent. --dry-run prints the estimate and touches nothing (no
// port, no lock, no file). Exit 0 when everything was sent, 1 when anything was given up or
// not sent, 2 when refused (bad arguments, a folder or port another program holds).
int runSendPlanCommand(int argc, const char* const* argv);

}  // namespace quirn::ctl
