// STUB: to be replaced by the display work.
#include "devices/CDisplay.h"

#include "host/CHostFile.h"

bool CDisplay::Init()
{
    std::uint8_t font[2560];
    return CHostFile::ReadFile("font.bin", font, sizeof font) == static_cast<long>(sizeof font);
}
const std::uint8_t* CDisplay::Render() { return image; }
