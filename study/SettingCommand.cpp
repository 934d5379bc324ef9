#include "SettingCommand.h"

#include "ColourRef.h"
#include "RegSettings.h"
#include "SettingDlg.h"
#include "StudyEdit.h"
#include "Win32Defs.h"

namespace {

// What the pane shows before any font was set on it.
constexpr char kFallbackFaceName[] = "Tahoma";
constexpr int kFallbackSize = 15;
// The pickers' automatic colour stands for white, for the background and the text alike.
constexpr COLORREF kAutomaticColour = 0xFFFFFF;

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

// Failed writes are left alone: the pane shows the choice for this run all the same.
void Store(const CSettingDlg& dialog, COLORREF background, COLORREF text)
{
    CRegSettings settings;
    settings.SetFontName(dialog.m_faceName);
    settings.SetHeight(dialog.m_size);
    settings.SetBold(dialog.m_bold);
    settings.SetBkColor(background);
    settings.SetTxtColor(text);
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
    Store(dialog, background, text);
}
