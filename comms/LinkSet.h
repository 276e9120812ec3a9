#pragma once
#include <cstddef>
#include <iterator>
#include <string>

#include "comms/CommoLink.h"
#include "comms/IpTable.h"

namespace quirn {

// Every link of the handler as one sequence: the radio port first, then the IP table's
// entries in table order. The one place that knows the radio is a single port and the IP
// entries live in the table; the handler loops over links without telling them apart.
class LinkSet {
  public:
    class Iterator {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = CommoLink;
        using difference_type = std::ptrdiff_t;
        using pointer = CommoLink*;
        using reference = CommoLink&;

        Iterator() = default;
        Iterator(const LinkSet* set, std::size_t index) : set_(set), index_(index) {}
        CommoLink& operator*() const { return set_->at(index_); }
        CommoLink* operator->() const { return &set_->at(index_); }
        Iterator& operator++() {
            ++index_;
            return *this;
        }
        Iterator operator++(int) {
            Iterator old = *this;
            ++index_;
            return old;
        }
        bool operator==(const Iterator& other) const { return index_ == other.index_; }

      private:
        const LinkSet* set_ = nullptr;
        std::size_t index_ = 0;
    };

    LinkSet(CommoLink& radio, const IpTable& table) : radio_(radio), table_(table) {}
    LinkSet(const LinkSet&) = delete;
    LinkSet& operator=(const LinkSet&) = delete;

    // The link with that address, or null.
    CommoLink* find(const std::string& address) const {
        if (address == radio_.address()) return &radio_;
        return table_.find(address);
    }
    std::size_t size() const { return 1 + table_.size(); }
    Iterator begin() const { return Iterator(this, 0); }
    Iterator end() const { return Iterator(this, size()); }

  private:
    CommoLink& at(std::size_t index) const {
        return index == 0 ? radio_ : *table_.entries()[index - 1];
    }

    CommoLink& radio_;
    const IpTable& table_;
};

}  // namespace quirn
