// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// PCM output with queued buffers and completion messages, in the shape of the
// waveOut calls. The backend is chosen by the --audio option or VELLUMDECK_AUDIO:
//   sdl              the desktop's audio device through SDL2 (default)
//   null[:SPEED]     consumes buffers at SPEED times real time (default 1)
//   wav:PATH[:SPEED] writes the PCM to a WAV file (default as fast as possible)
// A finished header gets WHDR_DONE, loses WHDR_INQUEUE, and MM_WOM_DONE is posted to
// the callback thread (wParam the device handle, lParam the header).
// Volume is a software gain of this program, applied by every backend and
// remembered between runs; the desktop's own volume is never touched.

#include "Win32Defs.h"

#include <string>

struct WAVEFORMATEX
{
    WORD wFormatTag = 0;
    WORD nChannels = 0;
    DWORD nSamplesPerSec = 0;
    DWORD nAvgBytesPerSec = 0;
    WORD nBlockAlign = 0;
    WORD wBitsPerSample = 0;
    WORD cbSize = 0;
};

struct WAVEHDR
{
    char* lpData = nullptr;
    DWORD dwBufferLength = 0;
    DWORD dwBytesRecorded = 0;
    DWORD_PTR dwUser = 0;
    DWORD dwFlags = 0;
    DWORD dwLoops = 0;
    WAVEHDR* lpNext = nullptr;
    DWORD_PTR reserved = 0;
};

// A device position, in the unit wType asks for.
constexpr UINT TIME_SAMPLES = 0x0002;
constexpr UINT TIME_BYTES = 0x0004;
struct MMTIME
{
    UINT wType = TIME_BYTES;
    union
    {
        DWORD sample;
        DWORD cb;
    } u{};
};

struct WaveOutDevice;
using HWAVEOUT = WaveOutDevice*;

// callback is a thread id when flags has CALLBACK_THREAD.
MMRESULT waveOutOpen(HWAVEOUT* device, UINT deviceId, const WAVEFORMATEX* format,
                     DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
// Opens a device for the program's sound effects, without completion messages: the
// same backend as waveOutOpen, except that a WAV capture takes only the recordings.
MMRESULT waveOutOpenEffects(HWAVEOUT* device, const WAVEFORMATEX* format);
MMRESULT waveOutPrepareHeader(HWAVEOUT device, WAVEHDR* header, UINT size);
MMRESULT waveOutUnprepareHeader(HWAVEOUT device, WAVEHDR* header, UINT size);
// MMSYSERR_NODRIVER once the output has gone away while it played (its sound server
// ended, say): every header queued then has been given back, and the device takes no
// more; WaveOutLastOpenError says why. Close it as usual.
MMRESULT waveOutWrite(HWAVEOUT device, WAVEHDR* header, UINT size);
MMRESULT waveOutPause(HWAVEOUT device);
MMRESULT waveOutRestart(HWAVEOUT device);
// Returns every queued header at once, each with its completion message.
MMRESULT waveOutReset(HWAVEOUT device);
MMRESULT waveOutClose(HWAVEOUT device);
// How much of what was written has been heard since the open or the last reset: bytes
// (TIME_BYTES) or sample frames (TIME_SAMPLES; any other unit is answered in bytes, with
// wType set so). It follows the listener, not the queue: a written buffer is heard some
// time after the backend has taken it, and the count runs on while it plays. The count
// wraps at 2^32 as a DWORD does.
MMRESULT waveOutGetPosition(HWAVEOUT device, MMTIME* time, UINT size);
// Low word left, high word right, 0 to 0xFFFF. A null device means the program's volume.
MMRESULT waveOutGetVolume(HWAVEOUT device, DWORD* volume);
MMRESULT waveOutSetVolume(HWAVEOUT device, DWORD volume);

// Why the last waveOutOpen on this process failed, or why a device went away (the
// write that returned MMSYSERR_NODRIVER), in the backend's words; empty after a
// successful open.
std::string WaveOutLastOpenError();
