#pragma once
#include <string>

namespace quirn {

// printf-style formatting into a string (the target compilers have no <format>). The whole
// text comes back however long it is; a format the C library cannot apply gives "".
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace quirn
