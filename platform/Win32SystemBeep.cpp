#include <windows.h>

#include "platform/SystemBeep.h"

namespace quirn {

bool systemBeep() {
    return MessageBeep(MB_OK) != 0;
}

}  // namespace quirn
