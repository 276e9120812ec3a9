#include "comms/MailBodyEncoding.h"

namespace quirn {

namespace {

constexpr std::size_t kMaxSevenBitLine = 998;
constexpr std::size_t kMaxEncodedLine = 76;
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kSoftBreak = "=\r\n";
constexpr char kHexDigits[] = "0123456789ABCDEF";

bool isLineBreak(char c) {
    return c == '\r' || c == '\n';
}

bool isLiteral(unsigned char c) {
    return (c >= 0x21 && c <= 0x7E && c != '=') || c == ' ' || c == '\t';
}

std::string escaped(unsigned char c) {
    return std::string{'=', kHexDigits[c >> 4], kHexDigits[c & 0x0F]};
}

void appendEncodedLine(std::string& out, std::string_view line) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        const bool last = i + 1 == line.size();
        // A blank at the end of a line would be stripped on the way.
        const bool literal = isLiteral(c) && !(last && (c == ' ' || c == '\t'));
        const std::string piece = literal ? std::string(1, static_cast<char>(c)) : escaped(c);
        // The soft break's '=' counts: a piece goes on this line only when the line, the piece
        // and (unless it ends the line) that '=' fit.
        const std::size_t room = last ? kMaxEncodedLine : kMaxEncodedLine - 1;
        if (width + piece.size() > room) {
            out += kSoftBreak;
            width = 0;
        }
        out += piece;
        width += piece.size();
    }
    out += kLineEnd;
}

}  // namespace

BodyEncoding bodyEncodingFor(std::string_view body) {
    std::size_t lineLength = 0;
    for (char ch : body) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (isLineBreak(ch)) {
            lineLength = 0;
            continue;
        }
        if (c >= 0x80 || c == 0 || ++lineLength > kMaxSevenBitLine)
            return BodyEncoding::QuotedPrintable;
    }
    return BodyEncoding::SevenBit;
}

const char* bodyEncodingName(BodyEncoding encoding) {
    return encoding == BodyEncoding::SevenBit ? "7bit" : "quoted-printable";
}

std::string quotedPrintable(std::string_view body) {
    std::string out;
    out.reserve(body.size() + body.size() / 4 + kLineEnd.size());
    std::size_t start = 0;
    while (start < body.size()) {
        std::size_t end = start;
        while (end < body.size() && !isLineBreak(body[end])) ++end;
        appendEncodedLine(out, body.substr(start, end - start));
        // CR LF is one line end; a lone CR or LF is one too.
        if (end < body.size() && body[end] == '\r' && end + 1 < body.size() &&
            body[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return out;
}

}  // namespace quirn
