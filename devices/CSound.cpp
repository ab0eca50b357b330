// STUB: to be replaced by the sound work.
#include "devices/CSound.h"

bool CSound::Init(CWaveOut& waveOut) { return waveOut.Open(); }
void CSound::SetControl(std::uint8_t) {}
void CSound::OnBufferDone(WaveBuffer&) {}
