#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quirn::sim {

// What a run of received bytes turned out to be.
enum class FrameKind {
    Paged,            // "@" ... "#" and four checksum characters
    PagedRead,        // "X" + "@" ... "o": the read request, no end mark, no checksum
    PageAll,          // "@P#"
    BcdTime,          // "$T" + 10 bytes
    BcdRelay,         // "$M" + 4 bytes
    ReadMx40,         // "C78" + 3 bytes
    ReadLr40,         // "C79" + 3 bytes
    ProgramSentence,  // "$S" ... (its own length field)
    QuerySentence,    // "$Q" + 3 bytes + "*hh" (8 bytes)
    BaudSentence,     // "$B000000A*hh"
    ProgramImage,     // "MX40" + 964 bytes, or 968 zero bytes (the image of a missing group)
    Acknowledge,      // "K"
    Junk,             // bytes that start no known message
};

const char* frameKindName(FrameKind kind);

struct Frame {
    FrameKind kind = FrameKind::Junk;
    std::string bytes;
};

// Cuts the byte stream from the station into whole messages. Like a receiver that always knows
// how many bytes it still needs: a message whose length is fixed waits for exactly that many,
// paged text waits for its end mark, the program sentence for its length field. Bytes that
// begin nothing known come out as Junk; a message left unfinished for too long is given up as
// Junk so that one lost byte cannot block the line for good.
class InputFramer {
  public:
    static constexpr size_t kMaxPending = 4000;  // no message of the protocol is longer
    static constexpr long long kStaleMs = 2000;  // an unfinished message is given up then

    // Adds bytes that arrived at host time `nowMs` and returns every message now complete.
    std::vector<Frame> push(std::string_view bytes, long long nowMs);
    // Gives up an unfinished message that has waited too long; returns it as Junk (or nothing).
    std::vector<Frame> expire(long long nowMs);
    size_t pendingCount() const { return pending_.size(); }

  private:
    // How long the message at the start of pending_ is: > 0 its length, 0 not known yet,
    // < 0 the first byte starts nothing (or a broken start) and is junk.
    long messageLength() const;
    void appendJunk(std::vector<Frame>& out, size_t count);

    std::string pending_;
    long long lastByteMs_ = 0;
};

}  // namespace quirn::sim
