// summer.csv from any text, fed to the summer plan store (no file is read). Whatever it holds,
// the store has no more plans than the text has lines, every location and step it keeps is a
// real one, a location at most once a plan; and what it then saves keeps: loaded again it gives
// the same plans, and saved again the same text byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/support/StationInputs.h"
#include "plans/PlanTypes.h"
#include "plans/SummerPlanStore.h"
#include "platform/Clock.h"
#include "platform/TextLines.h"
#include "platform/WorkingFolder.h"

namespace {

using quirn::fuzz::kNow;

bool validTime(int hour, int minute) {
    return hour >= 0 && hour < 24 && minute >= 0 && minute < 60;
}

void checkPlan(const quirn::SummerPlan& p) {
    for (std::size_t i = 0; i < p.locations.size(); ++i) {
        const quirn::SummerLocation& l = p.locations[i];
        if (l.masterGroup < quirn::kMinMasterGroup || l.masterGroup > quirn::kMaxMasterGroup ||
            l.group < quirn::kMinGroup || l.group > quirn::kMaxGroup ||
            l.location < quirn::kMinLocation || l.location > quirn::kMaxLocation || l.page)
            std::abort();
        for (std::size_t j = 0; j < i; ++j)
            if (p.locations[j].sameNumbers(l.masterGroup, l.group, l.location)) std::abort();
    }
    for (const quirn::SummerPlanStep& s : p.steps)
        if (!validTime(s.onHour, s.onMinute) || !validTime(s.offHour, s.offMinute)) std::abort();
}

bool samePlans(const std::vector<quirn::SummerPlan>& a, const std::vector<quirn::SummerPlan>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const quirn::SummerPlan& p = a[i];
        const quirn::SummerPlan& q = b[i];
        if (p.name != q.name || p.startDate != q.startDate || p.endDate != q.endDate ||
            p.locations.size() != q.locations.size() || p.steps.size() != q.steps.size())
            return false;
        for (std::size_t j = 0; j < p.locations.size(); ++j) {
            const quirn::SummerLocation& l = q.locations[j];
            if (!p.locations[j].sameNumbers(l.masterGroup, l.group, l.location)) return false;
        }
        for (std::size_t j = 0; j < p.steps.size(); ++j) {
            const quirn::SummerPlanStep& s = p.steps[j];
            const quirn::SummerPlanStep& t = q.steps[j];
            if (s.onHour != t.onHour || s.onMinute != t.onMinute || s.offHour != t.offHour ||
                s.offMinute != t.offMinute)
                return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    const quirn::ManualClock clock(kNow);
    const quirn::WorkingFolder folder = quirn::fuzz::untouchedFolder();
    quirn::SummerPlanStore loaded(clock, folder);
    loaded.loadText(text);
    if (loaded.plans().size() > quirn::splitLines(text).size()) std::abort();
    for (const quirn::SummerPlan& p : loaded.plans()) checkPlan(p);
    const std::string saved = loaded.fileText();
    quirn::SummerPlanStore again(clock, folder);
    again.loadText(saved);
    if (!samePlans(again.plans(), loaded.plans())) std::abort();
    if (again.fileText() != saved) std::abort();
    return 0;
}
