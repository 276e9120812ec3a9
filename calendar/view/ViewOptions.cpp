#include "calendar/view/ViewOptions.h"

#include <climits>

#include "platform/CommandLineValues.h"
#include "platform/LocalTime.h"

namespace quirn::vorncal {

const char* const kViewUsage =
    "usage: vorncal-view [--root DIR] [--group MG,G] [--active N] [--today YYYY-MM-DD]\n"
    "                    [--size WxH] [--screenshot FILE.png] [--library PATH]\n"
    "       vorncal-view --register | --unregister [--library PATH]\n"
    "Shows one group's annual plans from DIR/dayplan.csv in the VornCalendarIII control and\n"
    "prints the events the control fires.\n";

namespace {

constexpr int kMinSide = 60;
constexpr int kMaxSide = 8000;
constexpr int kFirstYear = 1971;  // dates before 1970 are outside the C library's reach

// A whole text of `count` integers separated by `separator` ("2,5", "2025-03-14"), each an
// optional sign and up to six digits.
std::optional<std::vector<int>> parseInts(const std::string& text, char separator, size_t count) {
    std::vector<int> values;
    size_t start = 0;
    while (values.size() < count) {
        size_t end = text.find(separator, start);
        if (end == std::string::npos) end = text.size();
        const std::string piece = text.substr(start, end - start);
        std::optional<int> n = parseNumber(piece, INT_MIN, INT_MAX, NumberForm::Short);
        if (!n) return std::nullopt;
        values.push_back(*n);
        start = end + 1;
        if (end == text.size()) break;
    }
    if (values.size() != count || start <= text.size()) return std::nullopt;
    return values;
}

}  // namespace

std::optional<ViewOptions> parseViewOptions(const std::vector<std::string>& args,
                                            std::string& error) {
    ViewOptions o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--register") {
            o.registerServer = true;
        } else if (a == "--unregister") {
            o.unregisterServer = true;
        } else if (a == "--root") {
            if (!value(o.root)) return std::nullopt;
        } else if (a == "--screenshot") {
            if (!value(o.screenshot)) return std::nullopt;
        } else if (a == "--library") {
            if (!value(o.library)) return std::nullopt;
        } else if (a == "--group") {
            if (!value(v)) return std::nullopt;
            auto n = parseInts(v, ',', 2);
            if (!n) {
                error = "--group wants MG,G (master group, group), not " + v;
                return std::nullopt;
            }
            o.group = GroupId{(*n)[0], (*n)[1]};
        } else if (a == "--active") {
            if (!value(v)) return std::nullopt;
            auto n = parseInts(v, ',', 1);
            if (!n) {
                error = "--active wants a number, not " + v;
                return std::nullopt;
            }
            o.activePlan = (*n)[0];
        } else if (a == "--today") {
            if (!value(v)) return std::nullopt;
            auto n = parseInts(v, '-', 3);
            if (!n || (*n)[0] < kFirstYear || (*n)[1] < 1 || (*n)[1] > 12 || (*n)[2] < 1 ||
                (*n)[2] > daysInMonth((*n)[0], (*n)[1])) {
                error = "--today wants YYYY-MM-DD, not " + v;
                return std::nullopt;
            }
            o.today = LocalDate{(*n)[0], (*n)[1], (*n)[2]};
        } else if (a == "--size") {
            if (!value(v)) return std::nullopt;
            auto n = parseInts(v, 'x', 2);
            if (!n || (*n)[0] < kMinSide || (*n)[1] < kMinSide || (*n)[0] > kMaxSide ||
                (*n)[1] > kMaxSide) {
                error = "--size wants WxH in pixels, not " + v;
                return std::nullopt;
            }
            o.width = (*n)[0];
            o.height = (*n)[1];
        } else {
            error = "unknown option " + a;
            return std::nullopt;
        }
    }
    return o;
}

}  // namespace quirn::vorncal
