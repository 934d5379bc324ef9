// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The program's own volume: a gain on the samples it plays (low word left, high
// word right, 0 to 0xFFFF, 0xFFFF leaving them unchanged), remembered in the
// registry between runs. The desktop's volume is never touched.

#include "AudioFormat.h"
#include "Win32Defs.h"

#include <cstddef>
#include <cstdint>

namespace SoftwareVolume {

constexpr DWORD kFull = 0xFFFFFFFFu;
constexpr const char16_t* kKey = u"Software\\Quorvane\\Vellumdeck\\Audio";
constexpr const char16_t* kValue = u"Volume";

// The volume in force (0 while muted). Read from the registry when the registry file
// in use has changed since it was last read (a new run, or a test's own file).
DWORD Get();
// Takes effect at once on every open device, and ends a mute; false when it could not
// be stored.
bool Set(DWORD volume);
// Silence (true) until the next Set or a SetMuted(false). The stored volume stays as it
// is: a mute lasts for this run only, and the next one is heard at the volume set.
void SetMuted(bool muted);

// Applies the volume in force to PCM in place. streamOffset is the position of
// pcm[0] in the device's byte stream, which tells left from right.
void Apply(std::uint8_t* pcm, std::size_t size, const AudioFormat& format,
           std::uint64_t streamOffset);

}  // namespace SoftwareVolume
