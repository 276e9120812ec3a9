#pragma once
#include <string>
#include <string_view>

namespace quirn {

// A text field as the CSV files can hold it: there is no quoting, so a comma would split the
// record and a line break would end it. Commas become blanks and line breaks are dropped, so a
// stray character in a name can never shift or cut a stored record.
std::string csvText(std::string_view text);

}  // namespace quirn
