// SPDX-License-Identifier: GPL-2.0-or-later
// Reads the five display settings from a registry file made of the input bytes,
// then writes back what was read and reads it again: whatever a settings file
// holds, a value that reads must read back the same once it is written. A file the
// settings store cannot parse is not written over (the learner's file is kept), so
// a refused write is an answer, not a finding.
//
// Every write replaces the file and reads it back whole, as a save must; this target
// is therefore slow by nature. registry_fuzz runs the reads alone at full speed.

#include "FuzzCheck.h"
#include "FuzzInputFile.h"
#include "Registry.h"
#include "StoredSettings.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzInputFile input("registry.ini");
    static bool pointed = (QuietQtMessages(), Registry::SetFilePath(input.Path()), true);
    (void)pointed;
    input.Write(data, size);

    const StoredSettings first = StoredSettings::Read();
    if (!first.Write())
        return 0;
    FuzzCheck(StoredSettings::Read() == first, "what was written reads back the same");
    return 0;
}
