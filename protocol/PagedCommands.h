#pragma once
#include <span>
#include <string>

#include "protocol/CommandVorn.h"
#include "protocol/WeekSteps.h"

namespace quirn {

// 'M': switch the relay by hand; data "1" ON, "0" OFF.
class ManualCommand : public PagedCommand {
  public:
    ManualCommand(int masterGroup, int group, int location, bool relayOn, bool hasMasterGroups)
        : PagedCommand(masterGroup, group, location, hasMasterGroups), relayOn_(relayOn) {}
    bool relayOn() const { return relayOn_; }
    std::string bytes() const override;

  private:
    bool relayOn_;
};

// 'R': read request. The bytes handed over are "X" and the framed text up to, not including,
// the end mark: the reader wants no "#" and no checksum.
class ReadCommand : public PagedCommand {
  public:
    ReadCommand(int masterGroup, int group, int location, bool hasMasterGroups)
        : PagedCommand(masterGroup, group, location, hasMasterGroups) {}
    std::string bytes() const override;
};

// 'O': the group's override for today, always to location "00". Empty data means the override
// exists but is not in force: then no message is built.
class OverrideCommand : public PagedCommand {
  public:
    OverrideCommand(int masterGroup, int group, std::string data, bool hasMasterGroups)
        : PagedCommand(masterGroup, group, 0, hasMasterGroups), data_(std::move(data)) {}
    const std::string& data() const { return data_; }
    std::string bytes() const override;

    // True for the override store states that mean "in force" (2, 3, 4).
    static bool isActiveState(int state);
    // The data of a group's override: "d" when the group has no override entry, "" when it
    // has one that is not in force, else "B" + step pair for each sendable step by minute.
    static std::string dataFor(bool hasEntry, bool active, std::span<const PlanStep> steps);

  private:
    std::string data_;
};

// 'B': ask a Strider for one block (0..19) of its activation log.
class PasswayLogRequestCommand : public PasswayCommand {
  public:
    static constexpr int kBlockCount = 20;
    // The block is taken modulo 20 (negative numbers wrap into 0..19 as well).
    PasswayLogRequestCommand(int masterGroup, int group, int location, int block,
                             bool hasMasterGroups);
    int block() const { return block_; }
    std::string bytes() const override;

  private:
    int block_;
};

// 'C': clear a Strider's activation log after every block was read.
class PasswayLogClearCommand : public PasswayCommand {
  public:
    PasswayLogClearCommand(int masterGroup, int group, int location, bool hasMasterGroups)
        : PasswayCommand(masterGroup, group, location, hasMasterGroups) {}
    std::string bytes() const override;
};

// 'E': a Strider's delay time code, one digit "0".."9" (codes outside 0..9 are sent as 0).
class DelayTimeCommand : public PasswayCommand {
  public:
    DelayTimeCommand(int masterGroup, int group, int location, int striderCode,
                     bool hasMasterGroups);
    char code() const { return code_; }
    std::string bytes() const override;

  private:
    char code_;
};

// The bare "@P#" page to every receiver: no numbers, no checksum.
class PageAllCommand : public CommandVorn {
  public:
    static constexpr const char* kText = "@P#";
    std::string bytes() const override { return kText; }
    // Text, so a NUL follows as with paged commands.
    size_t build(char* buffer, size_t capacity) const override;
};

// Seconds a Strider reports as its delay -> its time code (20 -> 1 ... 90 -> 9; 45 -> 4;
// anything else 0).
int striderCodeFromSeconds(int seconds);

}  // namespace quirn
