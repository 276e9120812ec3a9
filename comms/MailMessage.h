#pragma once
#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quirn {

// One recipient of a mail: the address and the display name (may be empty).
struct MailRecipient {
    std::string address;
    std::string name;
};

// One plain-text mail as the SMTP client hands it over: sender, subject, body, recipients in
// order, and the header built just before sending.
class MailMessage {
  public:
    std::string from;
    std::string subject;
    std::string header;
    // When the mail was written (the Date header); 0 means when it is sent.
    std::time_t date = 0;
    // "<...@domain>"; the client makes one when it is empty.
    std::string messageId;
    std::string body;

    // Adds the recipients of a text such as "Ann Lee <ann@example.org>;bob@example.org":
    // pieces are split at ';'; "name<address>" gives both (a missing '>' takes the address to
    // the end of the piece), a piece without '<' is a bare address. A piece whose '>' comes
    // before its '<' stops the parse: false, and the later pieces are not added. Empty pieces
    // are skipped; blanks around an address are dropped, a name is kept as written.
    bool addRecipients(std::string_view text);
    // Appends one recipient; always true.
    bool addRecipient(std::string address, std::string name);
    std::size_t recipientCount() const { return recipients_.size(); }
    // The recipient at index, or nothing outside 0..count-1.
    std::optional<MailRecipient> recipient(std::size_t index) const;

    // The To text: each recipient as mailboxText gives it ("name<address>" for a plain name,
    // a quoted or encoded name and a blank otherwise), joined with ",".
    std::string toText() const;

    // Builds `header` from the date text and the mailer name: Date, From, To, Subject,
    // Message-ID, MIME-Version, Content-Type (text/plain and the body's charset),
    // Content-Transfer-Encoding and X-Mailer, then the empty line. A subject that is not
    // printable ASCII is encoded. Line breaks inside any field are dropped so that no field
    // can add header lines; the result says whether any had to be dropped.
    bool buildHeader(std::string_view date, std::string_view mailer);

    // The body as it goes on the wire after DATA: in its transfer encoding (quoted-printable
    // for a body that is not short lines of ASCII), ending in CR LF, and every line that
    // begins with "." given one more "." in front so that no body line can end the data early.
    std::string transparentBody() const;

  private:
    std::vector<MailRecipient> recipients_;
};

// Removes CR and LF from text; true when any was removed.
bool dropLineBreaks(std::string& text);

}  // namespace quirn
