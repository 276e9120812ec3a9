#include "fleethealth/HistoryFileSource.h"

#include "fleethealth/ReadHistoryStore.h"

namespace quirn {

HistoryFileSource::HistoryFileSource(std::string path)
    : path_(std::move(path)), owner_(std::this_thread::get_id()) {}

HistoryFileSource::~HistoryFileSource() = default;

const ReadHistoryStore* HistoryFileSource::reader(std::unique_ptr<ReadHistoryStore>& fresh) const {
    if (std::this_thread::get_id() == owner_) {
        if (!ownReader_) {
            auto store = std::make_unique<ReadHistoryStore>();
            // A file not there yet (or unreadable) is asked again next time.
            if (!store->openForReading(path_)) return nullptr;
            ownReader_ = std::move(store);
        }
        return ownReader_.get();
    }
    fresh = std::make_unique<ReadHistoryStore>();
    return fresh->openForReading(path_) ? fresh.get() : nullptr;
}

std::vector<LocationHealth> HistoryFileSource::latestOfEveryLocation() const {
    std::unique_ptr<ReadHistoryStore> fresh;
    const ReadHistoryStore* store = reader(fresh);
    return store ? store->latestOfEveryLocation() : std::vector<LocationHealth>{};
}

std::vector<ReadRecord> HistoryFileSource::locationHistory(const LocationKey& location,
                                                           std::time_t since) const {
    std::unique_ptr<ReadHistoryStore> fresh;
    const ReadHistoryStore* store = reader(fresh);
    return store ? store->locationHistory(location, since) : std::vector<ReadRecord>{};
}

}  // namespace quirn
