#pragma once
#include <cstddef>
#include <string>

namespace quirn {

class Location;

// What a Strider's first answer to a read says.
enum class FirstAnswer {
    None,      // not a complete first answer
    NoLog,     // complete; the time switch keeps no activation log
    KeepsLog,  // complete; its activation log is to be read block by block
};

// Judges the bytes a link has collected for the location being read and hands finished replies
// to the location. The read-back decoders fill it; the links only ask. Every call takes the
// bytes collected so far; none keeps a pointer to them.
class ReplyJudge {
  public:
    virtual ~ReplyJudge() = default;
    // Starts a location's read progress afresh.
    virtual void resetProgress(Location& location) = 0;
    // Records how many bytes have arrived so far.
    virtual void reportProgress(Location& location, std::size_t received) = 0;
    // "%d of %d bytes" for the status line.
    virtual std::string progressText(const Location& location, std::size_t received) const = 0;
    // The time switch answered with an error.
    virtual bool isErrorReply(const Location& location, const unsigned char* bytes,
                              std::size_t count) const = 0;
    virtual FirstAnswer firstAnswer(const Location& location, const unsigned char* bytes,
                                    std::size_t count) const = 0;
    // A complete program image (either form) has arrived.
    virtual bool isCompleteImage(const Location& location, const unsigned char* bytes,
                                 std::size_t count) const = 0;
    // Hands a finished (or timed-out) reply to the location; true when the location takes it
    // as a reply of the expected size.
    virtual bool acceptReply(Location& location, const unsigned char* bytes, std::size_t count) = 0;
    // Takes one activation-log block; answers the next block to ask for, or -1 when the log is
    // complete.
    virtual int takeLogBlock(Location& location, const unsigned char* bytes, std::size_t count) = 0;
    // Saves the activation log read and updates the location's read status.
    virtual void finishLog(Location& location) = 0;
};

}  // namespace quirn
