#include "tools/quirnctl/SendReport.h"

#include <map>
#include <utility>

#include "fleetsend/SendEstimate.h"

namespace quirn::ctl {

std::string sendProgressLine(const SendProgress& progress) {
    std::string line = "sending: " + groupedNumber(progress.done()) + " of " +
                       groupedNumber(progress.total) + " done, " +
                       groupedNumber(progress.bytesSent) + " bytes";
    if (!progress.current.empty()) line += ", last handed over: " + progress.current;
    return line;
}

std::string sendItemLine(const SendItem& item) {
    std::string line = std::string(sendStatusName(item.status)) + ": " + item.name + " by " +
                       sendLinkName(item.link);
    if (item.link != SendLink::Radio) line += " " + item.address;
    if (!item.reason.empty()) line += ": " + item.reason;
    return line;
}

std::vector<std::string> groupOutcomeLines(const std::vector<SendItem>& items) {
    struct Outcome {
        std::size_t sent = 0;
        std::size_t givenUp = 0;
        std::size_t notSent = 0;
        std::size_t bytes = 0;
    };
    std::map<std::pair<int, int>, Outcome> byGroup;
    for (const SendItem& item : items) {
        Outcome& o = byGroup[{item.key.masterGroup, item.key.group}];
        switch (item.status) {
            case SendItem::Status::Sent:
                ++o.sent;
                o.bytes += item.bytes;
                break;
            case SendItem::Status::GivenUp:
                ++o.givenUp;
                break;
            // Whatever did not end as sent or given up counts as not sent: nothing half-sent
            // is reported as sent.
            case SendItem::Status::Waiting:
            case SendItem::Status::InFlight:
            case SendItem::Status::NotSent:
                ++o.notSent;
                break;
        }
    }
    std::vector<std::string> lines;
    lines.reserve(byGroup.size());
    for (const auto& [group, o] : byGroup)
        lines.push_back("group " + std::to_string(group.second) + " of master group " +
                        std::to_string(group.first) + ": " + std::to_string(o.sent) + " sent, " +
                        std::to_string(o.givenUp) + " given up, " + std::to_string(o.notSent) +
                        " not sent (" + groupedNumber(o.bytes) + " bytes)");
    return lines;
}

}  // namespace quirn::ctl
