#pragma once
// What the station-file fuzz targets share: the moment they load at, a folder never touched,
// and inputs made of a locations.csv text and a file's bytes.
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "plans/DatabaseFiles.h"
#include "plans/PlanDatabase.h"
#include "platform/WorkingFolder.h"

namespace quirn::fuzz {

inline constexpr std::time_t kNow = 1'773'646'200;  // 2026-03-16, a Monday morning

// Stores that need a folder get one that does not exist: only bytes go in and out.
inline WorkingFolder untouchedFolder() {
    return WorkingFolder("/nonexistent/quirn-fuzz/");
}

// The input up to its first NUL byte (the locations text) and what follows it (the file).
inline std::pair<std::string, std::string> locationsAndFile(std::string_view input) {
    const std::size_t nul = input.find('\0');
    if (nul == std::string_view::npos) return {std::string(input), std::string()};
    return {std::string(input.substr(0, nul)), std::string(input.substr(nul + 1))};
}

inline void loadLocations(PlanDatabase& db, const std::string& locations,
                          const std::optional<std::string>& snapshot = std::nullopt) {
    DatabaseTexts texts;
    texts.locations = locations;
    texts.snapshot = snapshot;
    loadDatabaseTexts(db, texts, kNow);
}

}  // namespace quirn::fuzz
