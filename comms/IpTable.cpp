#include "comms/IpTable.h"

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

void IpTable::reserve(std::size_t n) {
    entries_.reserve(n);
    index_.reserve(n);
}

void IpTable::stepAll() {
    for (auto& entry : entries_) entry->step();
}

}  // namespace quirn
