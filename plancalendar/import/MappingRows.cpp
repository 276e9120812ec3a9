#include "plancalendar/import/MappingRows.h"

#include <cctype>

namespace quirn::plancalendar {

std::string mappingKey(const std::string& summary) {
    size_t begin = 0, end = summary.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(summary[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(summary[end - 1]))) --end;
    std::string key = summary.substr(begin, end - begin);
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

std::vector<MappingRow> mappingRows(const std::vector<CalendarEvent>& events) {
    std::vector<MappingRow> rows;
    std::vector<std::string> keys;
    for (const CalendarEvent& event : events) {
        const std::string key = mappingKey(event.summary);
        size_t i = 0;
        while (i < keys.size() && keys[i] != key) ++i;
        if (i == keys.size()) {
            keys.push_back(key);
            rows.push_back({event.summary, 0, event.first, suggestAction(event)});
        }
        ++rows[i].events;
        if (event.first < rows[i].firstDay) rows[i].firstDay = event.first;
    }
    return rows;
}

}  // namespace quirn::plancalendar
