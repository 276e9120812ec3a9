#pragma once
#include <array>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>

#include "plans/LocationReadState.h"
#include "plans/PlanTypes.h"
#include "plans/ProgramBytes.h"
#include "plans/ReadBackImage.h"

namespace quirn {

// Tells whether a connection address names a disabled entry of the connection table. The
// table itself belongs to the communications layer.
class ConnectionStatus {
  public:
    virtual ~ConnectionStatus() = default;
    virtual bool isDisabled(const std::string& address) const = 0;
};

// Holds a location's decoded read-back. A copy of a location starts without one: the image
// belongs to the time switch's last read, not to the record's data.
class ReadBackImageSlot {
  public:
    ReadBackImageSlot() = default;
    ReadBackImageSlot(const ReadBackImageSlot&) {}
    ReadBackImageSlot& operator=(const ReadBackImageSlot&) {
        image_.reset();
        return *this;
    }
    ReadBackImageSlot(ReadBackImageSlot&&) = default;
    ReadBackImageSlot& operator=(ReadBackImageSlot&&) = default;
    ReadBackImage* get() const { return image_.get(); }
    void reset(std::unique_ptr<ReadBackImage> image = nullptr) { image_ = std::move(image); }
    explicit operator bool() const { return image_ != nullptr; }

  private:
    std::unique_ptr<ReadBackImage> image_;
};

// One time switch of a group.
class Location {
  public:
    Location() = default;
    Location(int masterGroup, int group, int number);

    int masterGroup = 1;
    int group = 1;
    int number = 1;
    std::string name = "New Location";
    std::string connection = kRadioAddress;
    std::string imsi;
    std::string firmwareVersion = "X.XX";
    int32_t model = static_cast<int32_t>(TimeSwitchModel::QN510);

    // Read-back snapshot (kept in "Quirn Locations.bin").
    std::time_t lastReadTime = 0;
    std::time_t lastAttemptTime = 0;
    int32_t readState = 0;  // a ReadState
    int32_t programBytesReceived = 0;

    // Run-time fields that no file keeps.
    std::time_t readStateTime = 0;  // when the read state was last set
    int replyCount = 0;             // raised by the transports for every finished reply
    bool receivedData = false;      // a reply has been handed to the location
    bool changed = false;           // name or type changed by a merge
    bool passwayConfirm = false;    // confirmation flag of the last activation-log block
    ReadBackImageSlot image;        // latest decoded read-back, if any

    const std::string& type() const { return type_; }
    // Leading and trailing blanks are trimmed; an empty type is kept empty until it is saved.
    void setType(std::string_view type);

    int striderTimeCode() const { return striderTimeCode_; }
    void setStriderTimeCode(int code) { striderTimeCode_ = normaliseStriderCode(code); }
    int confirmedStriderTimeCode() const { return confirmedStriderTimeCode_; }
    void setConfirmedStriderTimeCode(int code) {
        confirmedStriderTimeCode_ = normaliseStriderCode(code);
    }
    bool hasDelayTimeError() const { return striderTimeCode_ != confirmedStriderTimeCode_; }

    // A location reached through a disabled connection always counts as validate-disabled;
    // asking sets the flag.
    bool isValidateDisabled(const ConnectionStatus* connections = nullptr);
    bool validateDisabledFlag() const { return validateDisabled_; }
    void setValidateDisabled(bool disabled) { validateDisabled_ = disabled; }

    // The location uses an address when its connection equals it or contains it.
    bool usesAddress(const std::string& address) const;

    // "%s, %d %s" or "Validate Disabled: %s, %d %s" (name, number, model in parentheses).
    std::string listText() const;
    bool isModel(TimeSwitchModel m) const { return model == static_cast<int32_t>(m); }

  private:
    std::string type_ = "School";
    int striderTimeCode_ = 0;
    int confirmedStriderTimeCode_ = 0;
    bool validateDisabled_ = false;

  public:
    // The raw program of the snapshot.
    ProgramBytes programBytes;
};

// 2005-01-01 12:00:00, the read and attempt time of a location never read.
std::time_t defaultLocationReadTime();

}  // namespace quirn
