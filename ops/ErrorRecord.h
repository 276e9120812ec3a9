#pragma once
#include <ctime>
#include <string>

#include "platform/TextLines.h"

namespace quirn {

class LocationNames;

// The kinds of lasting failure the station records.
enum class ErrorKind {
    ValidateLocation,  // a time switch did not validate (carried in errors.csv)
    IPConnect,         // an IP address did not answer
    ExtraLocation,     // a location answered at an unexpected IP address (carried in errors.csv)
    PWConfirm,         // a Passway read-back carried its confirmation-error flag
};

// One lasting failure. The numbers name a location for the kinds that concern one; text is
// the kind's key or description (see each kind).
class ErrorRecord {
  public:
    static constexpr const char* kNoMailText = "No Error Email String Assigned";

    ErrorRecord(std::time_t time, int masterGroup, int group, int location, std::string text)
        : time(time),
          masterGroup(masterGroup),
          group(group),
          location(location),
          text(std::move(text)) {}
    virtual ~ErrorRecord() = default;

    virtual ErrorKind kind() const = 0;
    bool isKind(ErrorKind k) const { return kind() == k; }
    bool isAt(int mg, int g, int l) const {
        return masterGroup == mg && group == g && location == l;
    }

    // Appends the record's errors.csv line.
    virtual void writeCsv(CrLfWriter& out) const = 0;
    // The text mailed to technicians for this record.
    virtual std::string mailText(const LocationNames&) const { return kNoMailText; }

    std::time_t time;
    int masterGroup;
    int group;
    int location;
    bool cleared = false;
    std::string text;
};

}  // namespace quirn
