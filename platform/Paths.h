#pragma once
#include <string>

namespace quirn {

// The path separator of this platform, as text.
const char* pathSeparator();

// Appends a separator when the folder does not end in one.
std::string withTrailingSeparator(std::string folder);

}  // namespace quirn
