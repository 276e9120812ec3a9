#pragma once
#include <set>
#include <string>
#include <vector>

namespace quirn {

class UnreadableFiles;

// Which files the saves could not write, remembered across saves so that a full disk or a
// read-only folder is reported once when it starts, not at every save while it lasts.
class UnwrittenFilesReport {
  public:
    // Takes the files the stores could not write at their latest saves and returns those not
    // reported before, in order; files written again since are forgotten, so a later failure
    // of theirs is reported anew.
    std::vector<std::string> newlyUnwritten(const std::vector<const UnreadableFiles*>& stores);

  private:
    std::set<std::string> reported_;
};

}  // namespace quirn
