// A started machine in a temporary working folder, driven by key strokes and frames and read
// as screen text: the rig for tests of the software on the emulated machine. It copies the
// runtime files (ROM images, font, samples), optionally with another image as basic.rom.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "CQuietShell.h"
#include "TempFolder.h"
#include "bus/CPortObserver.h"
#include "core/CEmuApp.h"
#include "core/CKeyFeeder.h"
#include "core/CTypist.h"

class MachineSession final : private CPortObserver {
public:
    // Shift as typed text asks for it (Ctrl is CKeyboard::SCAN_CTRL).
    static constexpr std::uint8_t SCAN_SHIFT = CTypist::SCAN_SHIFT;

    // A port 6 write: the frame it happened in (counted from 0 at start-up) and the value.
    using SoundWrite = std::pair<int, std::uint8_t>;

    // Throws std::runtime_error when a file cannot be copied or the machine does not start.
    explicit MachineSession(const std::filesystem::path& runtime, const std::filesystem::path& basicRom = {});
    ~MachineSession() override;

    void Frames(int n);
    // Presses a key, with Shift or Ctrl when their scan codes are given as modifier, holds
    // it `hold` frames and releases it, then runs `gap` frames.
    void Press(std::uint8_t scan, std::uint8_t modifier = 0, int hold = CKeyFeeder::TIMING.hold,
               int gap = CKeyFeeder::TIMING.gap);
    // Types a script: text as the headless runner types it ("\n" or a newline is Enter, "\b"
    // Backspace, "\t" the right arrow), where ^ and a capital letter stand for Ctrl and that
    // letter. Throws std::invalid_argument on what cannot be typed.
    void Keys(std::string_view script);

    // The screen as 24 rows of text with trailing blanks dropped.
    std::vector<std::string> Screen();
    std::uint8_t Peek(std::uint16_t address);
    std::uint8_t Cell(int row, int column);
    const std::vector<SoundWrite>& SoundWrites() const { return soundWrites; }
    // The temporary working folder the machine runs in.
    const std::filesystem::path& Folder() const { return folder.Path(); }
    CEmuApp& App() { return app; }

private:
    void OnPortWrite(std::uint8_t port, std::uint8_t value) override;

    TempFolder folder;
    CQuietShell shell;
    CEmuApp app{shell};
    std::vector<SoundWrite> soundWrites;
    int frame = 0;
};
