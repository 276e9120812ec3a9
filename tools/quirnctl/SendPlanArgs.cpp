#include "tools/quirnctl/SendPlanArgs.h"

#include <array>
#include <string_view>

#include "plans/PlanTypes.h"
#include "tools/quirnctl/Cli.h"

namespace quirn::ctl {

namespace {

constexpr std::string_view kFolderOptions[] = {"--folder", "--root"};
constexpr std::string_view kSelectionValueOptions[] = {"--master-group", "--group", "--location"};

bool takesValue(std::string_view arg) {
    if (arg == "--port") return true;
    for (std::string_view o : kFolderOptions)
        if (arg == o) return true;
    for (std::string_view o : kSelectionValueOptions)
        if (arg == o) return true;
    return false;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == separator) {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

// "MG:G" or "MG:G:L" (as many numbers as `ranges` has), each in its range.
template <std::size_t N>
std::optional<std::array<int, N>> numbersOf(std::string_view item,
                                            const std::array<std::pair<int, int>, N>& ranges) {
    const auto parts = split(item, ':');
    if (parts.size() != N) return std::nullopt;
    std::array<int, N> out{};
    for (std::size_t i = 0; i < N; ++i) {
        auto n = parseNumber(parts[i], ranges[i].first, ranges[i].second);
        if (!n) return std::nullopt;
        out[i] = *n;
    }
    return out;
}

template <std::size_t N>
std::optional<std::vector<LocationKey>> keysOf(const std::string& text,
                                               const std::array<std::pair<int, int>, N>& ranges,
                                               const char* form, std::string& error) {
    std::vector<LocationKey> keys;
    for (std::string_view item : split(text, ',')) {
        auto numbers = numbersOf(item, ranges);
        if (!numbers) {
            error = "'" + std::string(item) + "' is not " + form;
            return std::nullopt;
        }
        LocationKey key{(*numbers)[0], (*numbers)[1], 0};
        if constexpr (N == 3) key.location = (*numbers)[2];
        keys.push_back(key);
    }
    return keys;
}

constexpr std::array<std::pair<int, int>, 2> kGroupRanges{
    {{kMinMasterGroup, kMaxMasterGroup}, {kMinGroup, kMaxGroup}}};
constexpr std::array<std::pair<int, int>, 3> kLocationRanges{
    {{kMinMasterGroup, kMaxMasterGroup}, {kMinGroup, kMaxGroup}, {kMinLocation, kMaxLocation}}};

}  // namespace

std::optional<std::vector<LocationKey>> parseGroupKeys(const std::string& text,
                                                       std::string& error) {
    return keysOf(text, kGroupRanges, "MG:G", error);
}

std::optional<std::vector<LocationKey>> parseLocationKeys(const std::string& text,
                                                          std::string& error) {
    return keysOf(text, kLocationRanges, "MG:G:L", error);
}

bool isSendPlanCommand(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (takesValue(arg)) {
            ++i;
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') continue;
        return arg == kSendPlanCommand;
    }
    return false;
}

std::optional<std::string> parseSendPlanArgs(int argc, const char* const* argv, SendPlanArgs& out) {
    int selections = 0;
    bool seenCommand = false;
    auto choose = [&](SendSelection selection) {
        out.selection = std::move(selection);
        ++selections;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            out.help = true;
        } else if (arg == "--dry-run") {
            out.dryRun = true;
        } else if (arg == "--all") {
            choose(SendSelection::all());
        } else if (arg == "--changed") {
            choose(SendSelection::changed());
        } else if (takesValue(arg)) {
            if (i + 1 >= argc) return std::string(arg) + " needs a value";
            const std::string value = argv[++i];
            std::string error;
            if (arg == "--port") {
                out.device = value;
            } else if (arg == "--master-group") {
                auto mg = parseNumber(value, kMinMasterGroup, kMaxMasterGroup);
                if (!mg)
                    return "--master-group needs a number 1.." + std::to_string(kMaxMasterGroup);
                choose(SendSelection::ofMasterGroup(*mg));
            } else if (arg == "--group") {
                auto groups = parseGroupKeys(value, error);
                if (!groups) return "--group: " + error;
                choose(SendSelection::ofGroups(std::move(*groups)));
            } else if (arg == "--location") {
                auto locations = parseLocationKeys(value, error);
                if (!locations) return "--location: " + error;
                choose(SendSelection::ofLocations(std::move(*locations)));
            } else {
                out.folder = value;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            return "unknown option " + std::string(arg);
        } else if (!seenCommand && arg == kSendPlanCommand) {
            seenCommand = true;
        } else {
            return "send-plan takes no word '" + std::string(arg) + "'";
        }
    }
    if (out.help) return std::nullopt;
    if (selections != 1)
        return "send-plan needs one of --all, --changed, --master-group, --group or --location";
    return std::nullopt;
}

}  // namespace quirn::ctl
