#pragma once
#include <cstddef>
#include <functional>

#include "validationrun/RunSelection.h"

namespace quirn {

class Location;
class PlanDatabase;

// Walks the plan database in its own order a slice at a time, so that a run over the whole
// fleet never holds a tick for the full walk. Positions are indices into the database's lists:
// records added or deleted during the walk may be seen twice or missed, never read out of
// bounds.
class SelectionCursor {
  public:
    SelectionCursor(const PlanDatabase& database, RunSelection selection)
        : database_(database), selection_(selection) {}

    // Looks at up to `limit` locations (or skipped groups) from where the last call stopped and
    // hands each location of the selection to `take`. False once the whole database was walked.
    bool step(std::size_t limit, const std::function<void(Location&)>& take);
    bool done() const { return done_; }

  private:
    bool wantsMasterGroup(int number) const;
    bool wantsMasterGroupAndGroup(int masterGroup, int group) const;

    const PlanDatabase& database_;
    RunSelection selection_;
    std::size_t master_ = 0;
    std::size_t group_ = 0;
    std::size_t location_ = 0;
    bool done_ = false;
};

}  // namespace quirn
