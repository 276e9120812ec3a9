#pragma once
#include <string>

#include "platform/Clock.h"

namespace quirn::vorncal {

// Counts that decide whether the module may be unloaded: live objects (controls, property pages,
// class factories) and the hosts' LockServer calls.
void objectCreated();
void objectDestroyed();
void lockServer(bool lock);
bool canUnload();

// The clock of controls created without one.
const Clock& systemClock();

// The shared library's own file (absolute), written into the registry as its server.
std::string modulePath();

// Counts one live object for as long as it lives; a member of each object class.
class ObjectCount {
  public:
    ObjectCount() { objectCreated(); }
    ~ObjectCount() { objectDestroyed(); }
    ObjectCount(const ObjectCount&) = delete;
    ObjectCount& operator=(const ObjectCount&) = delete;
};

}  // namespace quirn::vorncal
