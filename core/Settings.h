// The five persistent settings. Read once at start-up from the per-user store (the shell
// provides the store), changed only by the configuration dialog, and read by the device
// channels at the moment they act.
#pragma once

#include <string>

struct Settings {
    static constexpr int DEFAULT_PRINT_APPEND = 1;
    static constexpr int DEFAULT_PRINT_TRANSLATE = 1;
    static constexpr int DEFAULT_EMULATOR_SPEED = 3500;

    std::string fileFolder;        // "FileFolder": put in front of every file-store name as it is
    std::string printDestination;  // "PrintDestination": path of the printer output file
    int printAppend = DEFAULT_PRINT_APPEND;        // "PrintAppend": nonzero appends, 0 replaces
    int printTranslate = DEFAULT_PRINT_TRANSLATE;  // "PrintTranslate": nonzero translates national letters
    int emulatorSpeed = DEFAULT_EMULATOR_SPEED;    // "EmulatorSpeed": shown and stored only
};
