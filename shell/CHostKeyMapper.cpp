#include "shell/CHostKeyMapper.h"

#include "core/CTypist.h"
#include "devices/CKeyboard.h"
#include "shell/CKeyTarget.h"

void CHostKeyMapper::SetTarget(CKeyTarget* keys)
{
    held.clear();
    shiftDown = ctrlDown = false;
    target = keys;
}

void CHostKeyMapper::SetMode(Mode newMode)
{
    ReleaseAll();
    mode = newMode;
    if (mode == Mode::Character && target && target->CapsLockOn()) {
        target->KeyDown(CKeyboard::SCAN_CAPS_LOCK);
        target->KeyUp(CKeyboard::SCAN_CAPS_LOCK);
    }
}

CHostKeyMapper::Stroke CHostKeyMapper::ByCharacter(const HostKey& key) const
{
    const bool modifier = CKeyboard::IsShiftOrCtrl(key.scan) || key.scan == CKeyboard::SCAN_CAPS_LOCK;
    if (modifier)
        return {};  // pressed on the machine only when a key needs them
    if (key.ctrl || key.character == 0) {
        // Keys without a character stay where they are: Enter, Backspace, the arrows, and
        // every key with Ctrl. Other keys without one (dead keys, Tab) type nothing.
        const std::uint8_t code = CKeyboard::CodeOf(CKeyboard::PositionOf(key.scan), false, false);
        if (key.ctrl ? code == CKeyboard::NO_CODE : code >= 0x20)
            return {};
        return {key.scan, key.shift, key.ctrl};
    }
    const std::optional<std::uint8_t> code = CTypist::CodeFor(key.character);
    const std::optional<KeyStroke> stroke = code && *code >= 0x20 ? CTypist::StrokeFor(*code) : std::nullopt;
    if (!stroke)
        return {};  // the machine cannot type it: dropped, never mistyped
    return {stroke->scan, stroke->shift, false};
}

void CHostKeyMapper::Press(const HostKey& key)
{
    if (!target || held.count(key.id))
        return;
    if (mode == Mode::Position) {
        held[key.id] = key.scan;
        target->KeyDown(key.scan);
        return;
    }
    const Stroke stroke = ByCharacter(key);
    if (stroke.scan == 0)
        return;
    SetModifiers(stroke.shift, stroke.ctrl);
    held[key.id] = stroke.scan;
    target->KeyDown(stroke.scan);
}

void CHostKeyMapper::Release(const HostKey& key)
{
    const auto it = held.find(key.id);
    if (!target)
        return;
    if (it == held.end()) {
        // By position the translator keeps Shift and Ctrl held across a focus loss until it
        // sees their release; by character only this object presses them.
        if (mode == Mode::Position && CKeyboard::IsShiftOrCtrl(key.scan))
            target->KeyUp(key.scan);
        return;
    }
    const std::uint8_t scan = it->second;
    held.erase(it);
    target->KeyUp(scan);
    if (mode == Mode::Character && held.empty())
        SetModifiers(false, false);
}

void CHostKeyMapper::FocusLost()
{
    held.clear();
    if (!target)
        return;
    target->FocusLost();
    SetModifiers(false, false);
}

void CHostKeyMapper::SetModifiers(bool shift, bool ctrl)
{
    if (shift != shiftDown) {
        shift ? target->KeyDown(CKeyboard::SCAN_LEFT_SHIFT) : target->KeyUp(CKeyboard::SCAN_LEFT_SHIFT);
        shiftDown = shift;
    }
    if (ctrl != ctrlDown) {
        ctrl ? target->KeyDown(CKeyboard::SCAN_CTRL) : target->KeyUp(CKeyboard::SCAN_CTRL);
        ctrlDown = ctrl;
    }
}

void CHostKeyMapper::ReleaseAll()
{
    if (!target)
        return;
    for (const auto& [id, scan] : held)
        target->KeyUp(scan);
    held.clear();
    SetModifiers(false, false);
}
