// A school calendar from any bytes, read as .ics (through libical) and as the plain CSV, then
// mapped, planned for a group and applied to a plan database. Whatever the bytes, a read
// either fails with one error line naming the file and no events, or gives sorted events of
// real dates inside the window, each no longer than the limit and no more of them than the
// limit; every change planned from them passes the plan checks and applies whole.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "plans/PlanDatabase.h"
#include "plans/Step.h"
#include "schoolyear/CalendarApply.h"
#include "schoolyear/CalendarChanges.h"
#include "schoolyear/CalendarReader.h"

namespace {

const quirn::CalendarWindow kWindow{{2027, 8, 1}, {2028, 7, 31}};
constexpr int kEarlyRelease = 3;

quirn::CalendarReadLimits limits() {
    quirn::CalendarReadLimits l;
    l.maxFileBytes = 64 * 1024;
    l.maxEvents = 400;
    l.maxRecords = 400;
    l.maxEventDays = 60;
    return l;
}

void checkRead(const quirn::CalendarReadResult& r, const std::string& name) {
    const quirn::CalendarReadLimits l = limits();
    if (!r.ok()) {
        if (!r.events.empty() || r.error.rfind(name + ": ", 0) != 0) std::abort();
        if (r.error.find('\n') != std::string::npos) std::abort();
        return;
    }
    if (r.events.size() > l.maxEvents) std::abort();
    for (std::size_t i = 0; i < r.events.size(); ++i) {
        const quirn::CalendarEvent& e = r.events[i];
        if (!e.first.valid() || !e.last.valid() || e.last < e.first) std::abort();
        if (e.dayCount() > l.maxEventDays) std::abort();
        if (e.last < kWindow.first || kWindow.last < e.first) std::abort();
        if (i > 0 && e.first < r.events[i - 1].first) std::abort();
    }
}

// Every event a holiday, a vacation or an early release by its length, for one group.
void planAndApply(const quirn::CalendarReadResult& r) {
    if (!r.ok()) return;
    quirn::PlanDatabase db;
    db.addStep(quirn::Step::atTime(1, 1, quirn::kPlanNormal, 7, 15, quirn::kCommandOn));
    db.addStep(quirn::Step::atTime(1, 1, kEarlyRelease, 12, 30, quirn::kCommandOn));
    quirn::CalendarMapping mapping;
    for (const auto& e : r.events) {
        const quirn::CalendarAction action =
            e.dayCount() > 1 ? quirn::CalendarAction{quirn::CalendarActionKind::Vacation, 0}
            : e.first.weekday() == 4
                ? quirn::CalendarAction{quirn::CalendarActionKind::DayPlan, kEarlyRelease}
                : quirn::CalendarAction{quirn::CalendarActionKind::Holiday, 0};
        if (!mapping.actionFor(e)) mapping.set(e.summary, action);
    }
    const quirn::CalendarChangePlan plan =
        quirn::planCalendarChanges(db, {{1, 1}}, r.events, mapping, kWindow.first.localMidnight());
    if (!plan.unmapped.empty()) std::abort();
    if (!plan.refusals.empty()) return;  // two events gave one day different plans
    const quirn::CalendarApplyResult applied = quirn::applyCalendarChanges(db, plan.changes);
    if (!applied.ok() || applied.applied != static_cast<int>(plan.changes.size())) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto ics = quirn::readIcsText(text, "fuzz.ics", kWindow, limits());
    checkRead(ics, "fuzz.ics");
    planAndApply(ics);
    const auto csv = quirn::readCalendarCsvText(text, "fuzz.csv", kWindow, limits());
    checkRead(csv, "fuzz.csv");
    planAndApply(csv);
    return 0;
}
