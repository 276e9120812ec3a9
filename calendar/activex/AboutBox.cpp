#include "calendar/activex/AboutBox.h"

#include "calendar/ControlTexts.h"

namespace quirn::activex {

void showAboutBox(HWND owner) {
    MessageBoxA(owner, kAboutText, kAboutCaption, MB_OK | MB_ICONINFORMATION);
}

}  // namespace quirn::activex
