#include "tools/quirnctl/CalendarCommandArgs.h"

#include <string_view>

namespace quirn::ctl {

namespace {

// Options that take a value, and where it goes.
struct ValueOption {
    const char* name;
    std::optional<std::string> CalendarCommandArgs::*field;
};
constexpr ValueOption kValueOptions[] = {
    {"--now", &CalendarCommandArgs::now},      {"--groups", &CalendarCommandArgs::groups},
    {"--group", &CalendarCommandArgs::groups}, {"--map", &CalendarCommandArgs::map},
    {"--from", &CalendarCommandArgs::from},    {"--to", &CalendarCommandArgs::to},
    {"--out", &CalendarCommandArgs::out},      {"--ics", &CalendarCommandArgs::ics},
    {"--csv", &CalendarCommandArgs::csv},
};
constexpr const char* kFolderOptions[] = {"--folder", "--root"};

bool takesValue(std::string_view arg) {
    for (const auto& o : kValueOptions)
        if (arg == o.name) return true;
    for (const char* o : kFolderOptions)
        if (arg == o) return true;
    return false;
}

}  // namespace

std::string firstCommandWord(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (takesValue(arg)) {
            ++i;
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') continue;
        return std::string(arg);
    }
    return "";
}

std::optional<std::string> parseCalendarCommandArgs(int argc, const char* const* argv,
                                                    CalendarCommandArgs& out) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            out.help = true;
            continue;
        }
        if (arg == "--dry-run") {
            out.dryRun = true;
            continue;
        }
        if (takesValue(arg)) {
            if (i + 1 >= argc) return std::string(arg) + " needs a value";
            const std::string value = argv[++i];
            bool stored = false;
            for (const auto& o : kValueOptions) {
                if (arg == o.name) {
                    out.*(o.field) = value;
                    stored = true;
                }
            }
            if (!stored) out.folder = value;
            continue;
        }
        if (arg.size() > 2 && arg.substr(0, 2) == "--") return "unknown option " + std::string(arg);
        if (out.command.empty()) {
            out.command = std::string(arg);
        } else {
            out.words.emplace_back(arg);
        }
    }
    return std::nullopt;
}

}  // namespace quirn::ctl
