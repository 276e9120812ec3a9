#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "ops/ErrorRecord.h"

namespace quirn {

// A location that did not validate; text is its status text when it failed.
// errors.csv: "ErrorValidateLocation,<time>,<mg>,<g>,<l>, <text>"
class ErrorValidateLocation final : public ErrorRecord {
  public:
    static constexpr const char* kKeyword = "ErrorValidateLocation";
    ErrorValidateLocation(std::time_t time, int masterGroup, int group, int location,
                          std::string statusText)
        : ErrorRecord(time, masterGroup, group, location, std::move(statusText)) {}
    ErrorKind kind() const override { return ErrorKind::ValidateLocation; }
    void writeCsv(CrLfWriter& out) const override;
    // "Quirn Reports <name>,<number> Validate Failed at 14:05 Monday, December 07, 2026.";
    // only the time part once the location has left the database.
    std::string mailText(const LocationNames& names) const override;
};

// An IP address that did not answer; text is the address.
// errors.csv: "ErrorIPConnect,<time>,<address>"
class ErrorIPConnect final : public ErrorRecord {
  public:
    static constexpr const char* kKeyword = "ErrorIPConnect";
    ErrorIPConnect(std::time_t time, std::string address)
        : ErrorRecord(time, 0, 0, 0, std::move(address)) {}
    ErrorKind kind() const override { return ErrorKind::IPConnect; }
    void writeCsv(CrLfWriter& out) const override;
};

// A location that answered at another IP address; text is that address.
// errors.csv: "ErrorExtraLocation,<time>,<address>,<mg>,<g>,<l>"
class ErrorExtraLocation final : public ErrorRecord {
  public:
    static constexpr const char* kKeyword = "ErrorExtraLocation";
    ErrorExtraLocation(std::time_t time, std::string address, int masterGroup, int group,
                       int location)
        : ErrorRecord(time, masterGroup, group, location, std::move(address)) {}
    ErrorKind kind() const override { return ErrorKind::ExtraLocation; }
    void writeCsv(CrLfWriter& out) const override;
};

// A Passway time switch whose read-back carried its confirmation-error flag. Written to
// errors.csv ("ErrorPWConfirm,<time>,<mg>,<g>,<l>") but never loaded: it lasts one run.
class ErrorPWConfirm final : public ErrorRecord {
  public:
    static constexpr const char* kKeyword = "ErrorPWConfirm";
    ErrorPWConfirm(std::time_t time, int masterGroup, int group, int location)
        : ErrorRecord(time, masterGroup, group, location, std::string()) {}
    ErrorKind kind() const override { return ErrorKind::PWConfirm; }
    void writeCsv(CrLfWriter& out) const override;
};

// The record of one errors.csv line of the kinds that are carried between runs
// (ErrorIPConnect, ErrorExtraLocation, ErrorValidateLocation); nothing for any other line,
// for ErrorPWConfirm lines and for lines whose fields do not parse.
std::unique_ptr<ErrorRecord> parseErrorLine(std::string_view line);

}  // namespace quirn
