#pragma once
#include <functional>
#include <string>

#include "comms/CommsMessages.h"

namespace quirn {

class Clock;
class PlanDatabase;
class PlanDownload;
struct Settings;

// The messages of the communications layer built by the protocol's command classes from the
// plan records and the agency's settings.
class ProtocolMessages final : public CommsMessages {
  public:
    // Builds a location's complete programming; supplied by whoever owns the plan download.
    using ProgrammingBuilder = std::function<std::string(const Location&)>;

    // The complete programming of a location by its model, as the plan download builds it
    // (whole messages up to one message buffer).
    static ProgrammingBuilder fromPlanDownload(PlanDownload& download);

    ProtocolMessages(const Clock& clock, const PlanDatabase& database, const Settings& settings,
                     ProgrammingBuilder programming = {});

    std::string querySentence(const Location& location) const override;
    std::string readRequest(const Location& location) const override;
    std::string timeMessage(int masterGroup, int group) const override;
    std::string bcdTimeMessage(int masterGroup, int group) const override;
    std::string timeMessageAt(std::time_t when) const override;
    std::string bcdTimeMessageAt(std::time_t when) const override;
    std::string clockMessage(ClockMessage kind) const override;
    // Empty until a programming builder is supplied.
    std::string download(const Location& location) const override;
    std::string passwayLogRequest(const Location& location, int block) const override;
    std::string passwayLogClear(const Location& location) const override;

  private:
    bool hasMasterGroups() const;
    const Clock& clock_;
    const PlanDatabase& database_;
    const Settings& settings_;
    ProgrammingBuilder programming_;
};

}  // namespace quirn
