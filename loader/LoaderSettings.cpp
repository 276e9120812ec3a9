#include "loader/LoaderSettings.h"

#include "plans/Settings.h"
#include "platform/ProfileStore.h"
#include "platform/SerialDevice.h"

namespace quirn {

using namespace loader_profile;

LoaderSettings::LoaderSettings(ProfileStore& profile, Settings& settings, std::string settingsPath)
    : profile_(profile), settings_(settings), settingsPath_(std::move(settingsPath)) {}

int LoaderSettings::port() const {
    return profile_.getInt(kCommo, kPort, kDefaultPort);
}

void LoaderSettings::setPort(int comNumber) {
    profile_.writeInt(kCommo, kPort, comNumber);
    settings_.radioPort = comNumber;
    saveSettings();
}

int LoaderSettings::configuredBaud() const {
    return profile_.getInt(kCommo, kBaud, kBaud2400) == kBaud4800 ? kBaud4800 : kBaud2400;
}

void LoaderSettings::setConfiguredBaud(int baud) {
    profile_.writeInt(kCommo, kBaud, baud == kBaud4800 ? kBaud4800 : kBaud2400);
}

int LoaderSettings::storedType() const {
    return profile_.getInt(kClock, kType, kDefaultType);
}

void LoaderSettings::storeType(int type) {
    profile_.writeInt(kClock, kType, type);
}

int LoaderSettings::storedMasterGroups() const {
    return profile_.getInt(kCommo, kMasterGroups, kDefaultMasterGroups);
}

void LoaderSettings::storeMasterGroups(int value) {
    profile_.writeInt(kCommo, kMasterGroups, value);
}

bool LoaderSettings::sortGroupsByText() const {
    return profile_.getInt(kGroups, kSort, kDefaultSort) == 1;
}

bool LoaderSettings::hasMasterGroups() const {
    return settings_.hasMasterGroups != 0;
}

void LoaderSettings::setHasMasterGroups(bool on) {
    settings_.hasMasterGroups = on ? 1 : 0;
    saveSettings();
}

int LoaderSettings::currentMasterGroup() {
    return settings_.currentMasterGroup();
}

bool LoaderSettings::setCurrentMasterGroup(int masterGroup) {
    if (!settings_.setCurrentMasterGroup(masterGroup)) return false;
    saveSettings();
    return true;
}

void LoaderSettings::applyProfileToSettings() {
    settings_.radioPort = port();
    settings_.hasMasterGroups = storedMasterGroups();
}

void LoaderSettings::saveSettings() const {
    if (!settingsPath_.empty()) settings_.save(settingsPath_);
}

}  // namespace quirn
