// Reads the five display settings from a registry file made of the input bytes,
// then writes back what was read and reads it again: whatever a settings file
// holds, a value that reads must read back the same once it is written. A file the
// settings store cannot parse is not written over (the learner's file is kept), so
// a refused write is an answer, not a finding.

#include "FuzzInputFile.h"
#include "RegSettings.h"
#include "Registry.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

namespace {

struct Settings
{
    QString fontName;
    std::int32_t height = 0;
    int bold = 0;
    COLORREF bkColor = 0;
    COLORREF txtColor = 0;

    bool operator==(const Settings&) const = default;
};

Settings Read()
{
    CRegSettings store;
    return {store.GetFontName(), store.GetHeight(), store.GetBold(), store.GetBkColor(), store.GetTxtColor()};
}

bool Write(const Settings& settings)
{
    CRegSettings store;
    return store.SetFontName(settings.fontName) && store.SetHeight(settings.height) &&
           store.SetBold(settings.bold) && store.SetBkColor(settings.bkColor) &&
           store.SetTxtColor(settings.txtColor);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzInputFile input("registry.ini");
    static bool pointed = (Registry::SetFilePath(input.Path()), true);
    (void)pointed;
    input.Write(data, size);

    const Settings first = Read();
    if (!Write(first))
        return 0;
    if (Read() != first)
        std::abort();
    return 0;
}
