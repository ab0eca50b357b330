// STUB: to be completed by the channels work.
#pragma once

#include "devices/CHostDevice.h"

class CFileDevice final : public CHostDevice {
public:
    using CHostDevice::CHostDevice;
};
