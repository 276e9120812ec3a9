#include "ops/TechnicianList.h"

#include <utility>

#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/TextLines.h"

namespace quirn {

TechnicianList::TechnicianList(const Clock& clock, WorkingFolder folder, MailSender& sender,
                               const LocationNames& names)
    : clock_(clock), folder_(std::move(folder)), sender_(sender), names_(names) {}

void TechnicianList::setMailAccount(std::string server, std::string senderAddress) {
    server_ = std::move(server);
    senderAddress_ = std::move(senderAddress);
}

void TechnicianList::notifyStarted() {
    notifyAll(NotificationKind::ProgramStarted, formatLocal(kStartedFormat, clock_.now()));
}

void TechnicianList::notifyValidateFailure(const ErrorRecord& record) {
    notifyAll(NotificationKind::ValidateFailure, record.mailText(names_));
}

void TechnicianList::notifyAll(NotificationKind kind, const std::string& text) {
    for (const MailUser& user : users_)
        if (user.wants(kind)) sendTo(user, text);
}

int TechnicianList::sendTo(const MailUser& technician, const std::string& text) {
    OutgoingMail mail;
    mail.server = server_;
    mail.from = senderAddress_;
    mail.toAddress = technician.address;
    mail.toName = technician.name;
    mail.subject = kSubject;
    mail.body = text;
    mail.composedAt = clock_.now();
    return sender_.send(mail);
}

void TechnicianList::load() {
    const std::string text =
        unreadableFiles_.loadText(folder_.file(kFileName)).value_or(std::string());
    loadText(text);
}

void TechnicianList::loadText(std::string_view text) {
    users_.clear();
    LineReader reader(text);
    std::string_view line;
    while (reader.next(line))
        if (auto user = MailUser::parse(line)) users_.push_back(std::move(*user));
}

std::string TechnicianList::fileText() const {
    CrLfWriter out;
    for (const MailUser& user : users_) user.writeCsv(out);
    return out.take();
}

bool TechnicianList::save() const {
    return unreadableFiles_.replace(folder_.file(kFileName), fileText());
}

}  // namespace quirn
