#include "comms/IpTable.h"

#include <algorithm>

namespace quirn {

IpConnection* IpTable::find(const std::string& address) const {
    auto it = index_.find(address);
    return it == index_.end() ? nullptr : it->second;
}

IpConnection* IpTable::add(IpServices services, const std::string& address) {
    auto [it, inserted] = index_.try_emplace(address, nullptr);
    if (!inserted) return nullptr;
    entries_.push_back(std::make_unique<IpConnection>(std::move(services), address, &busy_));
    it->second = entries_.back().get();
    return it->second;
}

std::unique_ptr<IpConnection> IpTable::take(const std::string& address) {
    auto it = index_.find(address);
    if (it == index_.end()) return nullptr;
    IpConnection* entry = it->second;
    index_.erase(it);
    auto pos = std::find_if(entries_.begin(), entries_.end(),
                            [entry](const auto& e) { return e.get() == entry; });
    std::unique_ptr<IpConnection> owned = std::move(*pos);
    entries_.erase(pos);
    return owned;
}

void IpTable::reserve(std::size_t n) {
    entries_.reserve(n);
    index_.reserve(n);
}

}  // namespace quirn
