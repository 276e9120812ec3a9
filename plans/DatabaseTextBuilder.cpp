#include "plans/DatabaseTextBuilder.h"

#include <algorithm>
#include <utility>

#include "plans/DatabaseFileLines.h"
#include "plans/PlanDatabase.h"
#include "platform/LocalTime.h"
#include "platform/TextLines.h"

namespace quirn {

std::vector<DatabaseFile> DatabaseTextPieces::join() {
    std::vector<DatabaseFile> joined;
    for (File& file : files) {
        std::size_t size = 0;
        for (const std::string& piece : file.pieces) size += piece.size();
        std::string text;
        text.reserve(size);
        for (std::string& piece : file.pieces) {
            text += piece;
            std::string().swap(piece);
        }
        joined.push_back({std::move(file.path), std::move(text)});
    }
    return joined;
}

void DatabaseTextBuilder::begin(std::time_t now) {
    for (auto& part : parts_) part.clear();
    now_ = now;
    nextGroup_ = 0;
    building_ = true;
}

bool DatabaseTextBuilder::step(PlanDatabase& db, std::size_t locations, std::size_t groups) {
    if (!building_) return false;
    const std::vector<Group*> all = db.allGroups();
    const auto isLast = [&](const Group* g) {
        return g->masterGroup() == lastMasterGroup_ && g->number() == lastGroup_;
    };
    if (nextGroup_ > 0 && (nextGroup_ > all.size() || !isLast(all[nextGroup_ - 1]))) {
        // Groups were added or removed in front of the place: find it again.
        auto at = std::find_if(all.begin(), all.end(), isLast);
        if (at == all.end())
            begin(now_);  // the group is gone: only a fresh start is whole
        else
            nextGroup_ = static_cast<std::size_t>(at - all.begin()) + 1;
    }
    const std::time_t cutOff = datedPlanCutOff(now_);
    LocalDayCache days;
    CrLfWriter out[kPartCount];
    std::size_t wroteLocations = 0, wroteGroups = 0;
    while (nextGroup_ < all.size() && wroteLocations < locations && wroteGroups < groups) {
        Group& g = *all[nextGroup_++];
        writeLocationLines(out[kLocations], g);
        writeAnnualPlanLines(out[kAnnualPlans], g, cutOff, days);
        writeVacationPlanLines(out[kVacationPlans], g, cutOff, days);
        writeDayPlanNameLines(out[kDayPlanNames], g);
        writeDayPlanDefaultLines(out[kDayPlanDefaults], g);
        writeStepLines(out[kSteps], g);
        writeGroupLine(out[kGroups], g);
        wroteLocations += g.locations().size();
        ++wroteGroups;
        lastMasterGroup_ = g.masterGroup();
        lastGroup_ = g.number();
    }
    for (int part = 0; part < kPartCount; ++part)
        if (!out[part].str().empty()) parts_[part].push_back(out[part].take());
    return nextGroup_ >= all.size();
}

DatabaseTextPieces DatabaseTextBuilder::take(PlanDatabase& db, const WorkingFolder& folder) {
    CrLfWriter specialWeeks;
    writeSpecialWeekLines(specialWeeks, db);
    DatabaseTextPieces texts;
    texts.files.push_back({locationsFileName(folder), std::move(parts_[kLocations])});
    std::vector<std::string> dayPlans;
    for (Part part : {kAnnualPlans, kVacationPlans, kDayPlanNames, kDayPlanDefaults})
        for (std::string& piece : parts_[part]) dayPlans.push_back(std::move(piece));
    dayPlans.push_back(specialWeeks.take());
    texts.files.push_back({dayPlanFileName(folder), std::move(dayPlans)});
    texts.files.push_back({stepsFileName(folder), std::move(parts_[kSteps])});
    texts.files.push_back({groupsFileName(folder), std::move(parts_[kGroups])});
    for (auto& part : parts_) part.clear();
    building_ = false;
    return texts;
}

}  // namespace quirn
