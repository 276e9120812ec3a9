#include "plans/PlanDatabase.h"

#include <algorithm>

#include "platform/LocalTime.h"

namespace quirn {

namespace {
// Special week plan ends before this year mean "none in force".
constexpr int kFirstSpecialWeekYear = 2007;
// "Before the coming Monday" is measured against that Monday at 00:00:15.
constexpr int kMondaySecond = 15;
constexpr int kMonday = 2;
}  // namespace

PlanDatabase::PlanDatabase() : specialWeekEnd_(neverTime()) {}
PlanDatabase::~PlanDatabase() = default;

MasterGroup* PlanDatabase::findMasterGroup(int number) const {
    for (const auto& m : masterGroups_)
        if (m->number() == number) return m.get();
    return nullptr;
}

MasterGroup& PlanDatabase::masterGroup(int number) {
    if (MasterGroup* m = findMasterGroup(number)) return *m;
    masterGroups_.push_back(std::make_unique<MasterGroup>(number));
    return *masterGroups_.back();
}

Group* PlanDatabase::findGroup(int mg, int g) const {
    MasterGroup* m = findMasterGroup(mg);
    return m ? m->findGroup(g) : nullptr;
}

Group& PlanDatabase::group(int mg, int g) {
    return masterGroup(mg).group(g);
}

Location* PlanDatabase::findLocation(int mg, int g, int l) const {
    Group* group = findGroup(mg, g);
    return group ? group->findLocation(l) : nullptr;
}

std::vector<Group*> PlanDatabase::allGroups() const {
    std::vector<Group*> out;
    for (const auto& m : masterGroups_)
        for (const auto& g : m->groups()) out.push_back(g.get());
    return out;
}

std::vector<Group*> PlanDatabase::groupsOf(int mg) const {
    std::vector<Group*> out;
    if (MasterGroup* m = findMasterGroup(mg))
        for (const auto& g : m->groups()) out.push_back(g.get());
    return out;
}

std::vector<Location*> PlanDatabase::allLocations() const {
    std::vector<Location*> out;
    out.reserve(locationCount());
    visitLocations([&](Location& l) { out.push_back(&l); });
    return out;
}

size_t PlanDatabase::locationCount() const {
    size_t n = 0;
    for (const auto& m : masterGroups_)
        for (const auto& g : m->groups()) n += g->locations().size();
    return n;
}

std::unique_ptr<Group> PlanDatabase::removeGroup(int mg, int g) {
    MasterGroup* m = findMasterGroup(mg);
    std::unique_ptr<Group> taken = m ? m->removeGroup(g) : nullptr;
    if (taken) removeSpecialWeekPlansOf(mg, g);
    return taken;
}

bool PlanDatabase::restoreGroup(std::unique_ptr<Group> group) {
    if (!group || findGroup(group->masterGroup(), group->number())) return false;
    return masterGroup(group->masterGroup()).insertGroup(std::move(group));
}

bool PlanDatabase::removeMasterGroupIfEmpty(int mg) {
    auto it = std::find_if(masterGroups_.begin(), masterGroups_.end(),
                           [mg](const auto& m) { return m->number() == mg; });
    if (it == masterGroups_.end() || !(*it)->groups().empty()) return false;
    masterGroups_.erase(it);
    return true;
}

std::vector<int> PlanDatabase::masterGroupNumbers() const {
    std::vector<int> out;
    for (const auto& m : masterGroups_) out.push_back(m->number());
    std::sort(out.begin(), out.end());
    return out;
}

std::string PlanDatabase::planName(int mg, int g, int plan) const {
    const Group* group = findGroup(mg, g);
    return group ? group->planName(plan) : "Not Named";
}

int PlanDatabase::defaultDayPlan(int mg, int g, int weekday) const {
    const Group* group = findGroup(mg, g);
    return group ? group->defaultWeek().day(weekday) : WeekPlan::standardDay(weekday);
}

bool PlanDatabase::specialWeekInForce() const {
    return toLocal(specialWeekEnd_).year >= kFirstSpecialWeekYear;
}

void PlanDatabase::addSpecialWeekPlan(const SpecialWeekPlan& plan) {
    for (auto& s : specialWeekPlans_) {
        if (s.masterGroup == plan.masterGroup && s.group == plan.group) {
            s = plan;
            return;
        }
    }
    specialWeekPlans_.push_back(plan);
}

const SpecialWeekPlan* PlanDatabase::findSpecialWeekPlan(int mg, int g, int l) const {
    for (const auto& s : specialWeekPlans_)
        if (s.masterGroup == mg && s.group == g && s.location == l) return &s;
    return nullptr;
}

const SpecialWeekPlan* PlanDatabase::specialWeekPlanOf(int mg, int g) const {
    for (const auto& s : specialWeekPlans_)
        if (s.masterGroup == mg && s.group == g) return &s;
    return nullptr;
}

std::time_t PlanDatabase::comingMonday(std::time_t now) {
    const LocalDateTime today = toLocal(now);
    int daysToMonday = (kMonday - today.weekday + 7) % 7;
    if (daysToMonday == 0) daysToMonday = 7;
    return fromLocal(today.year, today.month, today.day + daysToMonday, 0, 0, kMondaySecond);
}

bool PlanDatabase::removeSpecialWeekPlansOf(int mg, int g) {
    const size_t before = specialWeekPlans_.size();
    std::erase_if(specialWeekPlans_,
                  [&](const SpecialWeekPlan& s) { return s.masterGroup == mg && s.group == g; });
    return specialWeekPlans_.size() != before;
}

void PlanDatabase::setSpecialWeekPlans(std::vector<SpecialWeekPlan> plans, std::time_t end) {
    specialWeekPlans_ = std::move(plans);
    specialWeekEnd_ = end;
}

void PlanDatabase::clearSpecialWeekPlans() {
    specialWeekPlans_.clear();
}

void PlanDatabase::expireSpecialWeekPlans(std::time_t now) {
    if (now > specialWeekEnd_) {
        specialWeekPlans_.clear();
        specialWeekEnd_ = neverTime();
    }
}

WeekPlan PlanDatabase::effectiveWeek(int mg, int g, int l) const {
    const Group* group = findGroup(mg, g);
    WeekPlan week = group ? group->defaultWeek() : WeekPlan::standard();
    if (!specialWeekInForce()) return week;
    const SpecialWeekPlan* special = specialWeekPlanOf(mg, g);
    if (special && (special->location == 0 || special->location == l)) week = special->days;
    return week;
}

int PlanDatabase::planForDate(int mg, int g, std::time_t date, std::time_t now) const {
    const Group* group = findGroup(mg, g);
    if (!group) return kPlanNormal;
    if (sameLocalDate(date, now) && overrides_ && overrides_->overrideInForce(mg, g, now))
        return kPlanOverride;
    LocalDateTime day = toLocal(date);
    if (date < comingMonday(now) && specialWeekInForce()) {
        const SpecialWeekPlan* special = specialWeekPlanOf(mg, g);
        if (special && special->location == 0) return special->days.day(day.weekday);
    }
    if (const AnnualPlan* a = group->annualPlanOn(date)) return a->plan;
    if (group->vacationCovering(date)) return kPlanVacation;
    return group->defaultWeek().day(day.weekday);
}

void PlanDatabase::addDayPlan(int mg, int g, int plan, const std::string& name) {
    group(mg, g).setDayPlanName(plan, name);
}

bool PlanDatabase::addStep(const Step& step) {
    return group(step.masterGroup, step.group).addStep(step);
}

void PlanDatabase::addAnnualPlan(const AnnualPlan& plan) {
    group(plan.masterGroup, plan.group).addAnnualPlan(plan);
}

void PlanDatabase::addVacationPlan(const VacationPlan& plan) {
    group(plan.masterGroup, plan.group).addVacationPlan(plan);
}

bool PlanDatabase::removeAnnualPlan(const AnnualPlan& plan) {
    Group* g = findGroup(plan.masterGroup, plan.group);
    return g && g->removeAnnualPlan(plan);
}

bool PlanDatabase::removeVacationPlan(const VacationPlan& plan) {
    Group* g = findGroup(plan.masterGroup, plan.group);
    return g && g->removeVacationPlan(plan);
}

bool PlanDatabase::deleteDayPlan(int mg, int g, int plan) {
    Group* group = findGroup(mg, g);
    return group && group->deleteDayPlan(plan);
}

void PlanDatabase::deleteSteps(int mg, int g, int plan) {
    if (Group* group = findGroup(mg, g)) group->deleteSteps(plan);
}

Location& PlanDatabase::addLocation(const Location& location) {
    noteModel(location.model);
    return group(location.masterGroup, location.group).addLocation(location);
}

void PlanDatabase::noteModel(int model) {
    switch (static_cast<TimeSwitchModel>(model)) {
        case TimeSwitchModel::MX40:
            hasMx40OrLr40_ = true;
            break;
        case TimeSwitchModel::LR40:
            hasMx40OrLr40_ = hasLr40_ = true;
            break;
        case TimeSwitchModel::QN510:
            hasQn510OrStrider_ = true;
            break;
        case TimeSwitchModel::Strider:
            hasQn510OrStrider_ = hasStrider_ = true;
            break;
        default:
            break;
    }
}

}  // namespace quirn
