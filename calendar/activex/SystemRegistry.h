#pragma once
#include <string>
#include <vector>

#include "calendar/com/Registration.h"

namespace quirn::activex {

// Writes self-registration's entries below the system's HKEY_CLASSES_ROOT; false as soon as one
// key or value cannot be written.
bool writeClassesRoot(const std::vector<vorncal::RegistryEntry>& entries);
// Removes each key's whole tree; keys already gone are no failure.
bool removeClassesRootTrees(const std::vector<std::string>& keys);

}  // namespace quirn::activex
