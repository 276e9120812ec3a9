#include "protocol/WeekCommands.h"

namespace quirn {

namespace {

constexpr char kDefaultWeekLetter = 'D';
constexpr char kWeekLetter = 'W';

}  // namespace

void WeekStepsCommand::encodeWeekSteps(std::string& out, const WeekDays& dayPlan) const {
    out += quirn::encodeWeekSteps(steps_, dayPlan);
}

std::string WeekStepsCommand::weekText() const {
    std::string data;
    encodeWeekSteps(data, dayPlan_);
    return data;
}

WeekDays DefaultWeekCommand::weekForDate(const WeekDays& defaultWeek, bool dateInAnnualPlan) {
    return dateInAnnualPlan ? WeekDays{} : defaultWeek;
}

std::string DefaultWeekCommand::bytes() const {
    return frame(kDefaultWeekLetter, weekText());
}

std::string SpecialWeekCommand::bytes() const {
    if (!changed_) return {};
    return frame(kWeekLetter, weekText());
}

void SummerWeekCommand::encodeWeekSteps(std::string& out, const WeekDays&) const {
    out += encodeCollected(collectSummerSteps(entries_));
}

std::string LocationWeekCommand::bytes() const {
    if (!found_) return {};
    return frame(kWeekLetter, weekText());
}

}  // namespace quirn
