#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/TextLines.h"

namespace quirn {

// Notification kinds; bit n of a technician's mask enables kind n.
enum class NotificationKind : unsigned {
    ProgramStarted = 0,
    ProgramClosed = 1,      // no sender in this program; kept in the mask
    CommPortError = 2,      // no sender in this program; kept in the mask
    ConnectionFailure = 3,  // no sender in this program; kept in the mask
    ValidateFailure = 4,
};

constexpr std::uint32_t notificationBit(NotificationKind kind) {
    return std::uint32_t{1} << static_cast<unsigned>(kind);
}

// One technician who may be mailed. mail.csv: "MailUser,<name>,<address>,<kinds>,<onDuty>".
struct MailUser {
    static constexpr const char* kKeyword = "MailUser";
    // Reading copies a line into a buffer of this size, so longer lines are cut.
    static constexpr std::size_t kLineBufferSize = 200;

    std::string name;
    std::string address;
    std::uint32_t kinds = 0;
    bool onDuty = false;

    bool wants(NotificationKind kind) const { return onDuty && (kinds & notificationBit(kind)); }

    // The technician of one mail.csv line, or nothing when the keyword is wrong or any of the
    // four values is missing or not a number where one is needed.
    static std::optional<MailUser> parse(std::string_view line);
    // Appends the technician's mail.csv line (commas and line breaks left out of the texts).
    void writeCsv(CrLfWriter& out) const;
};

}  // namespace quirn
