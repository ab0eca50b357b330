// The private events the main window receives from other threads.
#pragma once

#include <QEvent>

// One per expiry of the 20 ms tick source; never merged.
inline constexpr QEvent::Type WM_EMU_TICK = static_cast<QEvent::Type>(0x8001);
// The wave output has finished at least one buffer.
inline constexpr QEvent::Type WM_WAVE_DONE = static_cast<QEvent::Type>(0x8002);
