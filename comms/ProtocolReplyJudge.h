#pragma once
#include <cstddef>
#include <map>
#include <string>
#include <tuple>

#include "comms/ReplyJudge.h"

namespace quirn {

class Clock;
class PasswayStore;
class PlanDatabase;
class PlanDownload;
class ReadBack;

// The links' reply judging done by the protocol's read-back decoders: complete images and a
// Strider's first answer are recognised by decoding what has arrived, finished replies go to
// the read-back handler, activation-log blocks to it and the Passway store.
class ProtocolReplyJudge final : public ReplyJudge {
  public:
    // `passway` and `database` may be null: a finished activation log is then not saved.
    ProtocolReplyJudge(const Clock& clock, ReadBack& readBack, PlanDownload& download,
                       PasswayStore* passway = nullptr, const PlanDatabase* database = nullptr);

    void resetProgress(Location& location) override;
    void reportProgress(Location& location, std::size_t received) override;
    // "%d of %d bytes": received so far of the size expected for the location's model (for an
    // LR40 the received count is shown capped at the expected size).
    std::string progressText(const Location& location, std::size_t received) const override;
    // No reply form is defined as an error answer, so nothing is rejected.
    bool isErrorReply(const Location& location, const unsigned char* bytes,
                      std::size_t count) const override;
    // A Strider's compact reply; it keeps a log when its version letter marks a Strider.
    FirstAnswer firstAnswer(const Location& location, const unsigned char* bytes,
                            std::size_t count) const override;
    // By model: a valid QN510 reply (raw or compact), an MX40 image of exactly 968 bytes, an
    // LR40 image or 'S' sentence.
    bool isCompleteImage(const Location& location, const unsigned char* bytes,
                         std::size_t count) const override;
    bool acceptReply(Location& location, const unsigned char* bytes, std::size_t count) override;
    int takeLogBlock(Location& location, const unsigned char* bytes, std::size_t count) override;
    void finishLog(Location& location) override;

    // Bytes received so far for a location being read (0 when none reported).
    std::size_t receivedSoFar(const Location& location) const;

  private:
    using Key = std::tuple<int, int, int>;
    static Key keyOf(const Location& l);

    const Clock& clock_;
    ReadBack& readBack_;
    PlanDownload& download_;
    PasswayStore* passway_;
    const PlanDatabase* database_;
    std::map<Key, std::size_t> progress_;
};

}  // namespace quirn
