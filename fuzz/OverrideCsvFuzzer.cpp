// override.csv from any text, fed to the override store as today's (no file is read). Whatever
// it holds, the store has no more plans than the text has lines, no plan more steps than its
// limit, each plan's steps in time order; and what it then saves keeps: loaded again it gives
// the same plans, and saved again the same text byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/support/StationInputs.h"
#include "plans/OverrideStore.h"
#include "platform/Clock.h"
#include "platform/TextLines.h"
#include "platform/WorkingFolder.h"

namespace {

using quirn::fuzz::kNow;

bool samePlans(const std::vector<quirn::OverridePlan>& a,
               const std::vector<quirn::OverridePlan>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const quirn::OverridePlan& p = a[i];
        const quirn::OverridePlan& q = b[i];
        if (p.masterGroup != q.masterGroup || p.group != q.group || p.location != q.location ||
            p.state != q.state || p.steps != q.steps)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    const quirn::ManualClock clock(kNow);
    const quirn::WorkingFolder folder = quirn::fuzz::untouchedFolder();
    quirn::OverrideStore loaded(clock, folder);
    const quirn::OverrideLoadResult result = loaded.loadText(text);
    if (result.plans != loaded.plans().size()) std::abort();
    if (loaded.plans().size() > quirn::splitLines(text).size()) std::abort();
    for (const quirn::OverridePlan& p : loaded.plans()) {
        if (p.steps.empty() || p.steps.size() > quirn::OverridePlan::kMaxSteps) std::abort();
        for (std::size_t i = 1; i < p.steps.size(); ++i)
            if (p.steps[i].minuteOfDay() < p.steps[i - 1].minuteOfDay()) std::abort();
    }
    const std::string saved = loaded.fileText();
    quirn::OverrideStore again(clock, folder);
    const quirn::OverrideLoadResult reread = again.loadText(saved);
    if (reread.droppedSteps != 0 || !samePlans(again.plans(), loaded.plans())) std::abort();
    if (again.fileText() != saved) std::abort();
    return 0;
}
