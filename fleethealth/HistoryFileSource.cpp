#include "fleethealth/HistoryFileSource.h"

#include "fleethealth/ReadHistoryStore.h"

namespace quirn {

std::vector<LocationHealth> HistoryFileSource::latestOfEveryLocation() const {
    ReadHistoryStore store;
    if (!store.openForReading(path_)) return {};
    return store.latestOfEveryLocation();
}

std::vector<ReadRecord> HistoryFileSource::locationHistory(const LocationKey& location,
                                                           std::time_t since) const {
    ReadHistoryStore store;
    if (!store.openForReading(path_)) return {};
    return store.locationHistory(location, since);
}

}  // namespace quirn
