#include "schoolyear/CalendarChanges.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>
#include <unordered_map>

#include "plans/PlanDatabase.h"
#include "plans/PlanTypes.h"
#include "platform/Format.h"
#include "platform/LocalTime.h"
#include "schoolyear/CalendarReadSupport.h"
#include "schoolyear/ImageCapacity.h"

namespace quirn {

namespace {

constexpr long kDaysPerWeek = 7;

bool parseNumber(std::string_view text, int low, int high, int& out) {
    text = trimmed(text);
    constexpr size_t kMaxDigits = 3;
    if (text.empty() || text.size() > kMaxDigits) return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high) return false;
    out = value;
    return true;
}

std::string groupText(GroupRef g) {
    return format("%d:%d", g.masterGroup, g.group);
}

std::string sourceOf(const CalendarEvent& event) {
    return (event.summary.empty() ? std::string("(no summary)") : event.summary) + " (" +
           event.source + ")";
}

// Builds the changes of one group; notes refusals and conflicting days.
class GroupPlanner {
  public:
    GroupPlanner(const PlanDatabase& database, const Group& group, std::time_t now,
                 LocalDayCache& days, CalendarChangePlan& plan)
        : database_(database),
          group_(group),
          now_(now),
          localDays_(days),
          plan_(plan),
          ref_{group.masterGroup(), group.number()},
          exactUntil_(CalendarDate::ofLocal(now).dayNumber() + kDaysPerWeek) {
        // The group's dated plans by day, read once: comparing every date with every plan
        // through the C library costs more than the rest of the import together.
        for (const auto& a : group.annualPlans()) annualByDay_.emplace(dayOf(a.date), a.plan);
        for (const auto& v : group.vacationPlans()) {
            vacationDays_.emplace_back(dayOf(v.start), dayOf(v.end));
        }
    }

    void add(const CalendarEvent& event, const CalendarAction& action) {
        switch (action.kind) {
            case CalendarActionKind::Ignore:
                return;
            case CalendarActionKind::Vacation:
                addVacation(event);
                return;
            case CalendarActionKind::Holiday:
                addDays(event, kPlanHoliday);
                return;
            case CalendarActionKind::DayPlan:
                if (!group_.findDayPlan(action.dayPlan)) {
                    plan_.refusals.push_back(format("group %s has no day plan %d for %s",
                                                    groupText(ref_).c_str(), action.dayPlan,
                                                    sourceOf(event).c_str()));
                    return;
                }
                addDays(event, action.dayPlan);
                return;
        }
    }

  private:
    void addDays(const CalendarEvent& event, int dayPlan) {
        for (long n = event.first.dayNumber(); n <= event.last.dayNumber(); ++n) {
            const CalendarDate date = CalendarDate::fromDayNumber(n);
            const auto [it, fresh] = days_.emplace(n, std::make_pair(dayPlan, sourceOf(event)));
            if (!fresh) {
                if (it->second.first != dayPlan) {
                    plan_.refusals.push_back(format(
                        "group %s on %s: %s gives %s but %s gives %s", groupText(ref_).c_str(),
                        date.iso().c_str(), it->second.second.c_str(),
                        group_.dayPlanListName(it->second.first).c_str(), sourceOf(event).c_str(),
                        group_.dayPlanListName(dayPlan).c_str()));
                }
                continue;
            }
            CalendarChange change = base(event, CalendarChangeKind::AnnualPlan, dayPlan);
            change.first = change.last = date;
            if (const auto existing = annualByDay_.find(n); existing != annualByDay_.end()) {
                change.previousAnnualPlan = existing->second;
            }
            change.previousPlan = previousPlan(date);
            plan_.changes.push_back(std::move(change));
        }
    }

    void addVacation(const CalendarEvent& event) {
        const auto key = std::make_pair(event.first.dayNumber(), event.last.dayNumber());
        if (!vacations_.insert(key).second) return;
        CalendarChange change = base(event, CalendarChangeKind::Vacation, kPlanVacation);
        const VacationPlan wanted =
            VacationPlan::over(ref_.masterGroup, ref_.group, event.first.year, event.first.month,
                               event.first.day, event.last.year, event.last.month, event.last.day);
        for (const auto& v : group_.vacationPlans()) {
            if (v.start == wanted.start && v.end == wanted.end) change.replacesVacation = true;
        }
        change.previousPlan = previousPlan(event.first);
        plan_.changes.push_back(std::move(change));
    }

    long dayOf(std::time_t t) {
        const LocalDateTime local = localDays_.date(t);
        return CalendarDate{local.year, local.month, local.day}.dayNumber();
    }

    // What plan-for-date gives on the date. Within a week of today overrides and special week
    // plans may decide, so the database answers; later dates follow its remaining rules
    // (annual plan, vacation, week plan) from the plans read once.
    int previousPlan(CalendarDate date) {
        const long n = date.dayNumber();
        if (n <= exactUntil_) {
            return database_.planForDate(ref_.masterGroup, ref_.group,
                                         localDays_.midnight(date.year, date.month, date.day),
                                         now_);
        }
        if (const auto a = annualByDay_.find(n); a != annualByDay_.end()) return a->second;
        for (const auto& [first, last] : vacationDays_) {
            if (first <= n && n <= last) return kPlanVacation;
        }
        return group_.defaultWeek().day(date.weekday());
    }

