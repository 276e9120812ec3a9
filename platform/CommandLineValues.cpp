#include "platform/CommandLineValues.h"

#include <climits>
#include <cstddef>

namespace quirn {

namespace {

constexpr size_t kShortDigits = 6;
constexpr int kMonths = 12;
constexpr int kLastHour = 23;
constexpr int kLastMinute = 59;
constexpr int kLastSecond = 59;
constexpr int kDecimal = 10;

// "YYYY-MM-DD HH:MM:SS": where the fields and separators of the fixed form sit.
constexpr size_t kFixedLength = 19;
struct Field {
    size_t at;
    size_t length;
};
constexpr Field kFixedFields[] = {{0, 4}, {5, 2}, {8, 2}, {11, 2}, {14, 2}, {17, 2}};
// The separator after each field but the last; a blank in the free form stands for any run of
// blanks, none included.
constexpr char kSeparators[] = {'-', '-', ' ', ':', ':'};
constexpr size_t kFixedSeparatorAt[] = {4, 7, 10, 13, 16};
constexpr size_t kFieldCount = 6;

// The blanks strtol and scanf skip in the "C" locale.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads one number of the form starting at `at` and moves `at` past its last digit. Nothing
// when no digit follows the sign, when the form's digit count is exceeded, or when the value
// is beyond long long.
std::optional<long long> readNumber(std::string_view text, size_t& at, NumberForm form) {
    size_t i = at;
    if (form == NumberForm::CLibrary)
        while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || (text[i] == '+' && form != NumberForm::Plain)))
        negative = text[i++] == '-';
    const unsigned long long limit =
        negative ? static_cast<unsigned long long>(LLONG_MAX) + 1 : LLONG_MAX;
    const size_t first = i;
    unsigned long long magnitude = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        const unsigned digit = static_cast<unsigned>(text[i] - '0');
        if (magnitude > (limit - digit) / kDecimal) return std::nullopt;
        magnitude = magnitude * kDecimal + digit;
    }
    const size_t digits = i - first;
    if (digits == 0 || (form == NumberForm::Short && digits > kShortDigits)) return std::nullopt;
    at = i;
    if (!negative) return static_cast<long long>(magnitude);
    return magnitude == limit ? LLONG_MIN : -static_cast<long long>(magnitude);
}

// The six fields of the fixed form, or nothing.
bool readFixed(std::string_view text, long long (&v)[kFieldCount]) {
    if (text.size() != kFixedLength) return false;
    for (size_t i = 0; i + 1 < kFieldCount; ++i)
        if (text[kFixedSeparatorAt[i]] != kSeparators[i]) return false;
    for (size_t i = 0; i < kFieldCount; ++i) {
        std::string_view field = text.substr(kFixedFields[i].at, kFixedFields[i].length);
        size_t at = 0;
        std::optional<long long> n = readNumber(field, at, NumberForm::Plain);
        if (!n || at != field.size()) return false;
        v[i] = *n;
    }
    return true;
}

// The six fields of the free form, or nothing.
bool readFree(std::string_view text, long long (&v)[kFieldCount]) {
    size_t at = 0;
    for (size_t i = 0; i < kFieldCount; ++i) {
        if (i > 0) {
            const char separator = kSeparators[i - 1];
            if (separator == ' ') {
                while (at < text.size() && isBlank(text[at])) ++at;
            } else {
                if (at >= text.size() || text[at] != separator) return false;
                ++at;
            }
        }
        std::optional<long long> n = readNumber(text, at, NumberForm::CLibrary);
        if (!n) return false;
        v[i] = *n;
    }
    return at == text.size();
}

bool within(long long v, long long lo, long long hi) {
    return v >= lo && v <= hi;
}

}  // namespace

std::optional<long long> parseWholeNumber(std::string_view text, long long lo, long long hi,
                                          NumberForm form) {
    size_t at = 0;
    std::optional<long long> v = readNumber(text, at, form);
    if (!v || at != text.size() || !within(*v, lo, hi)) return std::nullopt;
    return v;
}

std::optional<LocalDateTime> parseDateTime(std::string_view text, DateTimeForm form, int firstYear,
                                           int lastYear) {
    long long v[kFieldCount] = {};
    if (!(form == DateTimeForm::Fixed ? readFixed(text, v) : readFree(text, v)))
        return std::nullopt;
    if (!within(v[0], firstYear, lastYear) || !within(v[1], 1, kMonths) ||
        !within(v[3], 0, kLastHour) || !within(v[4], 0, kLastMinute) ||
        !within(v[5], 0, kLastSecond))
        return std::nullopt;
    LocalDateTime t;
    t.year = static_cast<int>(v[0]);
    t.month = static_cast<int>(v[1]);
    if (!within(v[2], 1, daysInMonth(t.year, t.month))) return std::nullopt;
    t.day = static_cast<int>(v[2]);
    t.hour = static_cast<int>(v[3]);
    t.minute = static_cast<int>(v[4]);
    t.second = static_cast<int>(v[5]);
    return t;
}

}  // namespace quirn
