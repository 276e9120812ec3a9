#include "plans/PlanRecordLayouts.h"

namespace quirn {

namespace {

using K = FieldKind;

std::vector<DatabaseFileLayout> makeLayouts() {
    const std::vector<FieldLayout> date = {
        {"year", K::DatePart}, {"month", K::DatePart}, {"day", K::DatePart}};
    auto with = [](std::vector<FieldLayout> head, const std::vector<FieldLayout>& tail) {
        head.insert(head.end(), tail.begin(), tail.end());
        return head;
    };
    const std::vector<FieldLayout> groupFirst = {{"group", K::Group},
                                                 {"master group", K::MasterGroup}};
    const std::vector<FieldLayout> locationByMaster = {
        {"master group", K::MasterGroup}, {"group", K::Group}, {"location", K::Location}};
    std::vector<FieldLayout> specialWeek = {
        {"master group", K::MasterGroup}, {"group", K::Group}, {"location", K::LocationOrAll}};
    for (const char* day : {"Sunday plan", "Monday plan", "Tuesday plan", "Wednesday plan",
                            "Thursday plan", "Friday plan", "Saturday plan"})
        specialWeek.push_back({day, K::PlanChoice});
    const std::vector<FieldLayout> vacationEnd = {
        {"end year", K::DatePart}, {"end month", K::DatePart}, {"end day", K::DatePart}};

    return {
        {DatabaseFileKind::DayPlans,
         "dayplan.csv",
         {
             {RecordKind::DayPlan, "DayPlan", KeywordMatch::Exact, 7,
              with(with(groupFirst, {{"day plan", K::PlanChoice}}), date)},
             {RecordKind::VacationPlan, "VacationPlan", KeywordMatch::Exact, 9,
              with(with(groupFirst, date), vacationEnd)},
             {RecordKind::DayPlanName, "DayPlanName", KeywordMatch::Exact, 5,
              with(with({{"day plan", K::NamedPlan}}, groupFirst), {{"name", K::Text}})},
             {RecordKind::DayPlanDefault, "DayPlanDefault", KeywordMatch::Exact, 5,
              with(with({{"weekday", K::Weekday}}, groupFirst), {{"day plan", K::PlanChoice}})},
             {RecordKind::SpecialWeek, "SWP", KeywordMatch::Exact, 11, specialWeek},
             {RecordKind::SpecialWeekEnd, "SWT", KeywordMatch::Exact, 7,
              with(date,
                   {{"hour", K::TimePart}, {"minute", K::TimePart}, {"second", K::TimePart}})},
         }},
        {DatabaseFileKind::Steps,
         "steps.csv",
         {
             {RecordKind::Step,
              "Step",
              KeywordMatch::Prefix,
              6,
              {{"day plan", K::StepPlan},
               {"group", K::Group},
               {"minutes", K::Minutes},
               {"master group", K::MasterGroup},
               {"command", K::Command}}},
         }},
        {DatabaseFileKind::Groups,
         "groups.csv",
         {
             {RecordKind::Group,
              "Group",
              KeywordMatch::Prefix,
              4,
              {{"master group", K::MasterGroup}, {"name", K::Text}, {"group", K::Group}}},
         }},
        {DatabaseFileKind::Locations,
         "locations.csv",
         {
             {RecordKind::Location, "Location", KeywordMatch::Prefix, 6,
              with(groupFirst, {{"type", K::Text},
                                {"name", K::Text},
                                {"location", K::Location},
                                {"connection", K::Address},
                                {"model", K::Model}})},
             {RecordKind::Ignore, "Ignore", KeywordMatch::Prefix, 4,
              with(groupFirst, {{"location", K::Location}})},
             {RecordKind::Imsi, "PhoneNumber", KeywordMatch::Prefix, 4,
              with(locationByMaster, {{"IMSI", K::Text}})},
             {RecordKind::Imsi, "IMSI", KeywordMatch::Prefix, 4,
              with(locationByMaster, {{"IMSI", K::Text}})},
             {RecordKind::Version, "Version", KeywordMatch::Prefix, 5,
              with(locationByMaster, {{"version", K::Text}})},
             {RecordKind::StriderTime, "StriderTime", KeywordMatch::Prefix, 5,
              with(locationByMaster, {{"Strider time code", K::StriderCode}})},
         }},
    };
}

}  // namespace

const std::vector<DatabaseFileLayout>& databaseFileLayouts() {
    static const std::vector<DatabaseFileLayout> layouts = makeLayouts();
    return layouts;
}

const RecordLayout* recordLayoutFor(const DatabaseFileLayout& file, std::string_view keyword) {
    for (const RecordLayout& r : file.records) {
        const std::string_view k = r.keyword;
        if (r.match == KeywordMatch::Exact ? keyword == k : keyword.substr(0, k.size()) == k)
            return &r;
    }
    return nullptr;
}

}  // namespace quirn
