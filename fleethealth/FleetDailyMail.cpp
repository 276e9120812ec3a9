#include "fleethealth/FleetDailyMail.h"

#include <chrono>
#include <utility>

#include "fleethealth/FleetMailText.h"
#include "fleethealth/FleetRows.h"
#include "fleethealth/FleetSummary.h"
#include "ops/ErrorList.h"
#include "ops/MailSender.h"
#include "ops/TechnicianList.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "platform/ProfileStore.h"

namespace quirn {

namespace {
constexpr int kMinutesPerHour = 60;
constexpr int kDayDigits = 100;

int dayNumber(const LocalDateTime& t) {
    return (t.year * kDayDigits + t.month) * kDayDigits + t.day;
}
}  // namespace

FleetDailyMail::FleetDailyMail(FleetMailParts parts) : parts_(parts) {
    if (parts_.profile) dayChecked_ = parts_.profile->getInt(kProfileSection, kProfileDayEntry, 0);
}

FleetDailyMail::~FleetDailyMail() {
    if (result_.valid()) result_.wait();
}

void FleetDailyMail::setMailAccount(std::string server, std::string senderAddress) {
    server_ = std::move(server);
    senderAddress_ = std::move(senderAddress);
}

void FleetDailyMail::minuteTick() {
    const std::time_t now = parts_.clock.now();
    const LocalDateTime t = toLocal(now);
    const int minutes = t.hour * kMinutesPerHour + t.minute;
    const int due = kMailHour * kMinutesPerHour + kMailMinute;
    if (checking() || dayNumber(t) == dayChecked_ || minutes < due ||
        minutes >= due + kLateStartMinutes)
        return;
    // The day counts as checked from its start: a check cut short by the end of the program
    // is not made again after a restart, so no technician gets the day's mail twice.
    dayChecked_ = dayNumber(t);
    if (parts_.profile) parts_.profile->writeInt(kProfileSection, kProfileDayEntry, dayChecked_);
    checkTime_ = now;
    slicer_.begin(parts_.db);
}

std::size_t FleetDailyMail::poll() {
    if (slicer_.building()) {
        if (slicer_.step(parts_.db, kSliceLocations)) startWorker();
        return 0;
    }
    if (result_.valid() && result_.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
        return collect();
    return 0;
}

std::size_t FleetDailyMail::finishCheck() {
    if (slicer_.building()) {
        slicer_.step(parts_.db, SIZE_MAX);
        startWorker();
    }
    return result_.valid() ? collect() : 0;
}

void FleetDailyMail::startWorker() {
    result_ = std::async(
        std::launch::async, [rows = slicer_.take(), errors = openErrorKeys(parts_.errors),
                             history = history_, now = checkTime_]() mutable {
            std::vector<LocationHealth> health;
            if (history) health = history->latestOfEveryLocation();
            joinFleetHealth(rows, health, errors);
            const FleetSummary summary = summarizeFleet(rows, now);
            Outcome outcome;
            if (!summary.anythingWrong()) return outcome;
            const std::vector<std::size_t> worst = worstRows(rows, kWorstCount);
            outcome.subject = fleetMailSubject(summary, worstRows(rows, rows.size()).size());
            outcome.body = fleetMailBody(rows, summary, worst, now);
            return outcome;
        });
}

std::size_t FleetDailyMail::collect() {
    const Outcome outcome = result_.get();
    if (outcome.body.empty()) return 0;
    std::size_t sent = 0;
    for (const MailUser& u : parts_.technicians.users()) {
        if (!u.wants(NotificationKind::ValidateFailure)) continue;
        OutgoingMail mail;
        mail.server = server_;
        mail.from = senderAddress_;
        mail.toAddress = u.address;
        mail.toName = u.name;
        mail.subject = outcome.subject;
        mail.body = outcome.body;
        mail.composedAt = checkTime_;
        parts_.sender.send(mail);
        ++sent;
    }
    return sent;
}

}  // namespace quirn
