#include "calendar/view/ViewOptions.h"

#include <climits>

#include "platform/CommandLineValues.h"
#include "platform/LocalTime.h"

namespace quirn::vorncal {

const char* const kViewUsage =
    "usage: vorncal-view [--root DIR] [--group MG,G] [--active N] [--today YYYY-MM-DD]\n"
    "                    [--size WxH] [--screenshot FILE.png] [--library PATH]\n"
    "                    [--picture FILE.ppm] [--keys N] [--click X,Y]...\n"
    "                    [--click-date YYYY-MM-DD]... [--click-heading YYYY-MM]...\n"
    "       vorncal-view --register | --unregister [--library PATH]\n"
    "Shows one group's annual plans from DIR/dayplan.csv in the VornCalendarIII control and\n"
    "prints the events the control fires. Clicks are pressed and released on the control in\n"
    "order (with the key-state flags N added to the left button's), then the control alone is\n"
    "saved as a PPM picture and the program ends.\n";

namespace {

constexpr int kMinSide = 60;
constexpr int kMaxSide = 8000;
constexpr int kFirstYear = 1971;
constexpr int kMostKeyFlags = 0xFFFF;  // dates before 1970 are outside the C library's reach

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

std::optional<LocalDate> parseDate(const std::string& text) {
    auto n = parseInts(text, '-', 3);
    if (!n || (*n)[0] < kFirstYear || (*n)[1] < 1 || (*n)[1] > 12 || (*n)[2] < 1 ||
        (*n)[2] > daysInMonth((*n)[0], (*n)[1]))
        return std::nullopt;
    return LocalDate{(*n)[0], (*n)[1], (*n)[2]};
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
            o.today = parseDate(v);
            if (!o.today) {
                error = "--today wants YYYY-MM-DD, not " + v;
                return std::nullopt;
            }
        } else if (a == "--picture") {
            if (!value(o.picture)) return std::nullopt;
        } else if (a == "--keys") {
            if (!value(v)) return std::nullopt;
            auto n = parseInts(v, ',', 1);
            if (!n || (*n)[0] < 0 || (*n)[0] > kMostKeyFlags) {
                error = "--keys wants key-state flags (0 to 65535), not " + v;
                return std::nullopt;
            }
            o.keys = (*n)[0];
        } else if (a == "--click") {
            if (!value(v)) return std::nullopt;
            auto n = parseInts(v, ',', 2);
            if (!n || (*n)[0] < 0 || (*n)[1] < 0 || (*n)[0] > kMaxSide || (*n)[1] > kMaxSide) {
                error = "--click wants X,Y in the control, not " + v;
                return std::nullopt;
            }
            ClickRequest click;
            click.x = (*n)[0];
            click.y = (*n)[1];
            o.clicks.push_back(click);
        } else if (a == "--click-date") {
            if (!value(v)) return std::nullopt;
            std::optional<LocalDate> date = parseDate(v);
            if (!date) {
                error = "--click-date wants YYYY-MM-DD, not " + v;
                return std::nullopt;
            }
            o.clicks.push_back({ClickRequest::Target::Date, 0, 0, *date});
        } else if (a == "--click-heading") {
            if (!value(v)) return std::nullopt;
            auto n = parseInts(v, '-', 2);
            if (!n || (*n)[0] < kFirstYear || (*n)[1] < 1 || (*n)[1] > 12) {
                error = "--click-heading wants YYYY-MM, not " + v;
                return std::nullopt;
            }
            o.clicks.push_back({ClickRequest::Target::Heading, 0, 0, {(*n)[0], (*n)[1], 1}});
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
