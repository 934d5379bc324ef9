// SPDX-License-Identifier: GPL-2.0-or-later
#include "SettingCommand.h"

#include "ColourRef.h"
#include "MessageBox.h"
#include "RegSettings.h"
#include "Registry.h"
#include "SettingDlg.h"
#include "StudyEdit.h"
#include "Win32Defs.h"

#include <QDir>

namespace {

// What the pane shows before any font was set on it.
constexpr char kFallbackFaceName[] = "Tahoma";
constexpr int kFallbackSize = 15;
// The pickers' automatic colour stands for white, for the background and the text alike.
constexpr COLORREF kAutomaticColour = 0xFFFFFF;
constexpr char kNotSaved[] = "The display settings could not be saved in\n%1\n"
                             "They apply until Vellumdeck closes.";
constexpr char kMessageCaption[] = "Vellumdeck";

void FillFromPane(CSettingDlg& dialog, const CStudyEdit& pane)
{
    if (const std::optional<TextFont> font = pane.GetTextFont()) {
        dialog.m_size = font->height;
        dialog.m_bold = font->weight == TextFont::FW_BOLD ? 1 : 0;
        dialog.m_faceName = font->faceName;
    } else {
        dialog.m_size = kFallbackSize;
        dialog.m_bold = 0;
        dialog.m_faceName = QString::fromLatin1(kFallbackFaceName);
    }
    dialog.m_bkColour = pane.GetBackgroundColor();
    dialog.m_textColour = pane.GetTextColor();
}

COLORREF Resolved(COLORREF colour)
{
    return colour == CLR_DEFAULT ? kAutomaticColour : colour;
}

// True when all five values were written. A settings file that cannot be written
// (a full disk, or a file the settings store cannot parse and will not write over)
// is left as it is.
bool Store(const CSettingDlg& dialog, COLORREF background, COLORREF text)
{
    CRegSettings settings;
    bool stored = settings.SetFontName(dialog.m_faceName) != 0;
    stored = settings.SetHeight(dialog.m_size) != 0 && stored;
    stored = settings.SetBold(dialog.m_bold) != 0 && stored;
    stored = settings.SetBkColor(background) != 0 && stored;
    stored = settings.SetTxtColor(text) != 0 && stored;
    return stored;
}

}  // namespace

void RunSettingCommand(QWidget* view, CStudyEdit& pane)
{
    CSettingDlg dialog(view);
    FillFromPane(dialog, pane);
    if (dialog.DoModal() != IDOK)
        return;

    const COLORREF background = Resolved(dialog.m_bkColour);
    const COLORREF text = Resolved(dialog.m_textColour);
    pane.SetTextFont(dialog.m_faceName, dialog.m_size, dialog.m_bold);
    pane.SetBackgroundColor(background);
    pane.SetTextColor(text);
    // The pane shows the choice for this run all the same; the learner is told that
    // it will not be there at the next start.
    if (!Store(dialog, background, text))
        MessageBoxW(view, QString::fromLatin1(kNotSaved).arg(QDir::toNativeSeparators(Registry::FilePath())),
                    QString::fromLatin1(kMessageCaption), MB_OK | MB_ICONEXCLAMATION);
}
