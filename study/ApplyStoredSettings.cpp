// SPDX-License-Identifier: GPL-2.0-or-later
#include "ApplyStoredSettings.h"

#include "RegSettings.h"
#include "StudyEdit.h"

namespace {

void WriteDefaults(CRegSettings& settings)
{
    settings.SetFontName(QString::fromLatin1(CRegSettings::kDefaultFontName));
    settings.SetHeight(CRegSettings::kDefaultHeight);
    settings.SetBold(CRegSettings::kDefaultBold);
    settings.SetBkColor(CRegSettings::kDefaultBkColor);
    settings.SetTxtColor(CRegSettings::kDefaultTxtColor);
}

// A height that cannot be read, or one below a pixel, would make the text unreadable;
// the default serves for this run and the registry is left as it is.
std::int32_t UsableHeight(CRegSettings& settings)
{
    const std::optional<DWORD> stored = settings.QueryNumber(CRegSettings::kHeightValue);
    if (!stored || std::int32_t(*stored) < 1)
        return CRegSettings::kDefaultHeight;
    return std::int32_t(*stored);
}

// Likewise an unreadable colour: reading it as 0 would draw black text on black.
COLORREF UsableColor(CRegSettings& settings, const char* valueName, COLORREF fallback)
{
    return settings.QueryNumber(valueName).value_or(fallback);
}

}  // namespace

void ApplyStoredSettings(CStudyEdit& pane)
{
    CRegSettings settings;
    QString faceName = settings.GetFontName();
    if (faceName == QLatin1String(CRegSettings::kUnreadableName)) {
        WriteDefaults(settings);
        faceName = QString::fromLatin1(CRegSettings::kDefaultFontName);
    }
    const std::int32_t height = UsableHeight(settings);
    const int bold = settings.GetBold();
    const COLORREF background = UsableColor(settings, CRegSettings::kBkColorValue, CRegSettings::kDefaultBkColor);
    const COLORREF text = UsableColor(settings, CRegSettings::kTxtColorValue, CRegSettings::kDefaultTxtColor);

    pane.SetTextFont(faceName, height, bold);
    pane.SetBackgroundColor(background);
    pane.SetTextColor(text);
}
