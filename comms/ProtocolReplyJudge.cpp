#include "comms/ProtocolReplyJudge.h"

#include <algorithm>
#include <span>

#include "plans/Location.h"
#include "plans/PasswayStore.h"
#include "platform/Clock.h"
#include "protocol/ReadBack.h"
#include "protocol/ReplyDecoders.h"

namespace quirn {

ProtocolReplyJudge::ProtocolReplyJudge(const Clock& clock, ReadBack& readBack,
                                       PlanDownload& download, PasswayStore* passway,
                                       const PlanDatabase* database)
    : clock_(clock),
      readBack_(readBack),
      download_(download),
      passway_(passway),
      database_(database) {}

ProtocolReplyJudge::Key ProtocolReplyJudge::keyOf(const Location& l) {
    return {l.masterGroup, l.group, l.number};
}

void ProtocolReplyJudge::resetProgress(Location& location) {
    progress_.erase(keyOf(location));
}

void ProtocolReplyJudge::reportProgress(Location& location, std::size_t received) {
    progress_[keyOf(location)] = received;
}

std::size_t ProtocolReplyJudge::receivedSoFar(const Location& location) const {
    auto it = progress_.find(keyOf(location));
    return it == progress_.end() ? 0 : it->second;
}

std::string ProtocolReplyJudge::progressText(const Location& location, std::size_t received) const {
    std::size_t expected = ReadBack::expectedReplySize(location, download_);
    if (location.isModel(TimeSwitchModel::LR40)) received = std::min(received, expected);
    return std::to_string(received) + " of " + std::to_string(expected) + " bytes";
}

bool ProtocolReplyJudge::isErrorReply(const Location&, const unsigned char*, std::size_t) const {
    return false;
}

FirstAnswer ProtocolReplyJudge::firstAnswer(const Location& location, const unsigned char* bytes,
                                            std::size_t count) const {
    if (!bytes || count == 0 || !location.isModel(TimeSwitchModel::Strider))
        return FirstAnswer::None;
    Qn510Image image = parseQN510Reply(bytes, count, clock_.now());
    if (!image.isValid()) return FirstAnswer::None;
    return image.strider() ? FirstAnswer::KeepsLog : FirstAnswer::NoLog;
}

bool ProtocolReplyJudge::isCompleteImage(const Location& location, const unsigned char* bytes,
                                         std::size_t count) const {
    if (!bytes || count == 0) return false;
    if (location.isModel(TimeSwitchModel::MX40))
        return count == kImageReplySize && parseLR40Reply(bytes, count).isValid();
    if (location.isModel(TimeSwitchModel::LR40)) return parseLR40Reply(bytes, count).isValid();
    return parseQN510Reply(bytes, count, clock_.now()).isValid();
}

bool ProtocolReplyJudge::acceptReply(Location& location, const unsigned char* bytes,
                                     std::size_t count) {
    progress_.erase(keyOf(location));
    return readBack_.onReadData(location, bytes, count, clock_.now()) == 1;
}

int ProtocolReplyJudge::takeLogBlock(Location& location, const unsigned char* bytes,
                                     std::size_t count) {
    if (!bytes) return -1;
    return readBack_.takeLogBlock(location, std::span<const uint8_t>(bytes, count));
}

void ProtocolReplyJudge::finishLog(Location&) {
    if (passway_ && database_) passway_->save(*database_, clock_.now());
}

}  // namespace quirn
