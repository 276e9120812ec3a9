#pragma once
#include <cstddef>
#include <string>

#include "protocol/WeekSteps.h"

namespace quirn {

// Root of every order the station gives a time switch. A command knows whom it addresses
// (master group, group, location; 0 = not given / all) and turns itself into the exact bytes
// that go on the air or on the wire.
class CommandVorn {
  public:
    static constexpr const char* kName = "CommandVorn Base Class";

    virtual ~CommandVorn() = default;

    const char* name() const { return kName; }
    int masterGroup() const { return masterGroup_; }
    int group() const { return group_; }
    int location() const { return location_; }

    // The whole message (possibly several paged messages back to back, possibly holding zero
    // bytes). Empty when there is nothing to send.
    virtual std::string bytes() const = 0;

    // Writes bytes() into buffer and returns how many were written. A message that does not
    // fit in `capacity` is not cut: nothing is written and 0 is returned. 0 also means there
    // was nothing to send.
    virtual size_t build(char* buffer, size_t capacity) const;

  protected:
    CommandVorn() = default;
    CommandVorn(int masterGroup, int group, int location)
        : masterGroup_(masterGroup), group_(group), location_(location) {}

  private:
    int masterGroup_ = 0;
    int group_ = 0;
    int location_ = 0;
};

// Commands carried as paged text (QN510 and Strider, by radio or the same text over IP).
class PagedCommand : public CommandVorn {
  public:
    // Writes the text and a NUL after it; needs room for both, returns the text length.
    size_t build(char* buffer, size_t capacity) const override;

    // The message as transports and logs take it: build() into a message buffer.
    std::string text() const;

    // Appends the week steps of the given seven day plans of this command's group.
    // Commands that carry no group steps append nothing.
    virtual void encodeWeekSteps(std::string& out, const WeekDays& dayPlan) const;

    bool hasMasterGroups() const { return hasMasterGroups_; }

  protected:
    PagedCommand(int masterGroup, int group, int location, bool hasMasterGroups)
        : CommandVorn(masterGroup, group, location), hasMasterGroups_(hasMasterGroups) {}

    // "@" or "@" + master group character for this command's master group.
    std::string prefix() const;
    // One message to this command's own numbers.
    std::string frame(char letter, std::string_view data) const;

  private:
    bool hasMasterGroups_ = false;
};

// Strider commands: paged text with the activation-log and delay-time letters.
class PasswayCommand : public PagedCommand {
  protected:
    using PagedCommand::PagedCommand;
};

// Fixed-length byte commands of the MX40 and LR40, numbers in packed BCD, no checksum.
class BcdCommand : public CommandVorn {
  protected:
    using CommandVorn::CommandVorn;
};

// "$" payload "*" XOR sentences of the LR40 and of the baud change.
class SentenceCommand : public CommandVorn {
  public:
    // The payload before framing.
    virtual std::string payload() const = 0;
    std::string bytes() const override;

  protected:
    using CommandVorn::CommandVorn;
};

}  // namespace quirn
