#include "platform/TextLines.h"

#include <climits>

namespace quirn {

bool LineReader::next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    size_t end = pos_;
    const size_t size = text_.size();
    while (end < size && text_[end] != '\n' && text_[end] != '\r') ++end;
    if (end == size) {
        line = text_.substr(pos_);
        pos_ = text_.size();
        return true;
    }
    line = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    if (text_[end] == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    return true;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    LineReader reader(text);
    std::string_view line;
    while (reader.next(line)) lines.push_back(line);
    return lines;
}

void splitFields(std::string_view line, std::vector<std::string_view>& out, char separator) {
    out.clear();
    size_t start = 0;
    while (true) {
        size_t comma = line.find(separator, start);
        if (comma == std::string_view::npos) {
            out.push_back(line.substr(start));
            return;
        }
        out.push_back(line.substr(start, comma - start));
        start = comma + 1;
    }
}

std::vector<std::string_view> splitFields(std::string_view line, char separator) {
    std::vector<std::string_view> out;
    splitFields(line, out, separator);
    return out;
}

int atoiField(std::string_view field) {
    size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || field[i] == '\t' || field[i] == '\n' ||
                                field[i] == '\r' || field[i] == '\v' || field[i] == '\f'))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
    long long value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        value = value * 10 + (field[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

std::string_view trimBlanks(std::string_view s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

size_t writeCsvText(char* out, std::string_view text) {
    size_t n = 0;
    for (char c : text) {
        // Every character that needs care sorts at or below the comma; most text is above it.
        if (static_cast<unsigned char>(c) > ',') {
            out[n++] = c;
        } else if (c != '\r' && c != '\n') {
            out[n++] = c == ',' ? ' ' : c;
        }
    }
    return n;
}

void appendCsvText(std::string& out, std::string_view text) {
    size_t start = out.size();
    out.resize(start + text.size());
    out.resize(start + writeCsvText(out.data() + start, text));
}

CrLfWriter& CrLfWriter::number(long long v) {
    // Digits are made two at a time, backwards, into a small buffer.
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    char buf[24];
    char* end = buf + sizeof buf;
    char* p = end;
    unsigned long long magnitude =
        v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    while (magnitude >= 100) {
        const char* pair = kPairs + 2 * (magnitude % 100);
        magnitude /= 100;
        *--p = pair[1];
        *--p = pair[0];
    }
    if (magnitude >= 10) {
        const char* pair = kPairs + 2 * magnitude;
        *--p = pair[1];
        *--p = pair[0];
    } else {
        *--p = static_cast<char>('0' + magnitude);
    }
    if (v < 0) *--p = '-';
    const size_t length = static_cast<size_t>(end - p);
    char* out = room(length);
    for (size_t i = 0; i < length; ++i) out[i] = p[i];
    used_ += length;
    return *this;
}

void CrLfWriter::grow(size_t capacity) {
    std::unique_ptr<char[]> bigger(new char[capacity]);
    if (used_ > 0) std::memcpy(bigger.get(), buffer_.get(), used_);
    buffer_ = std::move(bigger);
    capacity_ = capacity;
}

}  // namespace quirn
