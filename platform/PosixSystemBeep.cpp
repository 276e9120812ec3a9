#include "platform/SystemBeep.h"

namespace quirn {

// The bell of an X or Wayland session belongs to the display server, which only the window
// toolkit talks to.
bool systemBeep() {
    return false;
}

}  // namespace quirn
