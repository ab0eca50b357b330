// Records the sound generator's output to a WAV file: every buffer it produces, as produced,
// until stopped. The window's "Record sound" starts and stops it.
#pragma once

#include <string>

#include "core/CWavFile.h"

class CSound;

class CSoundRecorder {
public:
    explicit CSoundRecorder(CSound& sound) : sound(sound) {}
    // Stops any recording: the generator must not call into a recorder that has gone.
    ~CSoundRecorder() { Stop(); }
    CSoundRecorder(const CSoundRecorder&) = delete;
    CSoundRecorder& operator=(const CSoundRecorder&) = delete;

    // False when the file cannot be created; nothing is recorded then.
    bool Start(const std::string& path);
    // False when the file could not be written in full.
    bool Stop();
    bool Recording() const { return wav.IsOpen(); }

private:
    CSound& sound;
    CWavFile wav;
};
