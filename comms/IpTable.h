#pragma once
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "comms/IpConnection.h"

namespace quirn {

// The IP table: entries in insertion order, no two with the same address, found by address in
// constant time through an index kept beside the list. Owns its entries and the count of busy
// ones that the broadcast limit reads.
class IpTable {
  public:
    IpTable() = default;
    IpTable(const IpTable&) = delete;
    IpTable& operator=(const IpTable&) = delete;

    // The entry with that address, or null.
    IpConnection* find(const std::string& address) const;
    bool contains(const std::string& address) const { return index_.count(address) != 0; }
    // Appends a new entry for the address; null (nothing added) when it is already there.
    IpConnection* add(IpServices services, const std::string& address);

    // Takes the entry out of the table (null when the address is not there). While it still
    // counts as busy it keeps counting towards the table's busy count.
    std::unique_ptr<IpConnection> take(const std::string& address);

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    const std::vector<std::unique_ptr<IpConnection>>& entries() const { return entries_; }
    int busyCount() const { return busy_.value(); }
    void reserve(std::size_t n);

  private:
    BusyCount busy_;
    std::vector<std::unique_ptr<IpConnection>> entries_;
    std::unordered_map<std::string, IpConnection*> index_;
};

}  // namespace quirn
