#pragma once
#include <cstddef>
#include <string>

#include "fleetsend/SendItem.h"

namespace quirn {

// What a send will take, for the technician to confirm: messages and bytes per link, and the
// radio's air time at its rate.
struct SendEstimate {
    static constexpr std::size_t kAirBytesPerSecond = 250;

    std::size_t messages = 0;
    std::size_t bytes = 0;
    std::size_t groupPages = 0;      // groups paged by radio
    std::size_t radioLocations = 0;  // locations programmed one by one by radio
    std::size_t wifiLocations = 0;
    std::size_t m2mLocations = 0;
    std::size_t radioBytes = 0;
    std::size_t locationsCovered = 0;  // every location the send programs
    std::size_t refused = 0;           // items that cannot be sent (no programming, too long)

    void add(const SendItem& item);
    // The radio's busy time for its bytes, in seconds (rounded up).
    long long airSeconds() const;
    // "1,234 messages, 345,678 bytes to 5,000 locations; ..." one line per link in use.
    std::string text() const;
};

// "12,345" (thousands grouped).
std::string groupedNumber(std::size_t n);
// "1 location", "12,345 locations".
std::string countOf(std::size_t n, const std::string& one, const std::string& many);

}  // namespace quirn