    CalendarChange base(const CalendarEvent& event, CalendarChangeKind kind, int dayPlan) const {
        CalendarChange change;
        change.group = ref_;
        change.kind = kind;
        change.first = event.first;
        change.last = event.last;
        change.plan = dayPlan;
        change.sourceEvent = sourceOf(event);
        return change;
    }

    const PlanDatabase& database_;
    const Group& group_;
    std::time_t now_;
    LocalDayCache& localDays_;  // shared by every group: a fleet meets the same few hundred days
    CalendarChangePlan& plan_;
    GroupRef ref_;
    long exactUntil_;
    std::unordered_map<long, int> annualByDay_;         // day number -> plan (the first)
    std::vector<std::pair<long, long>> vacationDays_;   // first and last day numbers
    std::map<long, std::pair<int, std::string>> days_;  // day number -> plan and its source
    std::set<std::pair<long, long>> vacations_;
};

}  // namespace

std::optional<std::vector<GroupRef>> parseGroupList(std::string_view text, std::string* error) {
    std::vector<GroupRef> groups;
    auto fail = [&](const std::string& why) -> std::optional<std::vector<GroupRef>> {
        if (error) *error = why;
        return std::nullopt;
    };
    if (trimmed(text).empty()) return fail("no groups given (MG:G,MG:G,...)");
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = std::min(text.find(',', start), text.size());
        const std::string_view item = trimmed(text.substr(start, comma - start));
        const size_t colon = item.find(':');
        GroupRef g;
        if (colon == std::string_view::npos ||
            !parseNumber(item.substr(0, colon), kMinMasterGroup, kMaxMasterGroup, g.masterGroup) ||
            !parseNumber(item.substr(colon + 1), kMinGroup, kMaxGroup, g.group)) {
            return fail("'" + std::string(item) + "' is not a group (MG:G, master group 1..10, " +
                        "group 1..99)");
        }
        if (std::find(groups.begin(), groups.end(), g) != groups.end()) {
            return fail("group " + groupText(g) + " is named twice");
        }
        groups.push_back(g);
        start = comma + 1;
    }
    return groups;
}

CalendarChangePlan planCalendarChanges(const PlanDatabase& database,
                                       const std::vector<GroupRef>& groups,
                                       const std::vector<CalendarEvent>& events,
                                       const CalendarMapping& mapping, std::time_t now) {
    CalendarChangePlan plan;
    plan.unmapped = unmappedEvents(events, mapping);
    std::vector<std::pair<const CalendarEvent*, CalendarAction>> mapped;
    for (const auto& event : events) {
        if (const auto action = mapping.actionFor(event)) mapped.emplace_back(&event, *action);
    }
    LocalDayCache localDays;
    for (const GroupRef ref : groups) {
        const Group* group = database.findGroup(ref.masterGroup, ref.group);
        if (!group) {
            plan.refusals.push_back("group " + groupText(ref) + " does not exist");
            continue;
        }
        GroupPlanner planner(database, *group, now, localDays, plan);
        for (const auto& [event, action] : mapped) planner.add(*event, action);
    }
    std::stable_sort(plan.changes.begin(), plan.changes.end(), [](const auto& a, const auto& b) {
        return std::tie(a.group, a.first, a.last) < std::tie(b.group, b.first, b.last);
    });
    for (const ImageCapacityNote& note : imageCapacityNotes(database, plan.changes, now))
        plan.notes.push_back(imageCapacityText(database, note));
    return plan;
}

std::string calendarChangeLine(const PlanDatabase& database, const CalendarChange& change) {
    const Group* group = database.findGroup(change.group.masterGroup, change.group.group);
    auto name = [&](int plan) {
        return group ? group->dayPlanListName(plan) : format("Plan %d", plan);
    };
    std::string line = groupText(change.group) + " ";
    if (change.kind == CalendarChangeKind::Vacation) {
        line += change.first.iso() + ".." + change.last.iso() + " Vacation";
        line += change.replacesVacation ? " (replaces the same vacation)" : " (new vacation)";
    } else {
        line += change.first.iso() + " " + weekdayShortName(change.first.weekday()) + " " +
                name(change.plan);
        if (change.previousAnnualPlan) {
            line += " (replaces annual plan " + name(*change.previousAnnualPlan) + ")";
        } else {
            line += " (was " + name(change.previousPlan) + ")";
        }
    }
    return line + " <- " + change.sourceEvent;
}

std::string calendarChangesText(const PlanDatabase& database, const CalendarChangePlan& plan) {
    std::string out;
    for (const auto& change : plan.changes) out += calendarChangeLine(database, change) + "\n";
    for (const auto& event : plan.unmapped) {
        std::string categories;
        for (const auto& c : event.categories) categories += (categories.empty() ? "" : ", ") + c;
        out += "unmapped: " + sourceOf(event) + " " + event.first.iso();
        if (!categories.empty()) out += " [" + categories + "]";
        if (const auto suggestion = suggestAction(event)) {
            out += " suggested: " + actionText(*suggestion);
        }
        out += "\n";
    }
    for (const auto& refusal : plan.refusals) out += "refused: " + refusal + "\n";
    for (const auto& note : plan.notes) out += "note: " + note + "\n";
    return out;
}

}  // namespace quirn
