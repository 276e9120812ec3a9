#include "plans/Settings.h"

#include <string_view>
#include <utility>

#include "plans/CsvText.h"
#include "plans/PlanTypes.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/TextLines.h"

namespace quirn {

namespace {

// One table drives both reading and writing, so the two can never disagree on a key.
struct KeyRow {
    const char* key;
    int Settings::*intField;
    std::string Settings::*textField;
};

constexpr KeyRow kKeys[] = {
    {"EditorLocation", nullptr, &Settings::editorLocation},
    {"RadioPort", &Settings::radioPort, nullptr},
    {"TextMode", &Settings::textMode, nullptr},
    {"ReadOnlyMode", &Settings::readOnlyMode, nullptr},
    {"ValidateOnPowerup", &Settings::validateOnPowerup, nullptr},
    {"ClassicMode", &Settings::classicMode, nullptr},
    {"ValidateMF", &Settings::validateMF, nullptr},
    {"MasterGroup", &Settings::masterGroup, nullptr},
    {"Server", nullptr, &Settings::server},
    {"Sender", nullptr, &Settings::sender},
    {"HasMasterGroups", &Settings::hasMasterGroups, nullptr},
    {"CityName", nullptr, &Settings::cityName},
    {"SendTime3AM", &Settings::sendTime3AM, nullptr},
    {"EnableM2M", &Settings::enableM2M, nullptr},
};

// The agency name may hold commas: it is everything after the first comma.
constexpr std::string_view kCityNameKey = "CityName";

}  // namespace

void Settings::load(const std::string& path) {
    unreadableFiles = UnreadableFiles{};
    const std::string text = unreadableFiles.loadText(path).value_or(std::string());
    loadText(text);
}

void Settings::loadText(std::string_view text) {
    UnreadableFiles kept = std::move(unreadableFiles);
    *this = Settings{};
    unreadableFiles = std::move(kept);
    LineReader reader(text);
    std::string_view line;
    while (reader.next(line)) {
        size_t comma = line.find(',');
        if (comma == std::string_view::npos) continue;
        std::string_view key = line.substr(0, comma);
        std::string_view rest = line.substr(comma + 1);
        std::string_view value = key == kCityNameKey ? rest : rest.substr(0, rest.find(','));
        if (value.empty()) continue;
        for (const KeyRow& row : kKeys) {
            if (key != row.key) continue;
            if (row.intField)
                this->*row.intField = atoiField(value);
            else
                this->*row.textField = std::string(value);
        }
    }
    // Read as 1 and stored back as 1, whether or not anything asks for it before the next save.
    if (masterGroup < kMinMasterGroup || masterGroup > kMaxMasterGroup)
        masterGroup = kMinMasterGroup;
}

std::string Settings::fileText() const {
    CrLfWriter out;
    for (const KeyRow& row : kKeys) {
        if (row.intField)
            out.line(row.key, this->*row.intField);
        else if (row.key == kCityNameKey)
            out.line(row.key, this->*row.textField);
        else
            out.line(row.key, csvText(this->*row.textField));
    }
    return out.take();
}

bool Settings::save(const std::string& path) const {
    return unreadableFiles.replace(path, fileText());
}

int Settings::currentMasterGroup() {
    if (!hasMasterGroups) return kMinMasterGroup;
    if (masterGroup < kMinMasterGroup || masterGroup > kMaxMasterGroup)
        masterGroup = kMinMasterGroup;
    return masterGroup;
}

bool Settings::setCurrentMasterGroup(int mg) {
    if (!hasMasterGroups || mg < kMinMasterGroup || mg > kMaxMasterGroup) return false;
    masterGroup = mg;
    return true;
}

std::string Settings::masterGroupListText(int mg) {
    return "Master Group " + std::to_string(mg);
}

}  // namespace quirn
