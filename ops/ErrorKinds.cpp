#include "ops/ErrorKinds.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <vector>

#include "ops/LocationNames.h"
#include "platform/LocalTime.h"

namespace quirn {

namespace {

constexpr const char* kMailPrefix = "Quirn Reports ";
constexpr const char* kMailValidateFailed = " Validate Failed ";
constexpr const char* kMailTimeFormat = "at %H:%M %A, %B %d, %Y.";

// A text field must stay on its line and in its field.
std::string fileSafe(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

// A whole decimal number with optional sign and surrounding blanks, within the range of T.
template <typename T>
bool parseNumber(std::string_view field, T& value) {
    field = trimBlanks(field);
    if (!field.empty() && field.front() == '+') field.remove_prefix(1);
    if (field.empty()) return false;
    auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    return ec == std::errc() && end == field.data() + field.size();
}

struct LocationNumbers {
    int masterGroup = 0;
    int group = 0;
    int location = 0;
};

bool parseNumbers(std::string_view mg, std::string_view g, std::string_view l,
                  LocationNumbers& out) {
    return parseNumber(mg, out.masterGroup) && parseNumber(g, out.group) &&
           parseNumber(l, out.location);
}

bool parseTime(std::string_view field, std::time_t& time) {
    std::int32_t seconds = 0;  // the file keeps signed 32-bit seconds since 1970
    if (!parseNumber(field, seconds)) return false;
    time = static_cast<std::time_t>(seconds);
    return true;
}

std::unique_ptr<ErrorRecord> parseIpConnect(const std::vector<std::string_view>& f) {
    std::time_t time = 0;
    std::string_view address = f.size() == 3 ? trimBlanks(f[2]) : std::string_view();
    if (address.empty() || !parseTime(f[1], time)) return nullptr;
    return std::make_unique<ErrorIPConnect>(time, std::string(address));
}

std::unique_ptr<ErrorRecord> parseExtraLocation(const std::vector<std::string_view>& f) {
    std::time_t time = 0;
    LocationNumbers n;
    if (f.size() != 6 || trimBlanks(f[2]).empty() || !parseTime(f[1], time) ||
        !parseNumbers(f[3], f[4], f[5], n))
        return nullptr;
    return std::make_unique<ErrorExtraLocation>(time, std::string(trimBlanks(f[2])), n.masterGroup,
                                                n.group, n.location);
}

// The status text is the rest of the line (it may hold commas) after its one leading blank.
std::unique_ptr<ErrorRecord> parseValidateLocation(std::string_view line,
                                                   const std::vector<std::string_view>& f) {
    constexpr std::size_t kFieldsBeforeText = 5;
    std::time_t time = 0;
    LocationNumbers n;
    if (f.size() < kFieldsBeforeText + 1 || !parseTime(f[1], time) ||
        !parseNumbers(f[2], f[3], f[4], n))
        return nullptr;
    std::size_t textStart = 0;
    for (std::size_t i = 0; i < kFieldsBeforeText; ++i) textStart += f[i].size() + 1;
    std::string_view text = line.substr(textStart);
    if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    return std::make_unique<ErrorValidateLocation>(time, n.masterGroup, n.group, n.location,
                                                   std::string(text));
}

}  // namespace

void ErrorValidateLocation::writeCsv(CrLfWriter& out) const {
    out.text(kKeyword).comma().number(time).comma().number(masterGroup).comma().number(group);
    out.comma().number(location).comma().text(" ").text(fileSafe(text)).endLine();
}

std::string ErrorValidateLocation::mailText(const LocationNames& names) const {
    std::string result;
    if (auto name = names.locationName(masterGroup, group, location))
        result = kMailPrefix + *name + "," + std::to_string(location) + kMailValidateFailed;
    return result + formatLocal(kMailTimeFormat, time);
}

void ErrorIPConnect::writeCsv(CrLfWriter& out) const {
    out.line(kKeyword, static_cast<long long>(time), fileSafe(text));
}

void ErrorExtraLocation::writeCsv(CrLfWriter& out) const {
    out.line(kKeyword, static_cast<long long>(time), fileSafe(text), masterGroup, group, location);
}

void ErrorPWConfirm::writeCsv(CrLfWriter& out) const {
    out.line(kKeyword, static_cast<long long>(time), masterGroup, group, location);
}

std::unique_ptr<ErrorRecord> parseErrorLine(std::string_view line) {
    std::vector<std::string_view> fields = splitFields(line);
    std::string_view keyword = fields.front();
    if (keyword == ErrorIPConnect::kKeyword) return parseIpConnect(fields);
    if (keyword == ErrorExtraLocation::kKeyword) return parseExtraLocation(fields);
    if (keyword == ErrorValidateLocation::kKeyword) return parseValidateLocation(line, fields);
    return nullptr;
}

}  // namespace quirn
