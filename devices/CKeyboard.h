// STUB interface, to be completed by the keyboard work.
#pragma once

#include <cstdint>

class CCpu;
class CIoBus;

class CKeyboard {
public:
    CKeyboard(CIoBus& bus, CCpu& cpu) : bus(bus), cpu(cpu) {}
    bool Init();
    void KeyDown(std::uint8_t scan);
    void KeyUp(std::uint8_t scan);
    void FocusLost();

private:
    CIoBus& bus;
    CCpu& cpu;
};
