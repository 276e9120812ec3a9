#pragma once
#include <cstdio>
#include <string>

namespace quirn {

// printf-style formatting of one value (or a number and a text) into the loader's texts (no
// <format> on the target compilers). Texts longer than the buffer are cut, never overrun.
template <typename T>
std::string formatText(const char* format, T value) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

inline std::string formatText(const char* format, const std::string& value) {
    return formatText(format, value.c_str());
}

// A number and a text, as "COM %d is %s.".
inline std::string formatText(const char* format, int number, const std::string& text) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, number, text.c_str());
    return buffer;
}

}  // namespace quirn
