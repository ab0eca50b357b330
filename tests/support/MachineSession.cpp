#include "MachineSession.h"

#include <stdexcept>

#include "bus/CMemory.h"
#include "core/CScreenText.h"
#include "core/CTypist.h"
#include "devices/CDisplay.h"
#include "devices/CKeyboard.h"
#include "host/CRuntimeFolder.h"

namespace fs = std::filesystem;

MachineSession::MachineSession(const fs::path& runtime, const fs::path& basicRom)
{
    for (const std::string& name : CRuntimeFolder::Files()) {
        fs::path from = name == "basic.rom" && !basicRom.empty() ? basicRom : runtime / name;
        fs::copy_file(from, folder.Path() / name);
    }
    if (!app.Startup())
        throw std::runtime_error("the machine did not start: " + shell.message);
    app.Bus().SetObserver(this);
}

MachineSession::~MachineSession()
{
    app.Bus().SetObserver(nullptr);
    app.Shutdown();
}

void MachineSession::OnPortWrite(std::uint8_t port, std::uint8_t value)
{
    if (port == 6)
        soundWrites.emplace_back(frame, value);
}

void MachineSession::Frames(int n)
{
    for (int i = 0; i < n; ++i, ++frame) {
        app.RunSlice();
        shell.waveOut.DeliverFinished([this](WaveBuffer& b) { app.Sound().OnBufferDone(b); });
    }
}

void MachineSession::Press(std::uint8_t scan, std::uint8_t modifier, int hold, int gap)
{
    CKeyboard& keyboard = app.Keyboard();
    if (modifier)
        keyboard.KeyDown(modifier);
    keyboard.KeyDown(scan);
    Frames(hold);
    keyboard.KeyUp(scan);
    if (modifier)
        keyboard.KeyUp(modifier);
    Frames(gap);
}

void MachineSession::Keys(std::string_view script)
{
    std::vector<KeyStroke> strokes;
    std::string error;
    for (std::size_t at = 0; at < script.size();) {
        if (script[at] == '^' && at + 1 < script.size() && script[at + 1] >= 'A' && script[at + 1] <= 'Z') {
            const std::uint8_t letter = static_cast<std::uint8_t>(script[at + 1] - 'A' + 'a');
            Press(CTypist::StrokeFor(letter)->scan, CKeyboard::SCAN_CTRL);
            at += 2;
            continue;
        }
        std::size_t end = script.find('^', at + 1);
        if (end == std::string_view::npos)
            end = script.size();
        if (!CTypist::Plan(script.substr(at, end - at), strokes, error))
            throw std::invalid_argument(error);
        for (const KeyStroke& s : strokes)
            Press(s.scan, s.shift ? CTypist::SCAN_SHIFT : 0);
        at = end;
    }
}

std::vector<std::string> MachineSession::Screen()
{
    std::vector<std::string> rows = CScreenText::Screen(app.Memory());
    for (std::string& row : rows)
        row.erase(row.find_last_not_of(' ') + 1);
    return rows;
}

std::uint8_t MachineSession::Peek(std::uint16_t address) { return app.Memory().ReadByte(address); }

std::uint8_t MachineSession::Cell(int row, int column)
{
    return Peek(static_cast<std::uint16_t>(CDisplay::RowAddress(row) + column));
}
