#include "plans/Location.h"

#include "platform/LocalTime.h"
#include "platform/TextLines.h"

namespace quirn {

std::time_t defaultLocationReadTime() {
    static const std::time_t defaultTime = fromLocal(2005, 1, 1, 12, 0, 0);
    return defaultTime;
}

Location::Location(int mg, int g, int n) : masterGroup(mg), group(g), number(n) {
    lastReadTime = lastAttemptTime = readStateTime = defaultLocationReadTime();
}

void Location::setType(std::string_view type) {
    type_ = std::string(trimBlanks(type));
}

bool Location::isValidateDisabled(const ConnectionStatus* connections) {
    if (connections && connections->isDisabled(connection)) validateDisabled_ = true;
    return validateDisabled_;
}

bool Location::usesAddress(const std::string& address) const {
    return connection == address || connection.find(address) != std::string::npos;
}

std::string Location::listText() const {
    std::string text = name + ", " + std::to_string(number) + " " + modelListName(model);
    return validateDisabled_ ? "Validate Disabled: " + text : text;
}

}  // namespace quirn
