#pragma once
#include "loader/AttachedReadBack.h"

namespace quirn {

class Clock;
class PlanDownload;

// The loader's read-back over the protocol's decoders and validation comparison: the QN510
// memory from the compact or raw reply, compared with what the station's paged texts put into
// a QN510; the program image compared with the group's image rebuilt for location 0. Only the
// program is compared here: the loader shows the clock beside it.
class ProtocolReadBack final : public AttachedReadBack {
  public:
    ProtocolReadBack(PlanDownload& download, const Clock& clock)
        : download_(download), clock_(clock) {}

    std::unique_ptr<Qn510Image> decodeQn510(const std::string& reply,
                                            std::time_t readTime) const override;
    bool qn510Matches(const ReadBackImage& image, Group& group) override;
    bool programImageMatches(const ProgramImage& image, Group& group) override;

  private:
    PlanDownload& download_;
    const Clock& clock_;
};

}  // namespace quirn
