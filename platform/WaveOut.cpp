// SPDX-License-Identifier: GPL-2.0-or-later
#include "WaveOut.h"

#include "AudioBackend.h"
#include "SoftwareVolume.h"
#include "WaveOutDevice.h"

#include <mutex>
#include <set>

namespace {

constexpr UINT kDefaultDeviceId = 0;

// Handles that are open, so a stale or foreign handle is refused rather than used.
std::mutex g_devicesLock;
std::set<HWAVEOUT> g_devices;
std::string g_lastOpenError;

bool IsOpen(HWAVEOUT device)
{
    std::lock_guard lock(g_devicesLock);
    return g_devices.count(device) != 0;
}

void SetLastOpenError(const std::string& reason)
{
    std::lock_guard lock(g_devicesLock);
    g_lastOpenError = reason;
}

AudioFormat ToAudioFormat(const WAVEFORMATEX& f)
{
    return AudioFormat{f.nChannels, f.nSamplesPerSec, f.wBitsPerSample};
}

bool Supported(const WAVEFORMATEX& f)
{
    return f.wFormatTag == WAVE_FORMAT_PCM && ToAudioFormat(f).Playable() &&
           f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8;
}

MMRESULT CheckHeader(HWAVEOUT device, const WAVEHDR* header, UINT size)
{
    if (!IsOpen(device))
        return MMSYSERR_INVALHANDLE;
    if (!header || size < sizeof(WAVEHDR) || (!header->lpData && header->dwBufferLength > 0))
        return MMSYSERR_INVALPARAM;
    return MMSYSERR_NOERROR;
}

}  // namespace

static MMRESULT OpenDevice(HWAVEOUT* device, UINT deviceId, const WAVEFORMATEX* format,
                          DWORD_PTR callback, DWORD flags, const std::string& setting)
{
    if (!device || !format)
        return MMSYSERR_INVALPARAM;
    *device = nullptr;
    if (deviceId != WAVE_MAPPER && deviceId != kDefaultDeviceId)
        return MMSYSERR_BADDEVICEID;
    if (flags != CALLBACK_NULL && flags != CALLBACK_THREAD)
        return MMSYSERR_INVALPARAM;
    if (!Supported(*format))
        return WAVERR_BADFORMAT;

    std::string reason;
    std::unique_ptr<AudioBackend> backend = AudioBackend::Create(setting, reason);
    if (!backend) {
        SetLastOpenError(reason);
        return MMSYSERR_NODRIVER;
    }
    SoftwareVolume::Get();   // the stored volume is in force before the first sample
    const DWORD notify = flags == CALLBACK_THREAD ? static_cast<DWORD>(callback) : 0;
    auto opened = std::make_unique<WaveOutDevice>(ToAudioFormat(*format), notify);
    if (!opened->Start(std::move(backend), reason)) {
        SetLastOpenError(reason);
        return MMSYSERR_ALLOCATED;
    }
    std::lock_guard lock(g_devicesLock);
    g_lastOpenError.clear();
    *device = opened.release();
    g_devices.insert(*device);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutOpen(HWAVEOUT* device, UINT deviceId, const WAVEFORMATEX* format,
                     DWORD_PTR callback, DWORD_PTR, DWORD flags)
{
    return OpenDevice(device, deviceId, format, callback, flags, AudioBackend::Setting());
}

MMRESULT waveOutOpenEffects(HWAVEOUT* device, const WAVEFORMATEX* format)
{
    return OpenDevice(device, WAVE_MAPPER, format, 0, CALLBACK_NULL, AudioBackend::EffectsSetting());
}

MMRESULT waveOutPrepareHeader(HWAVEOUT device, WAVEHDR* header, UINT size)
{
    const MMRESULT checked = CheckHeader(device, header, size);
    return checked != MMSYSERR_NOERROR ? checked : device->Prepare(header);
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT device, WAVEHDR* header, UINT size)
{
    const MMRESULT checked = CheckHeader(device, header, size);
    return checked != MMSYSERR_NOERROR ? checked : device->Unprepare(header);
}

MMRESULT waveOutWrite(HWAVEOUT device, WAVEHDR* header, UINT size)
{
    const MMRESULT checked = CheckHeader(device, header, size);
    if (checked != MMSYSERR_NOERROR)
        return checked;
    const MMRESULT written = device->Write(header);
    if (written == MMSYSERR_NODRIVER)
        SetLastOpenError(device->LostReason());
    return written;
}

MMRESULT waveOutPause(HWAVEOUT device)
{
    if (!IsOpen(device))
        return MMSYSERR_INVALHANDLE;
    device->Pause();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutRestart(HWAVEOUT device)
{
    if (!IsOpen(device))
        return MMSYSERR_INVALHANDLE;
    device->Restart();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutReset(HWAVEOUT device)
{
    if (!IsOpen(device))
        return MMSYSERR_INVALHANDLE;
    device->Reset();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutClose(HWAVEOUT device)
{
    if (!IsOpen(device))
        return MMSYSERR_INVALHANDLE;
    if (!device->Stop())
        return WAVERR_STILLPLAYING;
    {
        std::lock_guard lock(g_devicesLock);
        g_devices.erase(device);
    }
    delete device;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutGetPosition(HWAVEOUT device, MMTIME* time, UINT size)
{
    if (!IsOpen(device))
        return MMSYSERR_INVALHANDLE;
    if (!time || size < sizeof(MMTIME))
        return MMSYSERR_INVALPARAM;
    const std::uint64_t bytes = device->HeardBytes();
    if (time->wType == TIME_SAMPLES) {
        time->u.sample = static_cast<DWORD>(bytes / device->Format().BlockAlign());
        return MMSYSERR_NOERROR;
    }
    time->wType = TIME_BYTES;
    time->u.cb = static_cast<DWORD>(bytes);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutGetVolume(HWAVEOUT device, DWORD* volume)
{
    if (device && !IsOpen(device))
        return MMSYSERR_INVALHANDLE;
    if (!volume)
        return MMSYSERR_INVALPARAM;
    *volume = SoftwareVolume::Get();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutSetVolume(HWAVEOUT device, DWORD volume)
{
    if (device && !IsOpen(device))
        return MMSYSERR_INVALHANDLE;
    // Storing is for the next run; the volume changes now either way.
    SoftwareVolume::Set(volume);
    return MMSYSERR_NOERROR;
}

std::string WaveOutLastOpenError()
{
    std::lock_guard lock(g_devicesLock);
    return g_lastOpenError;
}
