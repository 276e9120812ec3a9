#pragma once
#include <ctime>
#include <string>
#include <vector>

#include "plans/ReadBackImage.h"
#include "protocol/Qn510Tables.h"

namespace quirn {

// What a QN510 or Strider reply decoded into: the switch's 776-byte memory, its firmware
// version and whether it is a Strider with a readable activation log. The switch reports only
// weekday, hour and minute, so its clock is read against the date and second of the read.
class Qn510Image : public ReadBackImage {
  public:
    Qn510Image() = default;
    Qn510Image(const Qn510Tables& tables, std::time_t readTime)
        : tables_(tables), readTime_(readTime) {}

    const Qn510Tables& tables() const { return tables_; }
    Qn510Tables& tables() { return tables_; }
    bool isValid() const { return tables_.isValid(); }
    bool strider() const { return strider_; }
    void setStrider(bool strider) { strider_ = strider; }
    std::time_t readTime() const { return readTime_; }
    void setReadTime(std::time_t t) { readTime_ = t; }

    int weekday() const;
    int hour() const;
    int minute() const;

    // The read date with the switch's hour and minute and the read's second; "never" when the
    // hour or minute is impossible.
    std::time_t clock() const override;
    std::string describeRelay() const override;
    std::vector<std::string> describeProgram() const override;
    // "Time Switch time is %H:%M.%S %A, %B %d, %Y." for the loader's clock line.
    std::string timeLine() const;

  private:
    Qn510Tables tables_;
    std::time_t readTime_ = 0;
    bool strider_ = false;
};

// The firmware version of a compact reply's version letter ("X.XX" for unknown letters) and
// whether the letter marks a Strider.
std::string firmwareVersion(char letter);
bool isStriderVersion(char letter);

}  // namespace quirn
