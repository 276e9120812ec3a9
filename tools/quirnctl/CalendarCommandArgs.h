#pragma once
#include <optional>
#include <string>
#include <vector>

namespace quirn::ctl {

// The command line of import-calendar and export-calendar.
struct CalendarCommandArgs {
    std::string command;             // "import-calendar" or "export-calendar"
    std::vector<std::string> words;  // after the command (the calendar file of an import)
    std::string folder;              // --folder or --root; empty: the default working folder
    std::optional<std::string> now;
    std::optional<std::string> groups;  // --groups (import) or --group (export)
    std::optional<std::string> map;
    std::optional<std::string> from;
    std::optional<std::string> to;
    std::optional<std::string> out;
    std::optional<std::string> ics;
    std::optional<std::string> csv;
    bool dryRun = false;
    bool help = false;
};

inline constexpr const char* kImportCalendar = "import-calendar";
inline constexpr const char* kExportCalendar = "export-calendar";

// Splits argv; an error line for an option without its value or an unknown option.
std::optional<std::string> parseCalendarCommandArgs(int argc, const char* const* argv,
                                                    CalendarCommandArgs& out);

// The first word that is neither an option nor an option's value, or "".
std::string firstCommandWord(int argc, const char* const* argv);

}  // namespace quirn::ctl
