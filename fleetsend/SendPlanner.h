#pragma once
#include <cstddef>
#include <map>
#include <vector>

#include "fleetsend/SendEstimate.h"
#include "fleetsend/SendItem.h"
#include "fleetsend/SendSelection.h"

namespace quirn {

class Group;
class Location;
class PlanDatabase;
class PlanDownload;
class SendLedger;

// Turns a selection into the messages of a send, a slice of the database at a time so that the
// largest fleet never holds one tick: the QN510s of a group on the radio become one item of
// group pages, every other location an item of its own on its link. Sizes are those of the
// programming built now (an MX40 or LR40 image is the same size whatever it holds, so it is
// built once per model). Items that cannot be sent (no programming, longer than a message) are
// kept as given up, with the reason.
class SendPlanner {
  public:
    SendPlanner(PlanDatabase& database, PlanDownload& download, const SendLedger& ledger,
                SendSelection selection);

    // Looks at up to `limit` locations (or skipped groups); true once the whole database was
    // walked.
    bool step(std::size_t limit);
    bool done() const { return done_; }
    const SendSelection& selection() const { return selection_; }
    const SendEstimate& estimate() const { return estimate_; }
    std::vector<SendItem>& items() { return items_; }

    // The programming of an item as it is now (empty: nothing to send).
    static std::string groupPagesOf(PlanDownload& download, int masterGroup, int group);
    static std::string programmingOf(PlanDownload& download, const Location& location);

  private:
    void planGroup(Group& group, std::size_t& looked, std::size_t limit);
    void addLocation(const Location& location);
    std::size_t sizeOf(const Location& location);
    void finishGroupPages();
    void push(SendItem item);

    PlanDatabase& database_;
    PlanDownload& download_;
    const SendLedger& ledger_;
    SendSelection selection_;
    std::vector<SendItem> items_;
    SendEstimate estimate_;
    std::map<int, std::size_t> imageSize_;  // by model
    std::map<int, std::size_t> groupSize_;  // of the group being walked, by model
    std::size_t master_ = 0;
    std::size_t group_ = 0;
    std::size_t location_ = 0;
    SendItem pages_;  // the group pages of the group being walked
    bool done_ = false;
};

}  // namespace quirn
