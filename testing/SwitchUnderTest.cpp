#include "testing/SwitchUnderTest.h"

#include "comms/CommoHandler.h"
#include "plans/PlanDatabase.h"
#include "protocol/BcdCommands.h"
#include "protocol/PlanDownload.h"
#include "protocol/ReadState.h"
#include "protocol/TimeCommands.h"

namespace quirn {

namespace {
constexpr long long kMsPerSecond = 1000;
}

SwitchUnderTest::SwitchUnderTest(const Clock& clock, CommoHandler& commo, PlanDatabase& database,
                                 PlanDownload& download)
    : clock_(clock),
      commo_(commo),
      database_(database),
      download_(download),
      validation_(download) {}

Location* SwitchUnderTest::location() const {
    return database_.findLocation(kMasterGroup, kGroup, kLocation);
}

bool SwitchUnderTest::reportsDateAndSeconds() const {
    const Location* l = location();
    return l != nullptr && isImageModel(l->model);
}

bool SwitchUnderTest::setClock(std::time_t when) {
    Location* l = location();
    if (l == nullptr) return false;
    std::string bytes =
        isImageModel(l->model)
            ? BcdTimeCommand(l->masterGroup, l->group, l->number, clock_, when).bytes()
            : TimeCommand(l->masterGroup, l->group, clock_, download_.hasMasterGroups(), when)
                  .bytes();
    commo_.enqueueFor(l->connection, bytes);
    return true;
}

bool SwitchUnderTest::startRead() {
    Location* l = location();
    reading_ = l != nullptr;
    if (!reading_) return false;
    repliesBefore_ = l->replyCount;
    commo_.startRead(*l);
    return true;
}

std::optional<SwitchReading> SwitchUnderTest::answer() const {
    const Location* l = location();
    if (!reading_ || l == nullptr || l->replyCount == repliesBefore_) return std::nullopt;
    auto state = static_cast<ReadState>(l->readState);
    if (state != ReadState::ValidatePassed && state != ReadState::ValidateFailed)
        return std::nullopt;
    return readingOf(*l);
}

bool SwitchUnderTest::stillReading() const {
    const CommoLink* link = commo_.connectionForLocation(location());
    return link != nullptr && link->isReading();
}

std::size_t SwitchUnderTest::startDownload() {
    return commo_.startDownload(location());
}

bool SwitchUnderTest::programMatches() {
    Location* l = location();
    return l != nullptr && (validation_.compare(*l) & kProgramMismatch) == 0;
}

long long SwitchUnderTest::onAirMs(std::size_t bytes) {
    const std::size_t rate = SerialPort::kAirBytesPerSecond;
    return static_cast<long long>((bytes + rate - 1) / rate) * kMsPerSecond;
}

}  // namespace quirn
