#include "tools/quirnctl/Workspace.h"

#include <initializer_list>

#include "plans/DatabaseFiles.h"
#include "platform/FileSystem.h"
#include "tools/quirnctl/Cli.h"

namespace quirn::ctl {

std::optional<std::string> Workspace::load() {
    const std::string required[] = {dayPlanFileName(folder_), stepsFileName(folder_),
                                    groupsFileName(folder_), locationsFileName(folder_)};
    for (const std::string& path : required)
        if (!fileExists(path)) return "not a working folder: " + path + " is missing";
    // Settings::load creates a missing profile.csv: without one the defaults stand.
    if (fileExists(settingsFileName(folder_))) settings_.load(settingsFileName(folder_));
    loadDatabase(db_, folder_, clock_.now());
    overrides_.load(OverrideLoadMode::ReadOnly);
    db_.setOverrideQuery(&overrides_);
    summer_.load();
    if (fileExists(passwayFileName(folder_))) passway_.load(db_);
    // A file that is there but could not be read would make every output wrong (an empty week,
    // a resave that wipes it): nothing is done at all.
    for (const UnreadableFiles* files : std::initializer_list<const UnreadableFiles*>{
             &settings_.unreadableFiles, &db_.unreadableFiles(), &summer_.unreadableFiles(),
             &passway_.unreadableFiles()})
        if (!files->empty()) return "cannot read " + files->paths().front();
    download_ =
        std::make_unique<PlanDownload>(db_, clock_, settings_, &overrideSource_, &summerSource_);
    validation_ = std::make_unique<Validation>(*download_);
    readBack_ = std::make_unique<ReadBack>(*validation_, nullptr, &passway_);
    return std::nullopt;
}

std::optional<std::string> Workspace::findGroup(const std::string& mg, const std::string& g,
                                                Group*& group) {
    auto m = parseNumber(mg, kMinMasterGroup, kMaxMasterGroup);
    if (!m) return "bad master group number '" + mg + "' (1..10)";
    auto n = parseNumber(g, kMinGroup, kMaxGroup);
    if (!n) return "bad group number '" + g + "' (1..99)";
    group = db_.findGroup(*m, *n);
    if (group == nullptr)
        return "no group " + std::to_string(*n) + " in master group " + std::to_string(*m);
    return std::nullopt;
}

std::optional<std::string> Workspace::findLocation(const std::string& mg, const std::string& g,
                                                   const std::string& l, Location*& location) {
    Group* group = nullptr;
    if (auto error = findGroup(mg, g, group)) return error;
    auto n = parseNumber(l, kMinLocation, kMaxLocation);
    if (!n) return "bad location number '" + l + "' (1..99)";
    location = group->findLocation(*n);
    if (location == nullptr)
        return "no location " + std::to_string(*n) + " in group " +
               std::to_string(group->number()) + " of master group " +
               std::to_string(group->masterGroup());
    return std::nullopt;
}

}  // namespace quirn::ctl
