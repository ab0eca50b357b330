#include "shell/CSoundRecorder.h"

#include "devices/CSound.h"

bool CSoundRecorder::Start(const std::string& path)
{
    Stop();
    if (!wav.Open(path))
        return false;
    sound.SetTap([this](const std::uint8_t* samples, std::size_t count) { wav.Write(samples, count); });
    return true;
}

bool CSoundRecorder::Stop()
{
    if (!wav.IsOpen())
        return true;
    sound.SetTap(nullptr);
    return wav.Close();
}
