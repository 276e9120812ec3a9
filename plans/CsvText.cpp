#include "plans/CsvText.h"

#include "platform/TextLines.h"

namespace quirn {

std::string csvText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    appendCsvText(out, text);
    return out;
}

}  // namespace quirn
