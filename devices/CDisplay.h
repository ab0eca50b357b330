// STUB interface, to be completed by the display work.
#pragma once

#include <cstdint>

class CMemory;

class CDisplay {
public:
    static constexpr int WIDTH = 240;
    static constexpr int HEIGHT = 240;
    static constexpr int STRIDE = 30;  // bytes per image row
    static constexpr int IMAGE_BYTES = STRIDE * HEIGHT;

    explicit CDisplay(const CMemory& memory) : memory(memory) {}
    bool Init();
    const std::uint8_t* Render();

private:
    const CMemory& memory;
    std::uint8_t image[IMAGE_BYTES] = {};
};
