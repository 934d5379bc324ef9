// SPDX-License-Identifier: GPL-2.0-or-later
#include "Sound.h"

#include "DevicePath.h"
#include "WavFile.h"
#include "WaveOut.h"
#include "WaveOutDevice.h"

#include <QFile>

namespace {

// Sounds are short clicks and chimes; anything larger is not a sound effect.
constexpr qint64 kLargestSoundFile = 16 * 1024 * 1024;
// How long past its own length a sound may take before it is cut off, in case the
// output stalls.
constexpr std::chrono::milliseconds kGrace{2000};
constexpr BOOL kPlayed = 1;
constexpr BOOL kNotPlayed = 0;

bool ReadSound(const QString& path, WavSound& sound)
{
    QFile file(DevicePath::ToHost(path));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestSoundFile)
        return false;
    return WavFile::Parse(file.readAll(), sound);
}

WAVEFORMATEX ToWaveFormat(const AudioFormat& format)
{
    WAVEFORMATEX wave;
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = format.channels;
    wave.nSamplesPerSec = format.sampleRate;
    wave.wBitsPerSample = format.bitsPerSample;
    wave.nBlockAlign = static_cast<WORD>(format.BlockAlign());
    wave.nAvgBytesPerSec = static_cast<DWORD>(format.BytesPerSecond());
    return wave;
}

std::chrono::milliseconds Length(const WavSound& sound)
{
    const auto bytes = static_cast<std::int64_t>(sound.pcm.size());
    const auto perSecond = static_cast<std::int64_t>(sound.format.BytesPerSecond());
    return std::chrono::milliseconds(bytes * 1000 / perSecond);
}

bool Play(const WavSound& sound)
{
    const WAVEFORMATEX format = ToWaveFormat(sound.format);
    HWAVEOUT device = nullptr;
    if (waveOutOpenEffects(&device, &format) != MMSYSERR_NOERROR)
        return false;
    QByteArray pcm = sound.pcm;
    WAVEHDR header;
    header.lpData = pcm.data();
    header.dwBufferLength = static_cast<DWORD>(pcm.size());
    bool played = waveOutPrepareHeader(device, &header, sizeof(header)) == MMSYSERR_NOERROR &&
                  waveOutWrite(device, &header, sizeof(header)) == MMSYSERR_NOERROR;
    if (played)
        played = device->WaitUntilIdle(Length(sound) + kGrace);
    waveOutReset(device);
    waveOutUnprepareHeader(device, &header, sizeof(header));
    waveOutClose(device);
    return played;
}

}  // namespace

BOOL PlaySoundW(const QString& path, void*, DWORD flags)
{
    if (!(flags & SND_FILENAME) || path.isEmpty())
        return kNotPlayed;
    WavSound sound;
    if (!ReadSound(path, sound))
        return kNotPlayed;
    return Play(sound) ? kPlayed : kNotPlayed;
}
