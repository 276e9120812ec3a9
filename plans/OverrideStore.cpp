#include "plans/OverrideStore.h"

#include <map>
#include <utility>

#include "plans/DatabaseFiles.h"
#include "plans/PlanPager.h"
#include "plans/PlanTypes.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/TextLines.h"

namespace quirn {

namespace {

// "Step,master group,group,location,minutes,command" and "Enabled,master group,group,location".
constexpr size_t kStepFields = 6;
constexpr size_t kEnabledFields = 4;
constexpr int kAllLocations = 0;

bool validGroup(int mg, int g) {
    return mg >= kMinMasterGroup && mg <= kMaxMasterGroup && g >= kMinGroup && g <= kMaxGroup;
}
bool validLocation(int location) {
    return location >= kAllLocations && location <= kMaxLocation;
}
bool validCommand(int command) {
    return command == kCommandOff || command == kCommandOn;
}

}  // namespace

OverrideStore::OverrideStore(const Clock& clock, WorkingFolder folder)
    : clock_(clock), folder_(std::move(folder)) {}

OverridePlan* OverrideStore::findPlan(int masterGroup, int group) {
    for (OverridePlan& p : plans_)
        if (p.masterGroup == masterGroup && p.group == group) return &p;
    return nullptr;
}

const OverridePlan* OverrideStore::find(int masterGroup, int group) const {
    for (const OverridePlan& p : plans_)
        if (p.masterGroup == masterGroup && p.group == group) return &p;
    return nullptr;
}

const OverridePlan* OverrideStore::findInForce(int masterGroup, int group) const {
    const OverridePlan* p = find(masterGroup, group);
    return p && p->inForce() ? p : nullptr;
}

void OverrideStore::parse(std::string_view text, OverrideLoadResult& result) {
    // Steps beyond a plan's limit, by the plan's index, for the caller's log.
    std::map<size_t, size_t> dropped;
    LineReader reader(text);
    std::string_view line;
    std::vector<std::string_view> f;
    while (reader.next(line)) {
        splitFields(line, f);
        const std::string_view key = f[0];
        if (key == "Step" && f.size() >= kStepFields) {
            const int mg = atoiField(f[1]), g = atoiField(f[2]), location = atoiField(f[3]);
            const int minutes = atoiField(f[4]), command = atoiField(f[5]);
            // A step without a time or with an unknown command could never be paged.
            if (!validGroup(mg, g) || !validLocation(location) || minutes < 0 ||
                !validCommand(command))
                continue;
            OverridePlan* plan = findPlan(mg, g);
            if (!plan) {
                OverridePlan fresh;
                fresh.masterGroup = mg;
                fresh.group = g;
                fresh.location = location;
                fresh.lastSent = neverTime();
                plans_.push_back(std::move(fresh));
                plan = &plans_.back();
            }
            const Step step = Step::atMinuteOfDay(mg, g, OverridePlan::kStepPlan, minutes, command);
            if (!plan->addStep(step)) ++dropped[static_cast<size_t>(plan - plans_.data())];
        } else if (key == "Enabled" && f.size() >= kEnabledFields) {
            if (OverridePlan* plan = findPlan(atoiField(f[1]), atoiField(f[2]))) {
                plan->state = OverridePlan::kEnabled;
                plan->lastSent = neverTime();
            }
        }
    }
    for (OverridePlan& p : plans_) p.sortSteps();
    for (const auto& [index, count] : dropped) {
        const OverridePlan& p = plans_[index];
        result.droppedSteps += count;
        result.messages.push_back("Override plan of master group " + std::to_string(p.masterGroup) +
                                  ", group " + std::to_string(p.group) + ": " +
                                  std::to_string(count) + " steps beyond " +
                                  std::to_string(OverridePlan::kMaxSteps) + " dropped");
    }
    result.plans = plans_.size();
}

OverrideLoadResult OverrideStore::loadText(std::string_view text) {
    plans_.clear();
    loadedDay_ = clock_.now();
    OverrideLoadResult result;
    parse(text, result);
    result.fileRead = true;
    return result;
}

OverrideLoadResult OverrideStore::load(OverrideLoadMode mode) {
    plans_.clear();
    loadedDay_.reset();
    OverrideLoadResult result;
    const std::string path = overrideFileName(folder_);
    const std::time_t now = clock_.now();
    // Only a regular file is read: a folder of that name would read as garbage.
    std::optional<std::string> text;
    if (fileExists(path)) text = readWholeFile(path);
    if (!text) {
        if (mode == OverrideLoadMode::Station && !folderExists(path)) touchFile(path);
        return result;
    }
    // Overrides never outlive their day. A file whose age cannot be told is not trusted either.
    const std::optional<std::time_t> written = fileModifiedTime(path);
    if (!written || !sameLocalDate(*written, now)) {
        result.staleFile = true;
        if (written && mode == OverrideLoadMode::Station) result.fileDeleted = removeFile(path);
        return result;
    }
    loadedDay_ = *written;
    parse(*text, result);
    result.fileRead = true;
    return result;
}

std::string OverrideStore::fileText() const {
    CrLfWriter out;
    for (const OverridePlan& p : plans_) {
        for (const Step& s : p.steps)
            out.line("Step", p.masterGroup, p.group, p.location, s.minuteOfDay(), s.command);
        if (p.inForce()) out.line("Enabled", p.masterGroup, p.group, p.location);
    }
    return out.take();
}

bool OverrideStore::save() const {
    return replaceFileAtomically(overrideFileName(folder_), fileText());
}

size_t OverrideStore::tick(PlanPager& pager) {
    const std::time_t now = clock_.now();
    size_t paged = 0;
    for (OverridePlan& p : plans_) {
        if (p.state != OverridePlan::kEnabled || now - p.lastSent < kResendSeconds) continue;
        const size_t batchBytes = pager.addOverride(p);
        p.lastSent = now;
        p.state = OverridePlan::kPaged;
        ++paged;
        if (batchBytes > kBatchLimit) break;
    }
    if (paged > 0) pager.queueOverrides();
    return paged;
}

bool OverrideStore::heldToday() const {
    return loadedDay_ && sameLocalDate(*loadedDay_, clock_.now());
}

bool OverrideStore::overrideInForce(int masterGroup, int group, std::time_t now) const {
    return loadedDay_ && sameLocalDate(*loadedDay_, now) && findInForce(masterGroup, group);
}

}  // namespace quirn
