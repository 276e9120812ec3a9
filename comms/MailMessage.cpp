#include "comms/MailMessage.h"

#include <algorithm>

#include "comms/MailBodyEncoding.h"
#include "comms/MailHeaderText.h"

namespace quirn {

namespace {

constexpr char kRecipientSeparator = ';';
constexpr char kLineEnd[] = "\r\n";

std::string_view trimmedAddress(std::string_view s) {
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

bool endsWithLineEnd(std::string_view text) {
    return text.size() >= 2 && text.substr(text.size() - 2) == kLineEnd;
}

}  // namespace

bool dropLineBreaks(std::string& text) {
    auto newEnd =
        std::remove_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; });
    bool dropped = newEnd != text.end();
    text.erase(newEnd, text.end());
    return dropped;
}

bool MailMessage::addRecipients(std::string_view text) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(kRecipientSeparator, start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view piece = text.substr(start, end - start);
        start = end + 1;
        if (trimmedAddress(piece).empty()) continue;

        std::size_t open = piece.find('<');
        std::size_t close = piece.find('>');
        if (open == std::string_view::npos) {
            addRecipient(std::string(trimmedAddress(piece)), std::string());
            continue;
        }
        if (close != std::string_view::npos && close < open) return false;
        std::string_view address = close == std::string_view::npos
                                       ? piece.substr(open + 1)
                                       : piece.substr(open + 1, close - open - 1);
        addRecipient(std::string(trimmedAddress(address)), std::string(piece.substr(0, open)));
    }
    return true;
}

bool MailMessage::addRecipient(std::string address, std::string name) {
    recipients_.push_back(MailRecipient{std::move(address), std::move(name)});
    return true;
}

std::optional<MailRecipient> MailMessage::recipient(std::size_t index) const {
    if (index >= recipients_.size()) return std::nullopt;
    return recipients_[index];
}

std::string MailMessage::toText() const {
    std::string to;
    for (std::size_t i = 0; i < recipients_.size(); ++i) {
        if (i > 0) to += ',';
        to += mailboxText(recipients_[i].name, recipients_[i].address);
    }
    return to;
}

bool MailMessage::buildHeader(std::string_view date, std::string_view mailer) {
    // Line breaks go before the names are quoted or encoded, whose own folds must stay.
    bool dropped = false;
    MailMessage clean;
    for (const MailRecipient& r : recipients_) {
        MailRecipient c = r;
        dropped = dropLineBreaks(c.address) || dropped;
        dropped = dropLineBreaks(c.name) || dropped;
        clean.addRecipient(std::move(c.address), std::move(c.name));
    }
    std::string fields[] = {std::string(date), from, subject, messageId, std::string(mailer)};
    for (std::string& field : fields) dropped = dropLineBreaks(field) || dropped;
    const auto& [dateText, fromText, subjectText, idText, mailerText] = fields;
    const BodyEncoding encoding = bodyEncodingFor(body);
    header = "Date: " + dateText + kLineEnd + "From: " + fromText + kLineEnd +
             "To: " + clean.toText() + kLineEnd + "Subject: " + unstructuredText(subjectText) +
             kLineEnd;
    if (!idText.empty()) header += "Message-ID: " + idText + kLineEnd;
    header += std::string("MIME-Version: 1.0") + kLineEnd +
              "Content-Type: text/plain; charset=" + charsetOf(body) + kLineEnd +
              "Content-Transfer-Encoding: " + bodyEncodingName(encoding) + kLineEnd +
              "X-Mailer: <" + mailerText + ">" + kLineEnd + kLineEnd;
    return dropped;
}

std::string MailMessage::transparentBody() const {
    const std::string encoded =
        bodyEncodingFor(body) == BodyEncoding::QuotedPrintable ? quotedPrintable(body) : body;
    std::string out;
    out.reserve(encoded.size() + encoded.size() / 16 + 4);
    bool lineStart = true;
    for (char c : encoded) {
        if (lineStart && c == '.') out += '.';
        out += c;
        lineStart = c == '\n';
    }
    if (!endsWithLineEnd(out)) out += kLineEnd;
    return out;
}

}  // namespace quirn
