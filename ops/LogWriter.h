#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"
#include "platform/WorkingFolder.h"

namespace quirn {

class Location;

// Category words of the daily files.
inline constexpr const char* kLogSystem = "System";
inline constexpr const char* kLogTransmit = "Transmit";
inline constexpr const char* kLogValidate = "Validate";
inline constexpr const char* kLogError = "Error";
inline constexpr const char* kLogEMail = "EMail";
inline constexpr const char* kLogLocation = "Location";

// Daily log files, one per category and day, in a working folder's "LogFiles". Each call
// opens the day's file, appends one record with one write, and closes it again, so a crash
// loses at most the record being written and other programs can read the logs at any time.
// A log file that cannot be opened drops the record silently: logging never stops the station.
// The writer keeps nothing but the folder, so copies write to the same files.
class LogWriter {
  public:
    // Whether records reach the files: a tool that promises to leave a working folder as it
    // found it logs nowhere.
    enum class Records { Written, Dropped };
    explicit LogWriter(WorkingFolder folder, Records records = Records::Written);

    const WorkingFolder& folder() const { return folder_; }

    // Full path of today's file of a category ("<log folder>System_Log_December_06_2026.txt").
    std::string logFileName(const Clock& clock, std::string_view category) const;
    // Full path of today's test-area file ("<log folder>Test Folders/Test_Log_...txt").
    std::string testLogFileName(const Clock& clock) const;

    // One plain record "HH:MM.SS,<message>" + CR LF in the category's file of today.
    void logSystem(const Clock& clock, std::string_view message) const;
    // Several records at once, in one write: a thousand lines cost one open of the file.
    void logSystemLines(const Clock& clock, const std::vector<std::string>& messages) const;
    void logValidate(const Clock& clock, std::string_view message) const;
    void logError(const Clock& clock, std::string_view message) const;
    void logEMail(const Clock& clock, std::string_view message) const;
    // A plain record in the test file; dropped while the "Test Folders" folder is missing.
    void logTest(const Clock& clock, std::string_view message) const;

    // "To: <destination>," followed by the message bytes without those of value 128 or more.
    // destination is "Serial Port" for the radio port, else the connection's IP address.
    void logTransmit(const Clock& clock, std::string_view destination, const unsigned char* bytes,
                     std::size_t count) const;

    // One read-back of a location: "HH:MM,<name>,<number> MG, G, L,<count>," then the raw bytes
    // and a zero byte, or "Location read too long.\n" when more than 1900 bytes arrived.
    void logLocation(const Clock& clock, const Location& location, const unsigned char* bytes,
                     std::size_t count) const;

  private:
    void write(const std::string& path, const std::string& record) const;
    WorkingFolder folder_;
    bool writes_;
};

}  // namespace quirn
