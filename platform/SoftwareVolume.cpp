// SPDX-License-Identifier: GPL-2.0-or-later
#include "SoftwareVolume.h"

#include "LittleEndian.h"
#include "Registry.h"

#include <QString>

#include <atomic>
#include <mutex>

namespace {

constexpr DWORD kChannelMask = 0xFFFF;
constexpr int kRightShift = 16;
constexpr std::int64_t kUnity = 0xFFFF;
constexpr int kSilence8 = 0x80;

// The volume set (and stored), and whether a mute holds it off for now.
std::atomic<DWORD> g_volume{SoftwareVolume::kFull};
std::atomic<bool> g_muted{false};

// Guards the registry round trips and the record of which file they went to.
std::mutex g_storeLock;
QString g_loadedFrom;
bool g_loaded = false;

DWORD LoadStored()
{
    DWORD volume = SoftwareVolume::kFull;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, QString::fromUtf16(SoftwareVolume::kKey), &key) != ERROR_SUCCESS)
        return volume;
    DWORD type = REG_NONE;
    BYTE data[sizeof(DWORD)] = {};
    DWORD size = sizeof(data);
    if (RegQueryValueExW(key, QString::fromUtf16(SoftwareVolume::kValue), &type, data, &size) == ERROR_SUCCESS &&
        type == REG_DWORD && size == sizeof(DWORD))
        volume = LittleEndian::Read<quint32>(data);
    RegCloseKey(key);
    return volume;
}

bool Store(DWORD volume)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, QString::fromUtf16(SoftwareVolume::kKey), &key, nullptr) != ERROR_SUCCESS)
        return false;
    BYTE data[sizeof(DWORD)] = {};
    LittleEndian::Write<quint32>(data, volume);
    const bool stored =
        RegSetValueExW(key, QString::fromUtf16(SoftwareVolume::kValue), REG_DWORD, data, sizeof(data)) == ERROR_SUCCESS;
    RegCloseKey(key);
    return stored;
}

// Call with g_storeLock held.
void RefreshFromStore()
{
    const QString file = Registry::FilePath();
    if (g_loaded && file == g_loadedFrom)
        return;
    g_volume = LoadStored();
    g_muted = false;
    g_loadedFrom = file;
    g_loaded = true;
}

std::int64_t ChannelGain(DWORD volume, std::size_t channel)
{
    return channel == 0 ? (volume & kChannelMask) : ((volume >> kRightShift) & kChannelMask);
}

void Scale16(std::uint8_t* at, std::int32_t gain)
{
    const auto sample = LittleEndian::Read<std::int16_t>(at);
    // Fits 32 bits: at most 32768 * 65535.
    const auto scaled = static_cast<std::int16_t>(sample * gain / static_cast<std::int32_t>(kUnity));
    LittleEndian::Write<std::int16_t>(at, scaled);
}

void Apply16(std::uint8_t* pcm, std::size_t size, const AudioFormat& format, std::uint64_t offset,
             DWORD volume)
{
    const std::size_t block = format.BlockAlign();
    const std::int32_t gains[2] = {static_cast<std::int32_t>(ChannelGain(volume, 0)),
                                   static_cast<std::int32_t>(ChannelGain(volume, 1))};
    const auto channelAt = [&](std::size_t i) { return ((offset + i) % block) / 2; };
    // A sample cut by the edge of this chunk is left as it is.
    std::size_t i = offset % 2;
    // Sample by sample up to the first whole frame, then frame by frame, without a
    // division per sample: this runs over every buffer at any volume but the full one.
    for (; i + 1 < size && (offset + i) % block != 0; i += 2)
        Scale16(pcm + i, gains[channelAt(i)]);
    for (; i + block <= size; i += block) {
        for (std::size_t channel = 0; channel < format.channels; ++channel)
            Scale16(pcm + i + 2 * channel, gains[channel]);
    }
    for (; i + 1 < size; i += 2)
        Scale16(pcm + i, gains[channelAt(i)]);
}

void Apply8(std::uint8_t* pcm, std::size_t size, const AudioFormat& format, std::uint64_t offset,
            DWORD volume)
{
    const std::size_t block = format.BlockAlign();
    for (std::size_t i = 0; i < size; ++i) {
        const std::size_t channel = (offset + i) % block;
        const std::int64_t centred = pcm[i] - kSilence8;
        pcm[i] = static_cast<std::uint8_t>(centred * ChannelGain(volume, channel) / kUnity + kSilence8);
    }
}

}  // namespace

namespace SoftwareVolume {

DWORD Get()
{
    std::lock_guard lock(g_storeLock);
    RefreshFromStore();
    return g_muted ? 0 : g_volume.load();
}

bool Set(DWORD volume)
{
    std::lock_guard lock(g_storeLock);
    g_loadedFrom = Registry::FilePath();
    g_loaded = true;
    g_volume = volume;
    g_muted = false;
    return Store(volume);
}

void SetMuted(bool muted)
{
    std::lock_guard lock(g_storeLock);
    RefreshFromStore();
    g_muted = muted;
}

void Apply(std::uint8_t* pcm, std::size_t size, const AudioFormat& format, std::uint64_t streamOffset)
{
    const DWORD volume = g_muted ? 0 : g_volume.load();
    if (volume == kFull || format.BlockAlign() == 0)
        return;
    if (format.bitsPerSample == 16)
        Apply16(pcm, size, format, streamOffset, volume);
    else
        Apply8(pcm, size, format, streamOffset, volume);
}

}  // namespace SoftwareVolume
