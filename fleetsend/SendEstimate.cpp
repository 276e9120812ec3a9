#include "fleetsend/SendEstimate.h"

namespace quirn {

const char* sendLinkName(SendLink link) {
    switch (link) {
        case SendLink::Radio:
            return "radio";
        case SendLink::WiFi:
            return "WiFi";
        case SendLink::M2M:
            return "M2M client";
    }
    return "radio";
}

const char* sendStatusName(SendItem::Status status) {
    switch (status) {
        case SendItem::Status::Waiting:
            return "waiting";
        case SendItem::Status::InFlight:
            return "sending";
        case SendItem::Status::Sent:
            return "sent";
        case SendItem::Status::GivenUp:
            return "given up";
        case SendItem::Status::NotSent:
            return "not sent";
    }
    return "waiting";
}

std::string countOf(std::size_t n, const std::string& one, const std::string& many) {
    return groupedNumber(n) + " " + (n == 1 ? one : many);
}

std::string groupedNumber(std::size_t n) {
    std::string digits = std::to_string(n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

void SendEstimate::add(const SendItem& item) {
    if (item.status == SendItem::Status::GivenUp) {
        ++refused;
        return;
    }
    ++messages;
    bytes += item.bytes;
    if (item.kind == SendItem::Kind::GroupPages) {
        ++groupPages;
        radioBytes += item.bytes;
        locationsCovered += item.locations.size();
        return;
    }
    ++locationsCovered;
    switch (item.link) {
        case SendLink::Radio:
            ++radioLocations;
            radioBytes += item.bytes;
            break;
        case SendLink::WiFi:
            ++wifiLocations;
            break;
        case SendLink::M2M:
            ++m2mLocations;
            break;
    }
}

long long SendEstimate::airSeconds() const {
    return static_cast<long long>((radioBytes + kAirBytesPerSecond - 1) / kAirBytesPerSecond);
}

std::string SendEstimate::text() const {
    std::string out = countOf(messages, "message", "messages") + ", " +
                      countOf(bytes, "byte", "bytes") + ", to " +
                      countOf(locationsCovered, "location", "locations") + ".";
    if (groupPages + radioLocations > 0) {
        const long long seconds = airSeconds();
        out += "\nRadio: ";
        if (groupPages > 0) out += countOf(groupPages, "group paged", "groups paged") + ", ";
        if (radioLocations > 0)
            out += countOf(radioLocations, "location", "locations") + " one by one, ";
        out += countOf(radioBytes, "byte", "bytes") + ", " + std::to_string(seconds / 60) +
               " min " + std::to_string(seconds % 60) + " s on air at " +
               std::to_string(kAirBytesPerSecond) + " bytes/s.";
    }
    if (wifiLocations > 0)
        out += "\nWiFi: " + countOf(wifiLocations, "location", "locations") + ".";
    if (m2mLocations > 0)
        out += "\nM2M client: " + countOf(m2mLocations, "location", "locations") + ".";
    if (refused > 0)
        out += "\nCannot be sent: " + groupedNumber(refused) + " (listed with their reasons).";
    return out;
}

}  // namespace quirn
