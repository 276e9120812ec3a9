#pragma once
#include <optional>
#include <string>

namespace quirn {

// Looks up a location's name by its numbers, for texts that name it. The plan database fills
// it; operations keep only numbers.
class LocationNames {
  public:
    virtual ~LocationNames() = default;
    // The location's name, or nothing when no such location is in the database.
    virtual std::optional<std::string> locationName(int masterGroup, int group,
                                                    int location) const = 0;
};

}  // namespace quirn
