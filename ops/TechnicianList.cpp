#include "ops/TechnicianList.h"

#include <utility>

#include "ops/LogWriter.h"
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
    const std::size_t unread = keptLineCount();
    if (unread > 0)
        LogWriter(folder_).logSystem(
            clock_, std::string(kFileName) + ": " + std::to_string(unread) +
                        (unread == 1 ? " line is" : " lines are") +
                        " not a technician the station can read; not mailed, kept as written.");
}

void TechnicianList::loadText(std::string_view text) {
    users_.clear();
    keptLines_.clear();
    LineReader reader(text);
    std::string_view line;
    while (reader.next(line)) {
        if (auto user = MailUser::parse(line))
            users_.push_back(std::move(*user));
        else
            // Someone wrote it, and a save must not take it from them. Empty lines are kept
            // too: every line stays where it was, so none can become the first line of the
            // file, where a reader would take a leading byte-order mark off it.
            keptLines_.push_back(KeptLine{users_.size(), std::string(line)});
    }
}

std::string TechnicianList::fileText() const {
    CrLfWriter out;
    auto kept = keptLines_.begin();
    for (std::size_t i = 0; i <= users_.size(); ++i) {
        for (; kept != keptLines_.end() && kept->techniciansBefore <= i; ++kept)
            out.text(kept->text).endLine();
        if (i < users_.size()) users_[i].writeCsv(out);
    }
    // A reader takes a byte-order mark off the start of the file: a kept first line that begins
    // with one gets a mark of the file's own in front, so that the line reads back whole.
    std::string text = out.take();
    if (text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0) text.insert(0, kByteOrderMark);
    return text;
}

bool TechnicianList::save() const {
    return unreadableFiles_.replace(folder_.file(kFileName), fileText());
}

std::size_t TechnicianList::keptLineCount() const {
    std::size_t count = 0;
    for (const KeptLine& kept : keptLines_) count += trimBlanks(kept.text).empty() ? 0 : 1;
    return count;
}

}  // namespace quirn
