#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace quirn {

// Splits text into lines; a line ends at CR LF, LF or CR, and a last line without an end counts.
// The views point into `text`. Lines are whole, however long.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}
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

// Builds a text file whose lines end in CR LF, as the system's files are written.
class CrLfWriter {
public:
    CrLfWriter& text(std::string_view s) {
        out_.append(s);
        return *this;
    }
    CrLfWriter& number(long long v);
    CrLfWriter& comma() {
        out_ += ',';
        return *this;
    }
    CrLfWriter& endLine() {
        out_ += "\r\n";
        return *this;
    }
    // Keyword, then each field preceded by a comma, then CR LF.
    template <typename... Fields>
    CrLfWriter& line(std::string_view keyword, const Fields&... fields) {
        text(keyword);
        (field(fields), ...);
        return endLine();
    }
    const std::string& str() const { return out_; }
    std::string take() { return std::move(out_); }
    void reserve(size_t n) { out_.reserve(n); }

private:
    void field(std::string_view s) { comma().text(s); }
    void field(const std::string& s) { comma().text(s); }
    void field(const char* s) { comma().text(s); }
    void field(int v) { comma().number(v); }
    void field(long v) { comma().number(v); }
    void field(long long v) { comma().number(v); }
    std::string out_;
};

}  // namespace quirn
