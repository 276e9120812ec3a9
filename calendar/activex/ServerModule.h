#pragma once
#include <windows.h>

#include <string>

#include "calendar/DisplayState.h"
#include "platform/Clock.h"

namespace quirn::activex {

// What every object of the loaded module shares: its instance handle, the counts that decide
// whether a host may unload it, the calendars' display state (choosing a plan in one calendar
// highlights it in all of them) and the clock the calendars read "today" from.
class ServerModule {
  public:
    void setInstance(HINSTANCE instance) { instance_ = instance; }
    HINSTANCE instance() const { return instance_; }
    // The module's own file, written into the registry as the classes' server.
    std::wstring path() const;

    void objectCreated() { InterlockedIncrement(&objects_); }
    void objectDestroyed() { InterlockedDecrement(&objects_); }
    void lock(bool on) { on ? InterlockedIncrement(&locks_) : InterlockedDecrement(&locks_); }
    bool canUnload() const { return objects_ == 0 && locks_ <= 0; }

    calendar::DisplayState& displayState() { return display_; }
    const Clock& clock() const { return clock_; }

  private:
    HINSTANCE instance_ = nullptr;
    volatile LONG objects_ = 0;
    volatile LONG locks_ = 0;
    calendar::DisplayState display_;
    SystemClock clock_;
};

// The one module object of the loaded library: the entry points have nothing else to hand to
// the objects they make.
ServerModule& serverModule();

// Counts one live object for as long as it lives; a member of each object class.
class ObjectCount {
  public:
    ObjectCount() { serverModule().objectCreated(); }
    ~ObjectCount() { serverModule().objectDestroyed(); }
    ObjectCount(const ObjectCount&) = delete;
    ObjectCount& operator=(const ObjectCount&) = delete;
};

}  // namespace quirn::activex
