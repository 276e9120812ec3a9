#include "fleetsend/ui/SentLocations.h"

#include <algorithm>

namespace quirn {

std::vector<LocationKey> sentLocations(const std::vector<SendItem>& items) {
    std::vector<LocationKey> keys;
    for (const SendItem& item : items) {
        if (item.status != SendItem::Status::Sent) continue;
        if (item.kind == SendItem::Kind::GroupPages) {
            for (int number : item.locations)
                keys.push_back({item.key.masterGroup, item.key.group, number});
        } else {
            keys.push_back(item.key);
        }
    }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

}  // namespace quirn
