// Stand-ins and helpers the shell tests share: a message recorder, a key recorder, wave
// outputs that fail or swallow buffers, the machine's files laid out in a folder, and an
// isolated settings store.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "devices/CWaveOut.h"
#include "shell/CKeyTarget.h"
#include "shell/CMessenger.h"

class TempFolder;

class RecordingMessenger final : public CMessenger {
public:
    void Show(QWidget* parent, const QString& text) override;

    QStringList texts;
    // Runs inside Show(), where a real message box would run its own event loop.
    std::function<void()> onShow;
    // Whether a visible top-level window existed when each message came.
    std::vector<bool> windowVisible;
};

class RecordingKeys final : public CKeyTarget {
public:
    void KeyDown(std::uint8_t scan) override { events.push_back("D" + Hex(scan)); }
    void KeyUp(std::uint8_t scan) override { events.push_back("U" + Hex(scan)); }
    void FocusLost() override { events.push_back("F"); }

    static std::string Hex(std::uint8_t value);
    std::vector<std::string> events;
};

// A wave output whose device can never be opened.
class FailingWaveOut final : public CWaveOut {
public:
    bool Open() override { return false; }
    bool Prepare(WaveBuffer&) override { return false; }
    bool Write(WaveBuffer&) override { return false; }
    bool Unprepare(WaveBuffer&) override { return false; }
};

// Puts the files start-up reads into the folder: the three ROM images, the font and the five
// samples. Each can be left out.
struct MachineFiles {
    bool roms = true;
    std::size_t basicSize = 16384;
    bool font = true;
    bool samples = true;
    void WriteTo(const TempFolder& folder) const;
};

// Points the per-user settings store at a fresh folder for the life of the object.
class IsolatedSettings {
public:
    IsolatedSettings();
    ~IsolatedSettings();
    // Points the store below a regular file, where nothing can be written.
    void MakeUnwritable();
    QString Folder() const { return dir.path(); }

private:
    QTemporaryDir dir;
};

inline const QString TEST_COMPANY = QStringLiteral("Quentra");
inline const QString TEST_APPLICATION = QStringLiteral("vorlix-test");
