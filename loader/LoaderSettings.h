#pragma once
#include <string>

namespace quirn {

class ProfileStore;
struct Settings;

// Profile store entries the loader and its utilities keep.
namespace loader_profile {
inline constexpr const char* kCommo = "Commo";
inline constexpr const char* kClock = "Clock";
inline constexpr const char* kPort = "Port";
inline constexpr const char* kMasterGroups = "Hmg";
inline constexpr const char* kBaud = "Baud";
inline constexpr const char* kType = "Type";
inline constexpr const char* kGroups = "Groups";
inline constexpr const char* kSort = "Sort";
inline constexpr int kDefaultPort = 1;
inline constexpr int kDefaultMasterGroups = 0;
inline constexpr int kDefaultType = 0;
inline constexpr int kDefaultSort = 1;
}  // namespace loader_profile

// The loader's settings in the two places the station keeps them: the profile store (port,
// master-groups copy, attached type, line rate) and the agency settings of "profile.csv"
// (radio port, master groups), which are saved whenever the loader changes them.
class LoaderSettings {
  public:
    // `settingsPath` is "profile.csv"; empty means the settings are never written.
    LoaderSettings(ProfileStore& profile, Settings& settings, std::string settingsPath);

    // Profile port, or its default 1.
    int port() const;
    // Stores the port in the profile and as the radio port setting, and saves the settings.
    void setPort(int comNumber);
    // The configured line rate: 4800 when the profile says 4800, else 2400.
    int configuredBaud() const;
    void setConfiguredBaud(int baud);
    int storedType() const;
    void storeType(int type);
    // The master-groups copy of the profile ("Hmg").
    int storedMasterGroups() const;
    void storeMasterGroups(int value);

    // Group lists sorted by their text (the default) rather than by number.
    bool sortGroupsByText() const;

    bool hasMasterGroups() const;
    // Sets the agency's master-groups switch and saves the settings.
    void setHasMasterGroups(bool on);
    // The current master group (1..10) and its change (only with master groups; saved).
    int currentMasterGroup();
    bool setCurrentMasterGroup(int masterGroup);

    // Copies the profile's port and master-groups entries into the settings, as the loader
    // does when it opens.
    void applyProfileToSettings();
    // Writes "profile.csv" (nothing when no path was given).
    void saveSettings() const;

    Settings& settings() { return settings_; }
    ProfileStore& profile() { return profile_; }

  private:
    ProfileStore& profile_;
    Settings& settings_;
    std::string settingsPath_;
};

}  // namespace quirn
