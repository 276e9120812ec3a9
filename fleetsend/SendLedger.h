#pragma once
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "plans/LocationKey.h"

namespace quirn {

// What the station last sent to each location and when, and whether its programming was
// edited since: the memory behind "changed since last sent", kept in a file of the working
// folder so that it outlives a restart. A location never sent counts as changed; an edit of a
// group marks every location of it changed; a location's entry is cleared of the mark only by a
// send that went out whole. Marks are written at once (losing one would leave an edited switch
// unsent); sends are written when a send ends or at the caller's pace (losing one only sends it
// again).
class SendLedger {
  public:
    static constexpr const char* kFileName = "sent.csv";

    struct Entry {
        std::time_t sentAt = 0;
        std::size_t bytes = 0;  // the location's own programming, or its group's pages
        bool changed = true;
    };

    // Reads the file (a missing one is an empty ledger); lines that cannot be read are
    // skipped and counted. False when the file is there but cannot be read.
    bool load(const std::string& path);
    // Writes the file whole, atomically; false (the old file stays) when it cannot be written.
    bool save();
    bool saveIfDirty() { return !dirty_ || save(); }
    // The file's text.
    std::string text() const;
    const std::string& path() const { return path_; }
    std::size_t skippedLines() const { return skipped_; }

    bool isChanged(const LocationKey& key) const;
    const Entry* find(const LocationKey& key) const;
    // Counts the marks made so far. A send takes the count when it builds a location's
    // programming: a mark made after that (an edit while the bytes were on their way) keeps the
    // location changed when the send is recorded, as what went out is no longer what it holds.
    std::uint64_t marks() const { return marks_; }
    // Records a send whose programming was built now.
    void recordSent(const LocationKey& key, std::time_t when, std::size_t bytes);
    // Records a send whose programming was built when marks() was `marksWhenBuilt`.
    void recordSent(const LocationKey& key, std::time_t when, std::size_t bytes,
                    std::uint64_t marksWhenBuilt);
    // Marks every location of the group changed (those never sent already count as changed).
    void markGroupChanged(int masterGroup, int group);
    void markAllChanged();
    bool dirty() const { return dirty_; }
    std::size_t size() const { return entries_.size(); }

  private:
    bool markedSince(const LocationKey& key, std::uint64_t marks) const;

    std::string path_;
    std::map<LocationKey, Entry> entries_;
    std::uint64_t marks_ = 0;
    std::uint64_t allMarkedAt_ = 0;
    std::map<std::pair<int, int>, std::uint64_t> groupMarkedAt_;
    std::size_t skipped_ = 0;
    bool dirty_ = false;
};

}  // namespace quirn
