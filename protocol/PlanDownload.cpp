#include "protocol/PlanDownload.h"

#include <algorithm>
#include <cstring>

#include "platform/LocalTime.h"
#include "protocol/AnnualCalendar.h"
#include "protocol/Base62.h"
#include "protocol/PagedCommands.h"
#include "protocol/RecordCommands.h"
#include "protocol/SentenceCommands.h"
#include "protocol/TimeCommands.h"

namespace quirn {

namespace pi = program_image;

namespace {

constexpr int kWholeGroup = 0;
constexpr int kHighestImagePlan = 10;  // calendar values above this have no slot
constexpr int kNoSlot = 0;
constexpr int kLastSlot = static_cast<int>(pi::kPlanSlots);

// Sendable steps sorted by minute of day; steps at the same minute keep their order.
std::vector<PlanStep> sortedSteps(std::vector<PlanStep> steps) {
    std::erase_if(steps, [](const PlanStep& s) { return !isSendable(s); });
    std::stable_sort(steps.begin(), steps.end(), [](const PlanStep& a, const PlanStep& b) {
        return a.hour * kMinutesPerHour + a.minute < b.hour * kMinutesPerHour + b.minute;
    });
    return steps;
}

void writeSlot(ProgramImage& image, int slot, const std::vector<PlanStep>& steps) {
    int index = 0;
    for (const PlanStep& s : sortedSteps(steps)) {
        if (index >= static_cast<int>(pi::kStepsPerSlot)) break;
        image.writeStep(slot, index++, s.hour, s.minute, s.command == kCommandOn);
    }
}

std::vector<PlanStep> planSteps(const DayPlan& plan) {
    std::vector<PlanStep> out;
    for (const Step& s : plan.steps()) out.push_back({plan.plan(), s.hour, s.minute, s.command});
    return out;
}

}  // namespace

PlanDownload::PlanDownload(PlanDatabase& db, const Clock& clock, const Settings& settings,
                           const OverrideSource* overrides, const SummerSource* summer)
    : db_(db), clock_(clock), settings_(settings), overrides_(overrides), summer_(summer) {}

OverrideState PlanDownload::overrideOf(int masterGroup, int group) const {
    return overrides_ ? overrides_->overrideOf(masterGroup, group) : OverrideState{};
}

void PlanDownload::log(const std::string& line) const {
    if (systemLog_) systemLog_(line);
}

int PlanDownload::overrideSlot(const Group& group) {
    int found = kNoSlot;
    for (int slot = kLastSlot; slot >= 1 && found == kNoSlot; --slot)
        if (group.findDayPlan(slot) == nullptr) found = slot;
    // Plan 1 is the normal plan: rather than overwrite it, the override shares the top slot.
    return found == 1 ? kLastSlot : found;
}

void PlanDownload::buildImage(Group& group) {
    std::time_t now = clock_.now();
    std::time_t today = noonAfter(now, 0);
    OverrideState override = overrideOf(group.masterGroup(), group.number());

    std::vector<std::string>& texts = texts_[{group.masterGroup(), group.number()}];
    texts.clear();
    texts.push_back(defaultWeekText(group, kWholeGroup, today));
    if (override.hasEntry) {
        std::string o = overrideText(group);
        if (!o.empty()) texts.push_back(o);
    }
    std::string week = specialWeekText(group.masterGroup(), group.number(), kWholeGroup, today);
    if (!week.empty()) texts.push_back(week);

    if (!override.hasEntry && group.isImageCurrent()) {
        ProgramImage image(group.programImage());
        image.setLocation(kWholeGroup);
        image.writeClock(now + ProgramImage::kClockLead);
        group.programImage() = image.bytes();
        return;
    }
    group.setImageCurrent();
    rebuildImage(group, override);
}

void PlanDownload::rebuildImage(Group& group, const OverrideState& override) {
    std::time_t now = clock_.now();
    ProgramImage image;
    image.writeHeader(group.masterGroup(), group.number(), kWholeGroup);
    for (const auto& plan : group.dayPlans()) writeSlot(image, plan->plan(), planSteps(*plan));

    int slot = override.active ? overrideSlot(group) : kNoSlot;
    if (override.active && slot == kNoSlot)
        log("Override of " + group.title(hasMasterGroups()) +
            " not written into the program image: all nine day plans are in use.\n");
    bool overrideWritten = override.active && slot != kNoSlot;

    auto mapPlan = [&](int value) {
        if (value == kPlanOverride) return overrideWritten ? slot : 0;
        return value > kHighestImagePlan ? 0 : value;
    };
    int index = 0;
    if (overrideWritten) {
        LocalDateTime today = toLocal(now);
        image.writeAnnual(index++, today, today, slot > kHighestImagePlan ? 0 : slot);
    }
    for (const DatedRun& run : differingRuns(group, now, pi::kAnnualEntries, mapPlan)) {
        if (index >= static_cast<int>(pi::kAnnualEntries)) break;
        image.writeAnnual(index++, toLocal(run.start), toLocal(run.end), run.plan);
    }
    if (overrideWritten) {
        // The slot may hold plan 9 when the search fell back to it: the override alone goes in.
        image.clearSlot(slot);
        writeSlot(image, slot, override.steps);
    }
    image.writeDefaultWeek(weekDays(group.defaultWeek()));
    image.writeDaylightRule();
    image.writeClock(now + ProgramImage::kClockLead);
    image.writeTrailer();
    image.writeBuildStamp(now);
    group.programImage() = image.bytes();
}

ProgramImage PlanDownload::buildImageFor(Group& group, int location) {
    buildImage(group);
    ProgramImage image(group.programImage());
    image.setLocation(location);
    group.programImage() = image.bytes();
    return image;
}

ProgramImage PlanDownload::imageFor(const Location& location) {
    Group* group = db_.findGroup(location.masterGroup, location.group);
    if (group == nullptr)
        return ProgramImage::fresh(location.masterGroup, location.group, location.number,
                                   clock_.now());
    return buildImageFor(*group, location.number);
}

std::string PlanDownload::defaultWeekText(const Group& group, int location,
                                          std::time_t date) const {
    return defaultWeekCommand(group, location, date, hasMasterGroups()).text();
}

std::string PlanDownload::overrideText(const Group& group) const {
    OverrideState o = overrideOf(group.masterGroup(), group.number());
    return OverrideCommand(group.masterGroup(), group.number(),
                           OverrideCommand::dataFor(o.hasEntry, o.active, o.steps),
                           hasMasterGroups())
        .text();
}

std::string PlanDownload::summerWeekText(const Location& location) const {
    std::vector<SummerStep> steps;
    if (summer_)
        steps = summer_->summerSteps(location.masterGroup, location.group, location.number);
    return SummerWeekCommand(location.masterGroup, location.group, location.number,
                             hasMasterGroups(), std::move(steps))
        .text();
}

bool PlanDownload::summerInEffect(const Location& location) const {
    return summer_ != nullptr && summer_->summerInEffect(location.masterGroup, location.group,
                                                         location.number, clock_.now());
}

SpecialWeekCommand PlanDownload::weekCommand(const Group& group, int location,
                                             const SpecialWeek& week) const {
    return SpecialWeekCommand(group.masterGroup(), group.number(), location, hasMasterGroups(),
                              week.dayPlan, week.changed, groupSteps(group));
}

SpecialWeekCommand PlanDownload::currentWeekCommand(const Group& group, int location) const {
    std::time_t now = clock_.now();
    bool overrideToday = overrideOf(group.masterGroup(), group.number()).active;
    return weekCommand(group, location, scanWeek(group, now, now, overrideToday));
}

std::string PlanDownload::specialWeekText(int masterGroup, int group, int location,
                                          std::time_t date) {
    const Group* g = db_.findGroup(masterGroup, group);
    if (g == nullptr) return {};
    std::time_t now = clock_.now();
    bool overrideToday = overrideOf(masterGroup, group).active;
    // From the date back to its Sunday: the first day that needs a 'W' gives it.
    for (std::time_t day = noonAfter(date, 0);; day = noonAfter(day, -1)) {
        if (toLocal(day).weekday == kSunday)
            return weekCommand(*g, location, scanWeek(*g, day, now, overrideToday)).text();
        std::string text =
            weekCommand(*g, location, scanWeekFrom(*g, day, now, overrideToday)).text();
        if (!text.empty()) return text;
    }
}

std::string PlanDownload::annualChangeText(const Group& group, std::time_t date) const {
    if (!annualPlanStartsOn(group, date) && !annualPlanEndedDayBefore(group, date)) return {};
    return defaultWeekText(group, kWholeGroup, date);
}

size_t PlanDownload::locationProgram(const Location& location, char* buffer, size_t capacity) {
    size_t length = 0;
    auto append = [&](const std::string& message) {
        if (message.empty() || buffer == nullptr || message.size() > capacity - length) return;
        std::memcpy(buffer + length, message.data(), message.size());
        length += message.size();
    };
    std::time_t now = clock_.now();
    const Group* group = db_.findGroup(location.masterGroup, location.group);

    switch (static_cast<TimeSwitchModel>(location.model)) {
        case TimeSwitchModel::MX40:
            append(ProgramImageCommand(location.masterGroup, location.group, location.number,
                                       imageFor(location).bytes())
                       .bytes());
            return length;
        case TimeSwitchModel::LR40:
            append(ProgramSentenceCommand(location.masterGroup, location.group, location.number,
                                          imageFor(location).bytes())
                       .bytes());
            return length;
        case TimeSwitchModel::Strider:
            append(delayTimeCommand(location, hasMasterGroups()).text());
            break;
        case TimeSwitchModel::QN510:
            break;
    }
    append(TimeCommand(location.masterGroup, location.group, clock_, hasMasterGroups()).text());
    if (group == nullptr) {
        append(DefaultWeekCommand(location.masterGroup, location.group, location.number,
                                  hasMasterGroups(), WeekDays{}, {})
                   .text());
        OverrideState o = overrideOf(location.masterGroup, location.group);
        append(OverrideCommand(location.masterGroup, location.group,
                               OverrideCommand::dataFor(o.hasEntry, o.active, o.steps),
                               hasMasterGroups())
                   .text());
        return length;
    }
    append(defaultWeekText(*group, location.number, now));
    append(specialWeekText(location.masterGroup, location.group, location.number, now));
    append(overrideText(*group));
    return length;
}

size_t PlanDownload::groupProgram(int masterGroup, int group, char* buffer, size_t capacity) {
    const Group* g = db_.findGroup(masterGroup, group);
    if (g == nullptr || buffer == nullptr) return 0;
    bool hasQn510 = std::any_of(g->locations().begin(), g->locations().end(),
                                [](const auto& l) { return l->isModel(TimeSwitchModel::QN510); });
    if (!hasQn510) return 0;
    std::time_t now = clock_.now();
    size_t length = 0;
    for (const std::string& message : {defaultWeekText(*g, kWholeGroup, now),
                                       specialWeekText(masterGroup, group, kWholeGroup, now)}) {
        if (message.empty() || message.size() > capacity - length) continue;
        std::memcpy(buffer + length, message.data(), message.size());
        length += message.size();
    }
    return length;
}

std::vector<std::string> PlanDownload::pagedTexts(int masterGroup, int group) const {
    auto it = texts_.find({masterGroup, group});
    return it == texts_.end() ? std::vector<std::string>{} : it->second;
}

}  // namespace quirn
