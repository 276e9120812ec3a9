#include "plans/CsvText.h"

namespace quirn {

std::string csvText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\r' || c == '\n') continue;
        out += c == ',' ? ' ' : c;
    }
    return out;
}

}  // namespace quirn
