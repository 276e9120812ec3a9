#include "tests/support/FleetGenerator.h"

#include <random>
#include <string>

#include "plans/PlanDatabase.h"
#include "platform/LocalTime.h"

namespace quirn::test {

void generateFleet(PlanDatabase& db, const FleetShape& shape, std::time_t from) {
    std::mt19937 rng(shape.seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const LocalDateTime start = toLocal(from);
    for (int mg = 1; mg <= shape.masterGroups; ++mg) {
        for (int g = 1; g <= shape.groupsPerMasterGroup; ++g) {
            Group& group = db.group(mg, g);
            group.setName("School District " + std::to_string(mg * 100 + g));
            for (int plan = 1; plan <= shape.dayPlansPerGroup; ++plan) {
                if (plan >= 2) group.setDayPlanName(plan, "Early Release " + std::to_string(plan));
                for (int s = 0; s < shape.stepsPerDayPlan; ++s)
                    group.addStep(Step::atMinuteOfDay(mg, g, plan, s * 85 + pick(0, 60), s % 2));
            }
            group.setDefaultDay(pick(2, 6), shape.dayPlansPerGroup > 1 ? 2 : kPlanHoliday);
            for (int a = 0; a < shape.annualPlansPerGroup; ++a) {
                int plan = a % 7 == 0 ? kPlanHoliday : pick(1, shape.dayPlansPerGroup);
                group.addAnnualPlan(
                    {g, mg, plan, fromLocal(start.year, start.month, start.day + 1 + a * 3)});
            }
            for (int v = 0; v < shape.vacationPlansPerGroup; ++v) {
                int first = start.day + 120 + v * 20;
                group.addVacationPlan(VacationPlan::over(mg, g, start.year, start.month, first,
                                                         start.year, start.month, first + 6));
            }
            for (int l = 1; l <= shape.locationsPerGroup; ++l) {
                Location loc(mg, g, l);
                loc.name = "Crossing " + std::to_string(l) + " Main St";
                loc.setType(l % 3 == 0 ? "Signal" : "School");
                loc.model = pick(0, 3);
                int kind = pick(0, 3);
                loc.connection = kind == 0   ? std::string(kM2MAddress)
                                 : kind == 1 ? "127." + std::to_string(mg) + "." +
                                                   std::to_string(g) + "." + std::to_string(l)
                                             : std::string(kRadioAddress);
                if (kind == 0)
                    loc.imsi = "31026" + std::to_string(1000000 + mg * 10000 + g * 100 + l);
                if (pick(0, 9) == 0) loc.setValidateDisabled(true);
                if (pick(0, 4) == 0) loc.firmwareVersion = "5.10";
                loc.setStriderTimeCode(pick(0, 9));
                Location& stored = db.addLocation(loc);
                stored.setValidateDisabled(loc.validateDisabledFlag());
                stored.firmwareVersion = loc.firmwareVersion;
                stored.imsi = loc.imsi;
                stored.connection = loc.connection;
                stored.model = loc.model;
                stored.setStriderTimeCode(loc.striderTimeCode());
                if (shape.withSnapshot) {
                    stored.readState = pick(0, 7);
                    stored.programBytesReceived = pick(0, kProgramImageSize);
                    stored.lastReadTime = from - pick(0, 100000);
                    stored.lastAttemptTime = stored.lastReadTime + pick(0, 100);
                    for (auto& b : stored.programBytes) b = static_cast<uint8_t>(pick(0, 255));
                }
            }
            if (g % 10 == 0) {
                SpecialWeekPlan s;
                s.masterGroup = mg;
                s.group = g;
                s.location = g % 20 == 0 ? 0 : 1;
                for (int d = 1; d <= 7; ++d) s.days.setDay(d, pick(0, 3));
                db.addSpecialWeekPlan(s);
            }
        }
    }
    if (!db.specialWeekPlans().empty())
        db.setSpecialWeekEnd(fromLocal(start.year, start.month, start.day + 5, 23, 59, 59));
}

}  // namespace quirn::test
