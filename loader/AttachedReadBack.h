#pragma once
#include <ctime>
#include <memory>
#include <string>

namespace quirn {

class Group;
class ProgramImage;
class Qn510Image;
class ReadBackImage;

// What the loader needs from the read-back decoders and the validation comparison: the QN510
// memory from a reply, and whether what was read holds a group's program. The program image
// of the other types the loader takes itself (it is the 968 bytes as they came).
class AttachedReadBack {
  public:
    virtual ~AttachedReadBack() = default;
    // The QN510 memory from a reply to the 'R' request: exactly 776 raw bytes or a compact
    // reply, read at `readTime`. Null when the reply does not decode to a valid image. Never
    // reads past `reply`.
    virtual std::unique_ptr<Qn510Image> decodeQn510(const std::string& reply,
                                                    std::time_t readTime) const = 0;
    // True when a valid QN510 image holds what the station sends the group.
    virtual bool qn510Matches(const ReadBackImage& image, Group& group) = 0;
    // True when a valid program image holds the group's program (rebuilt for location 0).
    virtual bool programImageMatches(const ProgramImage& image, Group& group) = 0;
};

}  // namespace quirn
