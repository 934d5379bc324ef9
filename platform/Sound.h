// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Sound effects: a WAV file played through the program's wave output.

#include "Win32Defs.h"

#include <QString>

// With SND_FILENAME, path names a WAV file (a device path, or an absolute host
// path) holding PCM of 8 or 16 bits, one or two channels, at any rate. The sound
// plays on a device of its own, at the program's volume, and the call returns when
// it has finished. A sound is always played synchronously. A file that is missing
// or cannot be played plays nothing and gives FALSE, as does a sound without
// SND_FILENAME. module is not used.
BOOL PlaySoundW(const QString& path, void* module, DWORD flags);
