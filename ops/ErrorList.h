#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ops/ErrorKinds.h"
#include "ops/ErrorRecord.h"
#include "ops/LogWriter.h"
#include "platform/Clock.h"
#include "platform/UnreadableFiles.h"
#include "platform/WorkingFolder.h"

namespace quirn {

class Location;

// Told of every new ErrorValidateLocation record (the technicians are mailed).
class ValidateFailureListener {
  public:
    virtual ~ValidateFailureListener() = default;
    virtual void notifyValidateFailure(const ErrorRecord& record) = 0;
};

// The station's lasting failures, newest first, kept in errors.csv between runs. One list is
// owned by the application; everything runs on the main thread.
class ErrorList {
  public:
    static constexpr const char* kFileName = "errors.csv";

    // errors.csv of `folder` holds the list; the Error log is in its log folder.
    ErrorList(const Clock& clock, WorkingFolder folder, ValidateFailureListener& listener);
    ErrorList(const ErrorList&) = delete;
    ErrorList& operator=(const ErrorList&) = delete;

    // Adds the record at the head unless an equal one is listed (an ErrorIPConnect with the
    // same address; else the same kind at the same location numbers), which is un-cleared
    // instead and the new record dropped. Only a record that was added is announced: an
    // ErrorValidateLocation to the listener, an ErrorIPConnect as an Error log line.
    // Returns true when the record was added.
    bool addError(std::unique_ptr<ErrorRecord> record);

    // Clears and drops every record of the location with these numbers (it was read again).
    void clearLocation(int masterGroup, int group, int location);
    void clearLocation(const Location& location);
    // Clears and drops the records of a kind whose text (address for ErrorIPConnect and
    // ErrorExtraLocation) equals value.
    void clearKindMatching(ErrorKind kind, std::string_view value);
    // Clears and drops the records of a kind at the location with these numbers.
    void clearKindAt(ErrorKind kind, int masterGroup, int group, int location);

    // What the communications layer reports for IP links.
    void recordIpConnectFailure(const std::string& address);
    void recordIpAnswered(std::string_view address);
    // What the read-back of a Passway time switch reports about its confirmation flag.
    void recordPasswayConfirmation(int masterGroup, int group, int location, bool errorFlag);

    // Replaces the list with the records of errors.csv (ErrorPWConfirm lines and lines that do
    // not parse are skipped); creates an empty file when there is none.
    void load();
    // The same from a text already read (no file is touched).
    void loadText(std::string_view text);
    // Writes every record, in list order, to errors.csv (whole-file replace). False when the
    // file could not be written.
    bool save() const;
    // The text save writes.
    std::string fileText() const;

    std::size_t size() const { return records_.size(); }
    // The record at index (0 = newest), or nullptr outside the list.
    const ErrorRecord* at(std::size_t index) const;
    std::size_t countOfKind(ErrorKind kind) const;
    // errors.csv when it was there but could not be read: save leaves it as it is.
    const UnreadableFiles& unreadableFiles() const { return unreadableFiles_; }

  private:
    ErrorRecord* findEqual(const ErrorRecord& record) const;
    void purge();

    const Clock& clock_;
    WorkingFolder folder_;
    LogWriter log_;
    ValidateFailureListener& listener_;
    std::vector<std::unique_ptr<ErrorRecord>> records_;  // newest first
    UnreadableFiles unreadableFiles_;
};

}  // namespace quirn
