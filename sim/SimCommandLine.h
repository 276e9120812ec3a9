#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/LocalTime.h"
#include "sim/SimSettings.h"

namespace quirn::sim {

// How the simulator is reached.
enum class SimTransport { None, Pty, Tcp, M2m };

// One switch named on the command line: its model and address, in order.
struct SimSwitchLine {
    SimModel model = SimModel::QN510;
    SimAddress address;
};

// Everything the command line asks for. Clock and fault options apply to every switch.
struct SimCommandLine {
    SimTransport transport = SimTransport::None;
    std::string host;  // --tcp / --m2m
    unsigned port = 0;
    std::vector<SimSwitchLine> switches;
    std::optional<LocalDateTime> startLocal;  // --clock, in the switch's local time
    SimClockSettings clock;  // speed, offset and drift (the start is filled in later)
    SimFaults faults;
    std::string logFile;  // empty: standard error
    // --time-file: the switches' clocks run from the time written in this file (seconds since
    // 1970 UTC) instead of the computer's; empty: the computer's.
    std::string timeFile;
    int lineRate = 2400;
    bool qn510RawImage = false;
    bool manualHoldsUntilStep = false;
    std::vector<ActivationRecord> activations;
    bool confirmationFlag = false;
    bool help = false;
};

// Result of reading the command line: the options, or the message that explains the refusal.
struct SimCommandLineResult {
    std::optional<SimCommandLine> line;
    std::string error;
};

// Reads the arguments after the program name. Refuses (with a message naming the option) an
// unknown option, a missing or malformed value, an address outside 1..10, 1..99, 1..99, no
// transport or more than one, several switches without --m2m, and any TCP address outside
// 127.0.0.0/8.
SimCommandLineResult parseCommandLine(const std::vector<std::string>& args);

// The usage text printed for --help and after a refusal.
const char* usageText();

// True for a dotted IPv4 address inside 127.0.0.0/8.
bool isLoopbackAddress(const std::string& address);

// "YYYY-MM-DD HH:MM:SS" as local fields; nothing when malformed or impossible.
std::optional<LocalDateTime> parseDateTime(const std::string& text);

}  // namespace quirn::sim
