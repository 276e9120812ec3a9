#pragma once
#include <optional>
#include <string>
#include <vector>

#include "calendar/view/DayPlanCsv.h"

namespace quirn::vorncal {

struct LocalDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// vorncal-view's command line.
struct ViewOptions {
    std::string root;                // working folder; "" for the system's
    std::optional<GroupId> group;    // "" for the first group of dayplan.csv
    int activePlan = 0;              // SetActivePlan's argument (0 changes nothing)
    std::string screenshot;          // PNG to write, then quit; "" to stay open
    std::optional<LocalDate> today;  // fixed "today"; the system clock otherwise
    std::string library;             // the control module; "" to look it up
    int width = 720;
    int height = 840;
    bool registerServer = false;
    bool unregisterServer = false;
    bool help = false;
};

// Parses the arguments after the program name. Nothing, with `error` set, on a bad or unknown
// option.
std::optional<ViewOptions> parseViewOptions(const std::vector<std::string>& args,
                                            std::string& error);

extern const char* const kViewUsage;

}  // namespace quirn::vorncal
