#pragma once
#include <string>
#include <string_view>

#include "platform/UnreadableFiles.h"

namespace quirn {

// The settings kept in "profile.csv": one "Key,value" line each, written in this order.
struct Settings {
    std::string editorLocation = "c:\\windows\\notepad";
    int radioPort = 1;
    int textMode = 1;
    int readOnlyMode = 0;
    int validateOnPowerup = 0;
    int classicMode = 0;
    int validateMF = 0;
    int masterGroup = 1;
    // No real mail service is assumed: the technician sets the agency's server and sender.
    std::string server = "mail.example.com";
    std::string sender = "quirnradio@example.com";
    int hasMasterGroups = 0;
    std::string cityName = "Not Named";
    int sendTime3AM = 0;
    int enableM2M = 0;
    // "profile.csv" when it was there but could not be read: save leaves it as it is.
    UnreadableFiles unreadableFiles;

    // Defaults, then "profile.csv" (created empty when missing). Unknown keys and lines
    // without a value are ignored; a key given twice takes its last value; a master group
    // outside 1..10 becomes 1.
    void load(const std::string& path);
    // The same from a text already read: defaults, then the text's lines. The unreadable files
    // are kept as they are.
    void loadText(std::string_view text);
    // Writes all fourteen keys, replacing the file atomically; false when it cannot be written
    // or could not be read at load.
    bool save(const std::string& path) const;
    std::string fileText() const;

    // The current master group: 1 without master groups; values outside 1..10 read as 1 and
    // are stored back as 1.
    int currentMasterGroup();
    // Only with master groups; the caller saves the settings afterwards.
    bool setCurrentMasterGroup(int masterGroup);
    // The ten entries "Master Group 1" .. "Master Group 10".
    static std::string masterGroupListText(int masterGroup);
};

}  // namespace quirn
