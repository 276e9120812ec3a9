#include "platform/TextLines.h"

#include <charconv>
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

CrLfWriter& CrLfWriter::number(long long v) {
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    (void)ec;
    out_.append(buf, end);
    return *this;
}

}  // namespace quirn
