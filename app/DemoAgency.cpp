#include "app/DemoAgency.h"

#include "plans/PlanDatabase.h"
#include "plans/PlanTypes.h"
#include "platform/LocalTime.h"

namespace quirn {

namespace {

constexpr int kMonday = 2, kFriday = 6, kSaturday = 7, kSunday = 1;

struct DemoLocation {
    int masterGroup, group, number;
    const char* name;
    const char* type;
    TimeSwitchModel model;
    const char* connection;
};

// The QN510 at 1,1,1 and the MX40 at 1,2,1 are the demo's simulated switches.
const DemoLocation kLocations[] = {
    {1, 1, 1, "Lincoln Ave North", "School", TimeSwitchModel::QN510, kRadioAddress},
    {1, 1, 2, "Lincoln Ave South", "School", TimeSwitchModel::Strider, kRadioAddress},
    {1, 1, 3, "Lincoln at 3rd", "School", TimeSwitchModel::LR40, kRadioAddress},
    {1, 2, 1, "Oak St at 5th", "Signal", TimeSwitchModel::MX40, DemoAgency::kWifiAddress},
    {1, 2, 2, "Oak St at 7th", "Signal", TimeSwitchModel::QN510, kRadioAddress},
    {1, 3, 1, "Maple Middle East", "School", TimeSwitchModel::Strider, kRadioAddress},
    {1, 3, 2, "Maple Middle West", "School", TimeSwitchModel::MX40, kRadioAddress},
    {1, 99, 1, "Bench Switch", "School", TimeSwitchModel::QN510, kRadioAddress},
    {2, 1, 1, "Riverside High North", "School", TimeSwitchModel::LR40, kRadioAddress},
    {2, 1, 2, "Riverside High South", "School", TimeSwitchModel::QN510, kRadioAddress},
    {2, 2, 1, "Hill Road Crossing", "Signal", TimeSwitchModel::QN510, kRadioAddress},
};

// A school day: on before school and after it.
void schoolDay(Group& g, int plan, int startHour, int endHour) {
    const int mg = g.masterGroup(), n = g.number();
    g.addStep(Step::atTime(mg, n, plan, startHour, 15, 1));
    g.addStep(Step::atTime(mg, n, plan, startHour + 1, 15, 0));
    g.addStep(Step::atTime(mg, n, plan, endHour, 30, 1));
    g.addStep(Step::atTime(mg, n, plan, endHour + 1, 0, 0));
}

void weekdaysOn(Group& g, int plan) {
    for (int day = kMonday; day <= kFriday; ++day) g.setDefaultDay(day, plan);
    g.setDefaultDay(kSaturday, kPlanHoliday);
    g.setDefaultDay(kSunday, kPlanHoliday);
}

Group& schoolGroup(PlanDatabase& db, int mg, int n, const char* name, int startHour) {
    Group& g = db.group(mg, n);
    g.setName(name);
    g.setDayPlanName(1, "School Day");
    schoolDay(g, 1, startHour, 14);
    g.setDayPlanName(2, "Early Release");
    schoolDay(g, 2, startHour, 11);
    weekdaysOn(g, 1);
    return g;
}

}  // namespace

void DemoAgency::build(PlanDatabase& db, std::time_t today) {
    const LocalDateTime t = toLocal(today);
    Group& lincoln = schoolGroup(db, 1, 1, "Lincoln Elementary", 7);
    lincoln.addAnnualPlan(AnnualPlan{1, 1, 2, fromLocal(t.year, t.month, t.day + 9)});
    lincoln.addAnnualPlan(AnnualPlan{1, 1, kPlanHoliday, fromLocal(t.year, t.month, t.day + 30)});
    lincoln.addVacationPlan(
        VacationPlan::over(1, 1, t.year, t.month, t.day + 60, t.year, t.month, t.day + 64));

    Group& oak = db.group(1, 2);
    oak.setName("Oak Street Crossing");
    oak.setDayPlanName(1, "Crossing Hours");
    oak.addStep(Step::atTime(1, 2, 1, 7, 0, 1));
    oak.addStep(Step::atTime(1, 2, 1, 19, 0, 0));
    weekdaysOn(oak, 1);

    Group& maple = schoolGroup(db, 1, 3, "Maple Middle", 8);
    maple.addAnnualPlan(AnnualPlan{3, 1, 2, fromLocal(t.year, t.month, t.day + 14)});
    SpecialWeekPlan testWeek;
    testWeek.masterGroup = 1;
    testWeek.group = 3;
    testWeek.location = 0;
    for (int day = kMonday; day <= kFriday; ++day) testWeek.days.setDay(day, 2);
    db.addSpecialWeekPlan(testWeek);
    db.setSpecialWeekEnd(fromLocal(t.year, t.month, t.day + 6, 23, 59, 59));

    Group& bench = db.group(1, 99);
    bench.setName("MOXBYRD");
    bench.setDayPlanName(1, "Bench");
    bench.addStep(Step::atTime(1, 99, 1, 9, 0, 1));
    bench.addStep(Step::atTime(1, 99, 1, 9, 30, 0));
    weekdaysOn(bench, 1);

    Group& riverside = schoolGroup(db, 2, 1, "Riverside High", 7);
    riverside.addVacationPlan(
        VacationPlan::over(2, 1, t.year, t.month, t.day + 20, t.year, t.month, t.day + 27));
    Group& hill = db.group(2, 2);
    hill.setName("Hill Road");
    hill.setDayPlanName(1, "Crossing Hours");
    hill.addStep(Step::atTime(2, 2, 1, 6, 30, 1));
    hill.addStep(Step::atTime(2, 2, 1, 18, 30, 0));
    weekdaysOn(hill, 1);

    for (const DemoLocation& d : kLocations) {
        Location l(d.masterGroup, d.group, d.number);
        l.name = d.name;
        l.setType(d.type);
        Location& stored = db.addLocation(l);
        stored.model = static_cast<int32_t>(d.model);
        stored.connection = d.connection;
    }
}

std::string DemoAgency::summerText(std::time_t today) {
    const LocalDateTime t = toLocal(today);
    const LocalDateTime end = toLocal(fromLocal(t.year, t.month, t.day + 45));
    return "SummerPlan,Riverside Summer School\r\nStartDate," + std::to_string(t.year) + "," +
           std::to_string(t.month) + "," + std::to_string(t.day) + "\r\nEndDate," +
           std::to_string(end.year) + "," + std::to_string(end.month) + "," +
           std::to_string(end.day) + "\r\nLocation,2,1,2\r\nStep,8,0,8,45\r\nStep,12,0,12,30\r\n";
}

std::string DemoAgency::overrideText() {
    // Hill Road stays on through this evening's event.
    return "Step,2,2,0,1020,1\r\nStep,2,2,0,1290,0\r\nEnabled,2,2,0\r\n";
}

std::string DemoAgency::techniciansText() {
    return "MailUser,Dana Reyes,dana.reyes@example.org,17,0\r\n"
           "MailUser,Sam Okafor,sam.okafor@example.org,16,0\r\n"
           "MailUser,Lee Marsh,lee.marsh@example.org,31,0\r\n";
}

std::string DemoAgency::settingsText() {
    return std::string("RadioPort,1\r\nHasMasterGroups,1\r\nMasterGroup,1\r\nCityName,") +
           kCityName + "\r\nServer,127.0.0.1\r\nSender,station@example.org\r\n";
}

}  // namespace quirn
