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

// A left-button click the host synthesizes on the control once the marks are shown: at a point
// of the control's window, on the cell of a date, or on the weekday heading of a month's panel.
struct ClickRequest {
    enum class Target { Point, Date, Heading };
    Target target = Target::Point;
    int x = 0;
    int y = 0;
    LocalDate date;  // Heading: year and month only
};

// vorncal-view's command line.
struct ViewOptions {
    std::string root;                  // working folder; "" for the system's
    std::optional<GroupId> group;      // "" for the first group of dayplan.csv
    int activePlan = 0;                // SetActivePlan's argument (0 changes nothing)
    std::string screenshot;            // PNG to write, then quit; "" to stay open
    std::string picture;               // the control alone as a PPM picture, then quit
    std::vector<ClickRequest> clicks;  // in order, before the picture
    int keys = 0;                      // key-state flags added to the clicks' (Shift 4, Ctrl 8)
    std::optional<LocalDate> today;    // fixed "today"; the system clock otherwise
    std::string library;               // the control module; "" to look it up
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
