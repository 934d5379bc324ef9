// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The study text pane: a read-only, word-wrapped, scrollable text above the player
// panel. It owns its font, its two colours and, while no text is loaded, the logo
// that covers it. Bookmarks and search work on display lines (as wrapped at the
// pane's width with the current font) and on character positions in the text.

#include "BookmarkEntry.h"
#include "LogoWnd.h"
#include "StudyText.h"
#include "Win32Defs.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QTextBlock>
#include <QTextLayout>

#include <cstdint>
#include <optional>

// The description of the font set on the pane, as the Setting dialog reads it back.
struct TextFont
{
    static constexpr int FW_NORMAL = 400;
    static constexpr int FW_BOLD = 700;

    QString faceName;
    std::int32_t height = 0;   // as given: a positive value is the character cell height
    int weight = FW_NORMAL;
};

class CStudyEdit : public QPlainTextEdit
{
public:
    // Texts of this many bytes or more are refused.
    static constexpr std::int64_t kMaxTextBytes = 65536;
    static constexpr int kMargin = 10;   // left and right, pixels
    static constexpr COLORREF kCreationBkColor = 0xFFFFFF;
    static constexpr COLORREF kCreationTxtColor = 0x000000;
    static constexpr int kLabelChars = BookmarkEntry::kMaxLabelChars;

    CStudyEdit();
    ~CStudyEdit() override;

    // Makes the pane child `id` of parent, covering rect (pixels, parent coordinates),
    // read-only, white with black text, focused and covered by the logo.
    bool Create(QWidget* parent, const QRect& rect, int id);
    int GetDlgCtrlID() const { return m_id; }

    // Non-zero when the file was shown; 0 when it cannot be opened or is too large
    // (the latter after telling the user). Removes the logo either way.
    int LoadTextFile(const QString& path);
    void LoadTextBuffer(const char* text, std::uint32_t length);
    // The whole text as loaded, line ends included.
    QString GetWindowText() const { return m_text.Source(); }

    BOOL ShowLogo();
    void RemoveLogo();
    CLogoWnd* Logo() const { return m_logo.data(); }

    void SetTextFont(const QString& faceName, std::int32_t height, BOOL bold);
    std::optional<TextFont> GetTextFont() const { return m_fontDescription; }
    void SetBackgroundColor(COLORREF color);
    void SetTextColor(COLORREF color);
    COLORREF GetBackgroundColor() const { return m_backgroundColor; }
    COLORREF GetTextColor() const { return m_textColor; }

    // The topmost non-empty line in view: its first characters and where it starts.
    // Nothing when no line from the first visible one to the end holds a character.
    std::optional<BookmarkEntry> CaptureBookmark();
    // Scrolls so that the line holding the entry's position is the top line, as far as
    // the text can scroll.
    void ScrollToBookmark(const BookmarkEntry& entry);
    // Selects the next match of text (letter case ignored) and returns its position,
    // or -1 after telling the user the search is complete. restart starts at the top.
    int FindText(const QString& text, bool restart);

    // Display lines, counted from 0, and character positions in the text.
    int GetFirstVisibleLine();
    int GetLineCount();
    int LineFromChar(int position);
    int LineIndex(int line);
    QString GetLine(int line);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

    // True when the key was turned into scrolling.
    bool OnKeyDown(int key);
    void OnSetFocus();
    void OnVScroll(WORD code);

private:
    void OnCreate();
    void ShowText(const QString& text);
    bool RefuseSize(std::int64_t size);
    void HideCaret();
    void ApplyPalette();
    // Lays out every paragraph at the current width and font, so line numbers are exact.
    void EnsureLayout();
    // The following take a laid-out document and a line that exists; positions are
    // the document's.
    QTextLine TextLine(int line, QTextBlock* block) const;
    int LineStart(int line) const;
    QString LineText(int line) const;

    int m_id = 0;
    QPointer<CLogoWnd> m_logo;
    CStudyText m_text;
    std::optional<TextFont> m_fontDescription;
    COLORREF m_backgroundColor = kCreationBkColor;
    COLORREF m_textColor = kCreationTxtColor;
};
