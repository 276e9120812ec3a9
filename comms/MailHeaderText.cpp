#include "comms/MailHeaderText.h"

#include <cstdint>

namespace quirn {

namespace {

constexpr const char* kUtf8 = "UTF-8";
constexpr const char* kWindows1252 = "windows-1252";
constexpr std::size_t kMaxEncodedWordLength = 75;
constexpr std::string_view kFoldedBreak = "\r\n ";
constexpr char kBase64Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
// Characters besides letters and digits that an atom may hold.
constexpr std::string_view kAtomSymbols = "!#$%&'*+-/=?^_`{|}~";

bool isContinuationByte(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

bool isPrintableAscii(unsigned char c) {
    return c >= 0x20 && c < 0x7F;
}

bool needsEncoding(std::string_view text) {
    for (unsigned char c : text)
        if (!isPrintableAscii(c) && c != '\t') return true;
    return false;
}

bool isAtomOrBlank(char c) {
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    return alnum || c == ' ' || c == '\t' || kAtomSymbols.find(c) != std::string_view::npos;
}

// A plain phrase goes as written; "=?" would make a mail program look for an encoded word.
bool isPlainPhrase(std::string_view name) {
    for (char c : name)
        if (!isAtomOrBlank(c)) return false;
    return name.find("=?") == std::string_view::npos;
}

std::string_view trimmed(std::string_view s) {
    const std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

std::string base64(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = bytes.size() - i < 3 ? bytes.size() - i : 3;
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k)
            group = (group << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k)
            out += k <= n ? kBase64Digits[(group >> (18 - 6 * k)) & 0x3F] : '=';
    }
    return out;
}

std::string quotedString(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + '"';
}

// The text as encoded words of charset (see encodedWords). A cut between two words goes after
// a blank where there is one: some mail programs wrongly keep the line break between two
// encoded words as a blank, and next to a blank that does least harm.
std::string encodedWordsIn(std::string_view text, const std::string& charset) {
    const bool utf8 = charset == kUtf8;
    const std::string prefix = "=?" + charset + "?B?";
    constexpr std::string_view kSuffix = "?=";
    // Whole groups of four base64 digits, each carrying three bytes.
    const std::size_t digits = (kMaxEncodedWordLength - prefix.size() - kSuffix.size()) / 4 * 4;
    const std::size_t bytesPerWord = digits / 4 * 3;

    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start + bytesPerWord < text.size() ? start + bytesPerWord : text.size();
        if (end < text.size()) {
            const std::size_t blank = text.rfind(' ', end - 1);
            if (blank != std::string_view::npos && blank > start) {
                end = blank + 1;
            } else if (utf8) {
                // Each word must decode on its own, so a character is never cut in two.
                while (end > start + 1 && isContinuationByte(static_cast<unsigned char>(text[end])))
                    --end;
            }
        }
        if (!out.empty()) out += kFoldedBreak;
        out += prefix + base64(text.substr(start, end - start)) + std::string(kSuffix);
        start = end;
    }
    return out;
}

// A display name that needs encoding, written as a mail program of today writes one: words
// that are plain atoms stay as they are, each run of other words becomes encoded words (the
// blanks inside a run encoded with it), so that no two encoded words meet where a blank of the
// name belongs.
std::string encodedPhrase(std::string_view name) {
    const std::string charset = charsetOf(name);
    std::string out;
    std::size_t start = 0;
    bool first = true;
    while (start <= name.size()) {
        std::size_t end = name.find(' ', start);
        if (end == std::string_view::npos) end = name.size();
        std::string_view word = name.substr(start, end - start);
        if (!first) out += ' ';
        first = false;
        if (isPlainPhrase(word)) {
            out += word;
            start = end + 1;
            continue;
        }
        // The run goes on while the next words need encoding too.
        std::size_t runEnd = end;
        while (runEnd < name.size()) {
            std::size_t nextEnd = name.find(' ', runEnd + 1);
            if (nextEnd == std::string_view::npos) nextEnd = name.size();
            const std::string_view next = name.substr(runEnd + 1, nextEnd - runEnd - 1);
            if (next.empty() || isPlainPhrase(next)) break;
            runEnd = nextEnd;
        }
        out += encodedWordsIn(name.substr(start, runEnd - start), charset);
        start = runEnd + 1;
    }
    return out;
}

}  // namespace

bool isValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        std::uint32_t value = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            length = 2;
            value = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            length = 3;
            value = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            length = 4;
            value = c & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if (!isContinuationByte(next)) return false;
            value = (value << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
        static constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

const char* charsetOf(std::string_view text) {
    return isValidUtf8(text) ? kUtf8 : kWindows1252;
}

std::string encodedWords(std::string_view text) {
    return encodedWordsIn(text, charsetOf(text));
}

std::string mailboxText(std::string_view name, std::string_view address) {
    const std::string angle = "<" + std::string(address) + ">";
    const std::string_view bare = trimmed(name);
    if (bare.empty()) return angle;
    if (isPlainPhrase(name)) return std::string(name) + angle;
    if (needsEncoding(bare)) return encodedPhrase(bare) + " " + angle;
    return quotedString(bare) + " " + angle;
}

std::string unstructuredText(std::string_view text) {
    if (!needsEncoding(text) && text.find("=?") == std::string_view::npos) return std::string(text);
    return encodedWords(text);
}

}  // namespace quirn
