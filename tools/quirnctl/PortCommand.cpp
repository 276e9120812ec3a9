#include "tools/quirnctl/PortCommand.h"

#include "plans/DatabaseFiles.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "tools/quirnctl/Cli.h"

namespace quirn::ctl {

namespace {
constexpr int kLastType = 3;
// Global options that take a value, skipped when looking for the command word.
constexpr std::string_view kValueOptions[] = {"--root", "--now", "--read-time", "--out"};
}  // namespace

bool isPortCommand(int argc, const char* const* argv, std::string_view command) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        bool takesValue = false;
        for (std::string_view option : kValueOptions) takesValue = takesValue || arg == option;
        if (takesValue) {
            ++i;
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') continue;
        return arg == command;
    }
    return false;
}

std::optional<std::string> parsePortCommandArgs(int argc, const char* const* argv,
                                                std::string_view command, bool takesDate,
                                                PortCommandArgs& out) {
    bool seenCommand = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc) return std::nullopt;
            return std::string(argv[++i]);
        };
        if (arg == "--help" || arg == "-h") {
            out.help = true;
        } else if (arg == "--root") {
            auto v = value();
            if (!v) return "--root needs a folder";
            out.root = *v;
        } else if (arg == "--port" && seenCommand) {
            auto v = value();
            if (!v) return "--port needs a device";
            out.device = *v;
        } else if (arg == "--type" && seenCommand) {
            auto v = value();
            out.type = v ? parseNumber(*v, 0, kLastType) : std::nullopt;
            if (!out.type) return "--type needs 0, 1, 2 or 3";
        } else if (arg == "--date" && seenCommand && takesDate) {
            out.date = value();
            if (!out.date) return "--date needs YYYY-MM-DD";
        } else if (arg.size() > 2 && arg.substr(0, 2) == "--") {
            return "unknown option " + std::string(arg);
        } else if (!seenCommand && arg == command) {
            seenCommand = true;
        } else {
            out.words.emplace_back(arg);
        }
    }
    return std::nullopt;
}

std::optional<std::string> selectRoot(const std::string& root, WorkingFolder& folder) {
    if (root.empty()) {
        folder = defaultWorkingFolder();
        return std::nullopt;
    }
    if (!folderExists(root)) return "no such folder " + root;
    folder = WorkingFolder(root);
    return std::nullopt;
}

std::optional<std::string> missingDatabaseFile(const WorkingFolder& folder) {
    for (const std::string& path : {dayPlanFileName(folder), stepsFileName(folder),
                                    groupsFileName(folder), locationsFileName(folder)})
        if (!fileExists(path)) return "not a working folder: " + path + " is missing";
    return std::nullopt;
}

}  // namespace quirn::ctl
