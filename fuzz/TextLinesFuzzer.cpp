// The line and field splitter every station file goes through. Whatever the bytes: no line
// holds a line end, the lines never add up to more than the text, a line splits into one field
// more than it has commas and the fields with their commas give the line back, and a text
// written as a CSV field can hold no separator.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/TextLines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    quirn::LineReader reader(text);
    std::string_view line;
    std::size_t total = 0;
    std::vector<std::string_view> fields;
    while (reader.next(line)) {
        if (line.find_first_of("\r\n") != std::string_view::npos) std::abort();
        total += line.size();
        if (total > size) std::abort();
        quirn::splitFields(line, fields);
        std::size_t commas = 0;
        for (char c : line) commas += c == ',';
        if (fields.size() != commas + 1) std::abort();
        std::string joined;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0) joined += ',';
            joined += fields[i];
        }
        if (joined != line) std::abort();
        for (std::string_view field : fields) {
            (void)quirn::atoiField(field);
            std::string_view trimmed = quirn::trimBlanks(field);
            if (trimmed.size() > field.size()) std::abort();
        }
    }
    std::string csv;
    quirn::appendCsvText(csv, text);
    if (csv.size() > size || csv.find_first_of(",\r\n") != std::string::npos) std::abort();
    return 0;
}
