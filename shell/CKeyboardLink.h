// Connects the screen window's keys to the machine's keyboard translator.
#pragma once

#include "devices/CKeyboard.h"
#include "shell/CKeyTarget.h"

class CKeyboardLink final : public CKeyTarget {
public:
    explicit CKeyboardLink(CKeyboard& keyboard) : keyboard(keyboard) {}
    void KeyDown(std::uint8_t scan) override { keyboard.KeyDown(scan); }
    void KeyUp(std::uint8_t scan) override { keyboard.KeyUp(scan); }
    void FocusLost() override { keyboard.FocusLost(); }
    bool CapsLockOn() const override { return keyboard.CapsLockOn(); }

private:
    CKeyboard& keyboard;
};
