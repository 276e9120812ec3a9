// Steps and a week built from the input are encoded as a 'D' message, decoded again, and must
// give back exactly the days on which each time and command occurs.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "protocol/DaySet.h"
#include "protocol/LogEntry.h"
#include "protocol/MessageFrame.h"
#include "protocol/WeekSteps.h"

namespace {

constexpr size_t kWeekBytes = 7;
constexpr size_t kStepBytes = 3;
constexpr int kPlans = 4;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kWeekBytes) return 0;
    quirn::WeekDays week{};
    for (size_t d = 0; d < kWeekBytes; ++d) week[d + 1] = data[d] % kPlans;
    std::vector<quirn::PlanStep> steps;
    for (size_t i = kWeekBytes; i + kStepBytes <= size; i += kStepBytes) {
        int minuteOfDay = (data[i] << 8 | data[i + 1]) % 1440;
        steps.push_back(
            {data[i + 2] % kPlans, minuteOfDay / 60, minuteOfDay % 60, (data[i + 2] >> 4) & 1});
    }
    std::array<uint32_t, 1440> on{}, off{};
    for (int d = 1; d <= 7; ++d)
        for (const quirn::PlanStep& s : steps)
            if (s.plan == week[d])
                (s.command ? on : off)[s.hour * 60 + s.minute] |= quirn::qn510DayBit(d);

    std::string message = quirn::pagedMessage("@", 'D', 1, 2, quirn::encodeWeekSteps(steps, week));
    auto entries = quirn::decodeText(message);
    if (entries.size() != 1 || entries[0].kind != quirn::LogKind::DefaultWeek) std::abort();
    for (size_t m = 0; m < 1440; ++m)
        if (entries[0].onMasks[m] != on[m] || entries[0].offMasks[m] != off[m]) std::abort();
    return 0;
}
