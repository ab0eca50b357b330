// STUB: to be replaced by the keyboard work.
#include "devices/CKeyboard.h"

#include "bus/CIoBus.h"

bool CKeyboard::Init()
{
    bus.SetInputLatch(CIoBus::PORT_KEYBOARD, 0);
    return true;
}
void CKeyboard::KeyDown(std::uint8_t) {}
void CKeyboard::KeyUp(std::uint8_t) {}
void CKeyboard::FocusLost() {}
