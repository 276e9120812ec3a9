#pragma once
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quirn {

// What spreadsheet programs put at the start of a UTF-8 file; readers take it off.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Splits text into lines; a line ends at CR LF, LF or CR, and a last line without an end counts.
// The views point into `text`. Lines are whole, however long. A UTF-8 byte-order mark at the
// start (spreadsheet programs save CSV files with one) is not part of the first line.
class LineReader {
  public:
    explicit LineReader(std::string_view text) : text_(text) {
        if (text_.substr(0, kByteOrderMark.size()) == kByteOrderMark) pos_ = kByteOrderMark.size();
    }
    // Next line without its end; false when the text is exhausted.
    bool next(std::string_view& line);

  private:
    std::string_view text_;
    size_t pos_ = 0;
};

// All lines of a text.
std::vector<std::string_view> splitLines(std::string_view text);

// Splits a line at every comma; empty fields keep their place ("a,,b" -> "a", "", "b").
std::vector<std::string_view> splitFields(std::string_view line, char separator = ',');
// The same into a caller's vector, reused across lines to avoid allocations.
void splitFields(std::string_view line, std::vector<std::string_view>& out, char separator = ',');

// Reads a number as the C library's atoi does: leading blanks, optional sign, digits; anything
// else (or nothing) reads as 0. Values beyond int range saturate instead of overflowing.
int atoiField(std::string_view field);

// Removes leading and trailing blanks (spaces and tabs).
std::string_view trimBlanks(std::string_view s);

// Appends a text as a field of a comma-separated line can hold it: there is no quoting, so a
// comma would split the record and a line break would end it. Commas become blanks and line
// breaks are dropped.
void appendCsvText(std::string& out, std::string_view text);

// The same into a buffer with room for text.size() characters; returns the count written.
size_t writeCsvText(char* out, std::string_view text);

// A text field for CrLfWriter::line that is written through appendCsvText.
struct CsvField {
    std::string_view text;
};

// Builds a text file whose lines end in CR LF, as the system's files are written. Text is
// written straight into a growing buffer that is never filled twice: a fleet's files are
// millions of fields.
class CrLfWriter {
  public:
    CrLfWriter() = default;
    CrLfWriter(CrLfWriter&&) = default;
    CrLfWriter& operator=(CrLfWriter&&) = default;

    CrLfWriter& text(std::string_view s) {
        // Before the first character the buffer is null, and memcpy takes no null pointer even
        // for no bytes (a file whose first line is empty).
        if (s.empty()) return *this;
        std::memcpy(room(s.size()), s.data(), s.size());
        used_ += s.size();
        return *this;
    }
    CrLfWriter& number(long long v);
    CrLfWriter& comma() {
        *room(1) = ',';
        ++used_;
        return *this;
    }
    CrLfWriter& endLine() {
        char* out = room(2);
        out[0] = '\r';
        out[1] = '\n';
        used_ += 2;
        return *this;
    }
    // Keyword, then each field preceded by a comma, then CR LF.
    template <typename... Fields>
    CrLfWriter& line(std::string_view keyword, const Fields&... fields) {
        text(keyword);
        (field(fields), ...);
        return endLine();
    }
    std::string_view str() const { return {buffer_.get(), used_}; }
    std::string take() {
        std::string out(buffer_.get(), used_);
        used_ = 0;
        return out;
    }
    void reserve(size_t n) {
        if (n > capacity_) grow(n);
    }
    // Empties the text and keeps the buffer for the next one.
    void clear() { used_ = 0; }

  private:
    // Room for n more characters at the end of what is written.
    char* room(size_t n) {
        if (used_ + n > capacity_) grow(std::max(capacity_ * 2, used_ + n + 256));
        return buffer_.get() + used_;
    }
    void grow(size_t capacity);
    void field(std::string_view s) { comma().text(s); }
    void field(CsvField f) {
        comma();
        used_ += writeCsvText(room(f.text.size()), f.text);
    }
    void field(const std::string& s) { comma().text(s); }
    void field(const char* s) { comma().text(s); }
    void field(int v) { comma().number(v); }
    void field(long v) { comma().number(v); }
    void field(long long v) { comma().number(v); }
    std::unique_ptr<char[]> buffer_;
    size_t capacity_ = 0;
    size_t used_ = 0;
};

}  // namespace quirn
