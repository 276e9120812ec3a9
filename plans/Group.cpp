#include "plans/Group.h"

#include <algorithm>

#include "platform/LocalTime.h"

namespace quirn {

Group::Group(int masterGroup, int number)
    : masterGroup_(masterGroup), number_(number), name_(defaultName(number)) {}

std::string Group::title(bool hasMasterGroups) const {
    std::string t = name_ + ", Group " + std::to_string(number_);
    if (hasMasterGroups) t += ", Master Group " + std::to_string(masterGroup_);
    return t;
}

std::string Group::listText() const {
    return name_ + "," + std::to_string(number_);
}

DayPlan* Group::findDayPlan(int plan) const {
    for (const auto& d : dayPlans_)
        if (d->plan() == plan) return d.get();
    return nullptr;
}

DayPlan& Group::dayPlan(int plan) {
    if (DayPlan* d = findDayPlan(plan)) return *d;
    dayPlans_.push_back(std::make_unique<DayPlan>(masterGroup_, number_, plan));
    markProgrammingChanged();
    return *dayPlans_.back();
}

void Group::setDayPlanName(int plan, std::string name) {
    dayPlan(plan).setName(std::move(name));
    changed_ = true;
}

bool Group::addStep(const Step& step) {
    Step own = step.copyFor(masterGroup_, number_, step.plan);
    bool added = dayPlan(step.plan).addStep(own);
    if (added) markProgrammingChanged();
    return added;
}

bool Group::deleteDayPlan(int plan) {
    auto it = std::find_if(dayPlans_.begin(), dayPlans_.end(),
                           [plan](const auto& d) { return d->plan() == plan; });
    if (it == dayPlans_.end()) return false;
    dayPlans_.erase(it);
    markProgrammingChanged();
    return true;
}

void Group::deleteSteps(int plan) {
    if (DayPlan* d = findDayPlan(plan)) {
        d->clearSteps();
        markProgrammingChanged();
    }
}

void Group::deleteAllSteps() {
    for (auto& d : dayPlans_) d->clearSteps();
    markProgrammingChanged();
}

void Group::clearProgramming() {
    dayPlans_.clear();
    defaultWeek_ = WeekPlan::standard();
    markProgrammingChanged();
}

GroupProgramming Group::programming() const {
    GroupProgramming p;
    p.dayPlans.reserve(dayPlans_.size());
    for (const auto& d : dayPlans_) p.dayPlans.push_back(*d);
    p.defaultWeek = defaultWeek_;
    p.annualPlans = annualPlans_;
    p.vacationPlans = vacationPlans_;
    return p;
}

void Group::setProgramming(const GroupProgramming& p) {
    dayPlans_.clear();
    for (const DayPlan& from : p.dayPlans) {
        auto own = std::make_unique<DayPlan>(masterGroup_, number_, from.plan());
        own->setName(from.name());
        own->setSteps(from.steps());
        dayPlans_.push_back(std::move(own));
    }
    defaultWeek_ = p.defaultWeek;
    annualPlans_ = p.annualPlans;
    for (AnnualPlan& a : annualPlans_) {
        a.masterGroup = masterGroup_;
        a.group = number_;
    }
    vacationPlans_ = p.vacationPlans;
    for (VacationPlan& v : vacationPlans_) {
        v.masterGroup = masterGroup_;
        v.group = number_;
    }
    markProgrammingChanged();
}

std::string Group::planName(int plan) const {
    switch (plan) {
        case kPlanNone:
        case kPlanNoneAlt:
            return "None";
        case kPlanNormal:
            return "Normal";
        case kPlanHoliday:
            return "Holiday Plan";
        case kPlanVacation:
            return "Vacation Plan";
        case kPlanOverride:
            return "Override Plan";
        default:
            break;
    }
    if (const DayPlan* d = findDayPlan(plan)) return d->name();
    if (plan >= 2 && plan <= kMaxUserDayPlan) return DayPlan::defaultName(plan);
    return "Not Named";
}

std::string Group::dayPlanListName(int plan) const {
    return plan == kPlanHoliday ? "Holiday" : planName(plan);
}

std::string Group::dayPlanTitle(int plan) const {
    return "Day Plan " + std::to_string(plan) + " - " + dayPlanListName(plan);
}

void Group::setDefaultDay(int weekday, int plan) {
    if (weekday < 1 || weekday > 7) return;
    defaultWeek_.setDay(weekday, plan);
    markProgrammingChanged();
}

void Group::addAnnualPlan(const AnnualPlan& plan) {
    AnnualPlan own = plan;
    own.masterGroup = masterGroup_;
    own.group = number_;
    for (auto& a : annualPlans_) {
        if (a.date == own.date) {
            a = own;
            markProgrammingChanged();
            return;
        }
    }
    annualPlans_.push_back(own);
    markProgrammingChanged();
}

void Group::addVacationPlan(const VacationPlan& plan) {
    VacationPlan own = plan;
    own.masterGroup = masterGroup_;
    own.group = number_;
    own.plan = kPlanVacation;
    for (auto& v : vacationPlans_) {
        if (v.start == own.start && v.end == own.end) {
            v = own;
            markProgrammingChanged();
            return;
        }
    }
    vacationPlans_.push_back(own);
    markProgrammingChanged();
}

bool Group::removeAnnualPlan(const AnnualPlan& plan) {
    auto it = std::find_if(annualPlans_.begin(), annualPlans_.end(), [&](const AnnualPlan& a) {
        return a.date == plan.date && a.plan == plan.plan;
    });
    if (it == annualPlans_.end()) return false;
    annualPlans_.erase(it);
    markProgrammingChanged();
    return true;
}

bool Group::removeVacationPlan(const VacationPlan& plan) {
    auto it = std::find_if(vacationPlans_.begin(), vacationPlans_.end(), [&](const auto& v) {
        return v.start == plan.start && v.end == plan.end;
    });
    if (it == vacationPlans_.end()) return false;
    vacationPlans_.erase(it);
    markProgrammingChanged();
    return true;
}

void Group::sortAnnualPlans() {
    std::stable_sort(annualPlans_.begin(), annualPlans_.end(),
                     [](const AnnualPlan& a, const AnnualPlan& b) { return a.date < b.date; });
}

const AnnualPlan* Group::annualPlanOn(std::time_t date) const {
    for (const auto& a : annualPlans_)
        if (sameLocalDate(a.date, date)) return &a;
    return nullptr;
}

const VacationPlan* Group::vacationCovering(std::time_t date) const {
    for (const auto& v : vacationPlans_)
        if (v.covers(date)) return &v;
    return nullptr;
}

namespace {
bool indexable(int number) {
    return number >= kMinLocation && number <= kMaxLocation;
}
}  // namespace

Location* Group::findLocation(int number) const {
    if (indexable(number)) return locationByNumber_[number];
    for (const auto& l : locations_)
        if (l->number == number) return l.get();
    return nullptr;
}

Location& Group::addLocation(const Location& location) {
    if (Location* existing = findLocation(location.number)) {
        existing->name = location.name;
        existing->setType(location.type());
        existing->changed = true;
        changed_ = true;
        return *existing;
    }
    locations_.push_back(std::make_unique<Location>(location));
    Location& stored = *locations_.back();
    stored.masterGroup = masterGroup_;
    stored.group = number_;
    if (indexable(stored.number)) locationByNumber_[stored.number] = &stored;
    changed_ = true;
    return stored;
}

bool Group::removeLocation(int number) {
    auto it = std::find_if(locations_.begin(), locations_.end(),
                           [number](const auto& l) { return l->number == number; });
    if (it == locations_.end()) return false;
    if (indexable(number)) locationByNumber_[number] = nullptr;
    locations_.erase(it);
    changed_ = true;
    return true;
}

std::unique_ptr<Location> Group::takeLocation(int number, size_t* index) {
    auto it = std::find_if(locations_.begin(), locations_.end(),
                           [number](const auto& l) { return l->number == number; });
    if (it == locations_.end()) return nullptr;
    if (index) *index = static_cast<size_t>(it - locations_.begin());
    if (indexable(number)) locationByNumber_[number] = nullptr;
    std::unique_ptr<Location> taken = std::move(*it);
    locations_.erase(it);
    changed_ = true;
    return taken;
}

bool Group::putLocation(std::unique_ptr<Location> location, size_t index) {
    if (!location || findLocation(location->number) || location->masterGroup != masterGroup_ ||
        location->group != number_)
        return false;
    const int number = location->number;
    index = std::min(index, locations_.size());
    Location* stored =
        locations_.insert(locations_.begin() + static_cast<long>(index), std::move(location))
            ->get();
    if (indexable(number)) locationByNumber_[number] = stored;
    changed_ = true;
    return true;
}

int Group::lowestFreeLocationNumber() const {
    std::array<bool, kMaxLocation + 1> used{};
    for (const auto& l : locations_)
        if (l->number >= kMinLocation && l->number <= kMaxLocation) used[l->number] = true;
    for (int n = kMinLocation; n <= kMaxLocation; ++n)
        if (!used[n]) return n;
    return 0;
}

void Group::recomputeProgramView() {
    bool allImage = !locations_.empty(), allQn510 = true;
    for (const auto& l : locations_) {
        allImage = allImage && isImageModel(l->model);
        allQn510 = allQn510 && l->isModel(TimeSwitchModel::QN510);
    }
    if (allImage)
        programView_ = false;
    else if (allQn510)
        programView_ = true;
}

Group* MasterGroup::findGroup(int number) const {
    auto it = std::lower_bound(groups_.begin(), groups_.end(), number,
                               [](const auto& g, int n) { return g->number() < n; });
    return it != groups_.end() && (*it)->number() == number ? it->get() : nullptr;
}

Group& MasterGroup::group(int number) {
    auto it = std::lower_bound(groups_.begin(), groups_.end(), number,
                               [](const auto& g, int n) { return g->number() < n; });
    if (it != groups_.end() && (*it)->number() == number) return **it;
    return **groups_.insert(it, std::make_unique<Group>(number_, number));
}

std::unique_ptr<Group> MasterGroup::removeGroup(int number) {
    auto it = std::lower_bound(groups_.begin(), groups_.end(), number,
                               [](const auto& g, int n) { return g->number() < n; });
    if (it == groups_.end() || (*it)->number() != number) return nullptr;
    std::unique_ptr<Group> taken = std::move(*it);
    groups_.erase(it);
    return taken;
}

bool MasterGroup::insertGroup(std::unique_ptr<Group> group) {
    if (!group || group->masterGroup() != number_) return false;
    auto it = std::lower_bound(groups_.begin(), groups_.end(), group->number(),
                               [](const auto& g, int n) { return g->number() < n; });
    if (it != groups_.end() && (*it)->number() == group->number()) return false;
    groups_.insert(it, std::move(group));
    return true;
}

}  // namespace quirn
