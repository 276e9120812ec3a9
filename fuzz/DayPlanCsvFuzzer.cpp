// The calendar host's reading of dayplan.csv: any text gives at most two marks a line (a
// vacation gives its first and last day), and reading it twice gives the same marks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "calendar/view/DayPlanCsv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::size_t lines = 1;
    for (char c : text) lines += c == '\n' || c == '\r';
    std::optional<quirn::vorncal::GroupId> first = quirn::vorncal::firstGroup(text);
    quirn::vorncal::GroupId group = first.value_or(quirn::vorncal::GroupId{});
    auto marks = quirn::vorncal::groupDayMarks(text, group);
    if (marks.size() > 2 * lines) std::abort();
    if (quirn::vorncal::groupDayMarks(text, group) != marks) std::abort();
    return 0;
}
