#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "ops/ErrorList.h"
#include "ops/LocationNames.h"
#include "ops/MailSender.h"
#include "ops/MailUser.h"
#include "platform/Clock.h"
#include "platform/UnreadableFiles.h"
#include "platform/WorkingFolder.h"

namespace quirn {

// The technicians and the notifications mailed to them. Only a technician on duty with the
// notification's kind enabled is mailed; mail goes out one message at a time and a failed
// one is not retried (the sender logs each attempt).
class TechnicianList final : public ValidateFailureListener {
  public:
    static constexpr const char* kFileName = "mail.csv";
    static constexpr const char* kSubject = "Message from Quirn Radio";
    static constexpr const char* kStartedFormat = "Quirn Radio Started at, %A, %B %d, %Y, %H:%M";

    // mail.csv of `folder` holds the technicians.
    TechnicianList(const Clock& clock, WorkingFolder folder, MailSender& sender,
                   const LocationNames& names);
    TechnicianList(const TechnicianList&) = delete;
    TechnicianList& operator=(const TechnicianList&) = delete;

    // The mail server and the sender address (the Server and Sender settings).
    void setMailAccount(std::string server, std::string senderAddress);

    // "Quirn Radio Started at, ..." to every technician on duty for ProgramStarted.
    void notifyStarted();
    // The record's mail text to every technician on duty for ValidateFailure.
    void notifyValidateFailure(const ErrorRecord& record) override;
    // One message to one technician: 0 when it went out, 1 when it failed.
    int sendTo(const MailUser& technician, const std::string& text);

    // Replaces the list with mail.csv's technicians; creates an empty file when there is
    // none. A line that is not a technician the station can read (a comment, a missing value,
    // a mask in hex, a quoted name...) is not used but kept: one System log line gives their
    // count.
    void load();
    // The same from a text already read (no file is touched, nothing is logged).
    void loadText(std::string_view text);
    // Writes the list to mail.csv (whole-file replace); false when it could not be written.
    // Technicians are written in their own form; each line kept at load goes back as it was
    // read, in its place among them (only its line end becomes CR LF, as every line's).
    bool save() const;
    // The text save writes.
    std::string fileText() const;
    // How many lines with text the last load kept without reading them (blank lines, kept
    // too, are not counted).
    std::size_t keptLineCount() const;

    void add(MailUser user) { users_.push_back(std::move(user)); }
    const std::vector<MailUser>& users() const { return users_; }
    // mail.csv when it was there but could not be read: save leaves it as it is.
    const UnreadableFiles& unreadableFiles() const { return unreadableFiles_; }

  private:
    void notifyAll(NotificationKind kind, const std::string& text);

    // A mail.csv line the station could not read, and how many technicians came before it.
    struct KeptLine {
        std::size_t techniciansBefore;
        std::string text;
    };

    const Clock& clock_;
    WorkingFolder folder_;
    MailSender& sender_;
    const LocationNames& names_;
    std::string server_;
    std::string senderAddress_;
    std::vector<MailUser> users_;
    std::vector<KeptLine> keptLines_;
    UnreadableFiles unreadableFiles_;
};

}  // namespace quirn
