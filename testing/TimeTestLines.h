#pragma once
#include <ctime>
#include <string>
#include <vector>

namespace quirn {

// One line of the testing window's list: the time it was added and its text.
struct TimeTestLine {
    std::time_t time = 0;
    std::string text;
    // "%A, %B %d, %Y, %H:%M.%S: " and the text, as the list shows it.
    std::string shown() const;
};

// The lines as a CSV file: a header, then one row per line with its time (the list's prefix
// without the closing colon) and its text, each quoted, rows ending in CR LF.
std::string linesCsv(const std::vector<TimeTestLine>& lines);

}  // namespace quirn
