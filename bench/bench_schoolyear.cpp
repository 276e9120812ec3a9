// Times entering a district's school year (15 holidays, 3 breaks, a weekly early release with
// its exceptions; a real .ics read through libical) for 500 groups: reading, planning the
// changes with what each group had before, the preview text, applying them, and saving the
// database. The bare baseline adds the same annual and vacation plans to the same database
// directly. Not a test: nothing fails.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>

#include "plans/DatabaseFiles.h"
#include "plans/PlanDatabase.h"
#include "platform/LocalTime.h"
#include "schoolyear/CalendarApply.h"
#include "schoolyear/CalendarChanges.h"
#include "schoolyear/CalendarReader.h"
#include "tests/support/DistrictCalendar.h"
#include "tests/support/FleetGenerator.h"
#include "tests/support/TempFolder.h"

using namespace quirn;

namespace {

constexpr int kGroups = 500;
const CalendarWindow kSchoolYear{{2027, 8, 1}, {2028, 7, 31}};

double timeMs(const std::function<void()>& fn) {
    const auto start = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// A fleet of 500 groups (5 master groups of 99, one of 5) with 9 day plans each and last
// year's annual and vacation plans.
void makeFleet(PlanDatabase& db, std::vector<GroupRef>& groups, std::time_t now) {
    test::FleetShape shape{6, 99, 1, 9, 4, 36, 5, false, 3};
    test::generateFleet(db, shape, now);
    for (Group* g : db.allGroups()) {
        if (static_cast<int>(groups.size()) == kGroups) break;
        groups.push_back({g->masterGroup(), g->number()});
    }
}

}  // namespace

int main() {
    setenv("TZ", "America/New_York", 1);
    tzset();
    const std::time_t now = fromLocal(2027, 8, 15, 10, 0, 0);
    const std::string ics = test::districtCalendarIcs(true);
    const auto mapping = parseCalendarMapping(test::districtCalendarMapping(), "district.map");

    PlanDatabase db;
    std::vector<GroupRef> groups;
    makeFleet(db, groups, now - 365L * 86400);

    CalendarReadResult read;
    CalendarChangePlan plan;
    std::string preview;
    CalendarApplyResult applied;
    const double readMs = timeMs([&] { read = readIcsText(ics, "district.ics", kSchoolYear); });
    const double planMs =
        timeMs([&] { plan = planCalendarChanges(db, groups, read.events, mapping.mapping, now); });
    const double previewMs = timeMs([&] { preview = calendarChangesText(db, plan); });
    const double applyMs = timeMs([&] { applied = applyCalendarChanges(db, plan.changes); });
    test::TempFolder folder;
    const double saveMs = timeMs([&] { saveDatabase(db, folder.workingFolder(), now); });
    if (!read.ok() || !plan.applicable() || !applied.ok()) {
        std::fprintf(stderr, "bench_schoolyear: the import failed: %s%s\n", read.error.c_str(),
                     applied.refusal.c_str());
        return 1;
    }

    // The bare baseline: the same records added straight to a fresh copy of the fleet.
    PlanDatabase bare;
    std::vector<GroupRef> unused;
    makeFleet(bare, unused, now - 365L * 86400);
    const double bareMs = timeMs([&] {
        for (const auto& c : plan.changes) {
            if (c.kind == CalendarChangeKind::Vacation) {
                bare.addVacationPlan(VacationPlan::over(c.group.masterGroup, c.group.group,
                                                        c.first.year, c.first.month, c.first.day,
                                                        c.last.year, c.last.month, c.last.day));
            } else {
                bare.addAnnualPlan(AnnualPlan::on(c.group.masterGroup, c.group.group, c.plan,
                                                  c.first.year, c.first.month, c.first.day));
            }
        }
    });

    const double importMs = readMs + planMs + previewMs + applyMs;
    std::printf("school year for %d groups: %d events read, %d changes (%d preview lines)\n",
                static_cast<int>(groups.size()), static_cast<int>(read.events.size()),
                static_cast<int>(plan.changes.size()),
                static_cast<int>(std::count(preview.begin(), preview.end(), '\n')));
    std::printf("  read .ics (libical, recurrences expanded)  %8.2f ms\n", readMs);
    std::printf("  plan changes (with what was there before) %8.2f ms\n", planMs);
    std::printf("  preview text                              %8.2f ms\n", previewMs);
    std::printf("  apply (plan checks, then the records)     %8.2f ms\n", applyMs);
    std::printf("  import in all                             %8.2f ms\n", importMs);
    std::printf("  save the database files                   %8.2f ms\n", saveMs);
    std::printf("  bare baseline: add the same records       %8.2f ms (import = %.1fx)\n", bareMs,
                bareMs > 0 ? importMs / bareMs : 0.0);
    return 0;
}
