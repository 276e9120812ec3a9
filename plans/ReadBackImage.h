#pragma once
#include <ctime>
#include <string>
#include <vector>

namespace quirn {

// What a read-back decoded into: the time switch's program, relay and clock. The concrete
// images (QN510 tables, 968-byte program image) live with the protocol; a location only keeps
// the latest one for display and comparison.
class ReadBackImage {
  public:
    virtual ~ReadBackImage() = default;
    // Lines describing the program, for the location display and the loader.
    virtual std::vector<std::string> describeProgram() const = 0;
    // The relay state as a line of text.
    virtual std::string describeRelay() const = 0;
    // The time switch's clock, or the "never" time when the clock bytes are not a valid date.
    virtual std::time_t clock() const = 0;
    const std::string& version() const { return version_; }
    void setVersion(std::string v) { version_ = std::move(v); }

  private:
    std::string version_ = "X.XX";
};

}  // namespace quirn
