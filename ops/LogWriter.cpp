#include "ops/LogWriter.h"

#include <utility>

#include "plans/Location.h"
#include "platform/FileSystem.h"
#include "platform/Format.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"

namespace quirn {

namespace {

constexpr std::size_t kLongestLoggedReadBack = 1900;
constexpr unsigned char kFirstHighByte = 128;
constexpr const char* kTestFolder = "Test Folders";

std::string datedPart(const Clock& clock) {
    return formatLocal("Log_%B_%d_%Y.txt", clock.now());
}

// "HH:MM.SS," : the colon between hour and minute and the full stop before the seconds are the
// format other tools read these files with.
std::string plainPrefix(const LocalDateTime& t) {
    return format("%02d:%02d.%02d,", t.hour, t.minute, t.second);
}

// The log files are text files of the station's home system: every line feed of a record,
// those inside the message included, is written as CR LF.
void appendWithCrLf(std::string& record, std::string_view text) {
    for (char c : text) {
        if (c == '\n') record += '\r';
        record += c;
    }
}

std::string plainRecord(const Clock& clock, std::string_view message) {
    std::string record = plainPrefix(toLocal(clock.now()));
    appendWithCrLf(record, message);
    record += "\r\n";
    return record;
}

}  // namespace

LogWriter::LogWriter(WorkingFolder folder, Records records)
    : folder_(std::move(folder)), writes_(records == Records::Written) {}

void LogWriter::write(const std::string& path, const std::string& record) const {
    if (writes_) appendToFile(path, record);
}

std::string LogWriter::logFileName(const Clock& clock, std::string_view category) const {
    return folder_.logs() + std::string(category) + "_" + datedPart(clock);
}

std::string LogWriter::testLogFileName(const Clock& clock) const {
    return folder_.logs() + kTestFolder + pathSeparator() + "Test_" + datedPart(clock);
}

void LogWriter::logSystem(const Clock& c, std::string_view m) const {
    write(logFileName(c, kLogSystem), plainRecord(c, m));
}
void LogWriter::logSystemLines(const Clock& c, const std::vector<std::string>& messages) const {
    if (messages.empty()) return;
    std::string records;
    for (const std::string& m : messages) records += plainRecord(c, m);
    write(logFileName(c, kLogSystem), records);
}
void LogWriter::logValidate(const Clock& c, std::string_view m) const {
    write(logFileName(c, kLogValidate), plainRecord(c, m));
}
void LogWriter::logError(const Clock& c, std::string_view m) const {
    write(logFileName(c, kLogError), plainRecord(c, m));
}
void LogWriter::logEMail(const Clock& c, std::string_view m) const {
    write(logFileName(c, kLogEMail), plainRecord(c, m));
}

void LogWriter::logTest(const Clock& clock, std::string_view message) const {
    // The test area's folder is made by the testing window, never here: without it the record
    // is dropped.
    if (!folderExists(folder_.logs() + kTestFolder)) return;
    write(testLogFileName(clock), plainRecord(clock, message));
}

void LogWriter::logTransmit(const Clock& clock, std::string_view destination,
                            const unsigned char* bytes, std::size_t count) const {
    std::string message = "To: " + std::string(destination) + ",";
    for (std::size_t i = 0; i < count; ++i)
        if (bytes[i] < kFirstHighByte) message += static_cast<char>(bytes[i]);
    write(logFileName(clock, kLogTransmit), plainRecord(clock, message));
}

void LogWriter::logLocation(const Clock& clock, const Location& location,
                            const unsigned char* bytes, std::size_t count) const {
    LocalDateTime t = toLocal(clock.now());
    std::string identity =
        location.name + "," + std::to_string(location.number) +
        format(" %02d, %02d, %02d", location.masterGroup, location.group, location.number);
    std::string record =
        format("%02d:%02d,", t.hour, t.minute) + identity + "," + std::to_string(count) + ",";
    if (count > kLongestLoggedReadBack) {
        record += "Location read too long.\r\n";
    } else {
        if (count > 0) record.append(reinterpret_cast<const char*>(bytes), count);
        record += '\0';
    }
    write(logFileName(clock, kLogLocation), record);
}

}  // namespace quirn
