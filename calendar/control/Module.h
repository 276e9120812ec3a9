#pragma once
#include <string>

#include "calendar/DisplayState.h"
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

// What every control the loaded library makes shares: the display state, so that choosing a
// plan in one calendar highlights it in all of them.
class CalendarModule {
  public:
    calendar::DisplayState& displayState() { return display_; }

  private:
    calendar::DisplayState display_;
};

// The module object of the loaded library: its entry points have nothing else to hand to the
// objects they make.
CalendarModule& calendarModule();

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
