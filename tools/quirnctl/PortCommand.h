#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/WorkingFolder.h"

namespace quirn::ctl {

// The command line of the commands that talk to a time switch on a port ("loader",
// "timetest"): quirnctl [--root DIR] COMMAND --port DEVICE [--type 0|1|2|3] [--date D] WORDS.
struct PortCommandArgs {
    std::string root;
    std::string device;
    std::optional<int> type;
    std::optional<std::string> date;  // only where the command takes one
    bool help = false;
    std::vector<std::string> words;  // the words after the command
};

// True when the first word after the global options is `command`.
bool isPortCommand(int argc, const char* const* argv, std::string_view command);

// Splits argv for `command`; --date is taken only when `takesDate`. An error line for an
// option without its value, a bad type or an unknown option.
std::optional<std::string> parsePortCommandArgs(int argc, const char* const* argv,
                                                std::string_view command, bool takesDate,
                                                PortCommandArgs& out);

// The working folder of --root (the default folder without one) into `folder`; an error line
// when it is not a folder.
std::optional<std::string> selectRoot(const std::string& root, WorkingFolder& folder);

// An error line when the working folder lacks one of the four database files: loading would
// create it, and a tool never writes into the working folder.
std::optional<std::string> missingDatabaseFile(const WorkingFolder& folder);

}  // namespace quirn::ctl
