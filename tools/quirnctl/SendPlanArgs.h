#pragma once
#include <optional>
#include <string>
#include <vector>

#include "fleetsend/SendSelection.h"

namespace quirn::ctl {

inline constexpr const char* kSendPlanCommand = "send-plan";

// The command line of send-plan:
// quirnctl send-plan --port DEVICE [--folder DIR] (--all | --changed | --master-group MG |
//   --group MG:G[,MG:G...] | --location MG:G:L[,...]) [--dry-run]
struct SendPlanArgs {
    std::string folder;  // --folder or --root; empty: the default working folder
    std::string device;  // --port
    std::optional<SendSelection> selection;
    bool dryRun = false;
    bool help = false;
};

// True when the first word that is no option (nor an option's value) is "send-plan".
bool isSendPlanCommand(int argc, const char* const* argv);

// Splits argv into `out`; an error line for an unknown option, an option without its value, a
// bad group or location list, or more or fewer than one selection.
std::optional<std::string> parseSendPlanArgs(int argc, const char* const* argv, SendPlanArgs& out);

// "1:4,1:5" into group keys (location 0), or an error line naming the bad item.
std::optional<std::vector<LocationKey>> parseGroupKeys(const std::string& text, std::string& error);
// "1:4:2,1:5:1" into location keys, or an error line naming the bad item.
std::optional<std::vector<LocationKey>> parseLocationKeys(const std::string& text,
                                                          std::string& error);

}  // namespace quirn::ctl
