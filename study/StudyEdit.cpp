// SPDX-License-Identifier: GPL-2.0-or-later
#include "StudyEdit.h"

#include "CodePage.h"
#include "ColourRef.h"
#include "File.h"
#include "LogoWnd.h"
#include "MessageBox.h"
#include "SearchState.h"
#include "WindowMessage.h"
#include "resource.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>

namespace {

constexpr char kMessageCaption[] = "Vellumdeck";
constexpr char kTooLarge[] = "Txt file which is larger than 64KB can not be opened.";
constexpr char kSearchCaption[] = "Search";
constexpr char kSearchCompleted[] = "Document search has been completed.";

// Vertical scroll codes (low word of WM_VSCROLL's wParam).
constexpr WORD SB_LINEUP = TB_LINEUP;
constexpr WORD SB_LINEDOWN = TB_LINEDOWN;
constexpr WORD SB_PAGEUP = TB_PAGEUP;
constexpr WORD SB_PAGEDOWN = TB_PAGEDOWN;

// The logo's window, in pane coordinates.
const QRect kLogoRect(0, 0, 239, 205);

// Folds each unit on its own so that offsets in the folded text are offsets in the
// original one.
QString Fold(const QString& text)
{
    QString folded(text);
    for (QChar& c : folded)
        c = c.toCaseFolded();
    return folded;
}

// A positive height is the character cell height, as on the device: the largest
// pixel size whose line height fits it. A negative one is the character height.
void ApplyHeight(QFont& font, std::int32_t height)
{
    if (height < 0) {
        font.setPixelSize(-height);
        return;
    }
    if (height == 0)
        return;
    int pixels = height;
    font.setPixelSize(pixels);
    const int cell = QFontMetrics(font).height();
    if (cell > height) {
        pixels = std::max(1, int(std::int64_t(height) * height / cell));
        font.setPixelSize(pixels);
    }
    while (pixels > 1 && QFontMetrics(font).height() > height)
        font.setPixelSize(--pixels);
}

}  // namespace

CStudyEdit::CStudyEdit()
{
    // Wrap at the pane's width, never scroll sideways.
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFrameShape(QFrame::NoFrame);
    setUndoRedoEnabled(false);
    // The pane's colours are for the text; the scroll bar keeps the desktop's.
    verticalScrollBar()->setPalette(QApplication::palette());
}

CStudyEdit::~CStudyEdit() = default;

bool CStudyEdit::Create(QWidget* parent, const QRect& rect, int id)
{
    setParent(parent);
    setGeometry(rect);
    m_id = id;
    OnCreate();
    show();
    return true;
}

void CStudyEdit::OnCreate()
{
    setReadOnly(true);
    // A file dropped on the pane is for the window that holds it (it opens the file).
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
    setViewportMargins(kMargin, 0, kMargin, 0);
    document()->setDocumentMargin(0);
    setAutoFillBackground(true);   // the margins show the background colour too
    setFocus();
    m_backgroundColor = kCreationBkColor;
    m_textColor = kCreationTxtColor;
    ApplyPalette();
    HideCaret();
    ShowLogo();
}

int CStudyEdit::LoadTextFile(const QString& path)
{
    RemoveLogo();
    File file;
    if (!file.Open(path, File::Access::Read, File::Disposition::OpenExisting))
        return 0;
    const std::int64_t size = file.Size();
    if (size < 0 || RefuseSize(size))
        return 0;

    QByteArray bytes(qsizetype(size), '\0');
    std::uint32_t got = 0;
    if (!file.Read(bytes.data(), std::uint32_t(size), &got))
        return 0;
    // A file that shrank since its size was taken shows what is left of it.
    bytes.truncate(qsizetype(got));
    ShowText(CodePage::ToUnicode(bytes));
    return 1;
}

void CStudyEdit::LoadTextBuffer(const char* text, std::uint32_t length)
{
    RemoveLogo();
    if (RefuseSize(length) || (text == nullptr && length > 0))
        return;
    ShowText(CodePage::ToUnicode(QByteArray(text, qsizetype(length))));
}

bool CStudyEdit::RefuseSize(std::int64_t size)
{
    if (size < kMaxTextBytes)
        return false;
    MessageBoxW(this, QString::fromLatin1(kTooLarge), QString::fromLatin1(kMessageCaption), MB_OK | MB_ICONHAND);
    return true;
}

void CStudyEdit::ShowText(const QString& text)
{
    m_text = CStudyText(text);
    setPlainText(m_text.DocumentText());
}

BOOL CStudyEdit::ShowLogo()
{
    if (m_logo)
        return 1;
    auto* logo = new CLogoWnd;
    m_logo = logo;
    const BOOL created = logo->Create(this, kLogoRect, IDC_LOGO_WND);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return created;
}

void CStudyEdit::RemoveLogo()
{
    if (!m_logo)
        return;
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    delete m_logo.data();
}

void CStudyEdit::SetTextFont(const QString& faceName, std::int32_t height, BOOL bold)
{
    // Start from the desktop's default GUI font, as a fresh drawing context holds.
    QFont font = QApplication::font();
    font.setFamily(faceName);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    ApplyHeight(font, height);
    m_fontDescription = TextFont{faceName, height, bold ? TextFont::FW_BOLD : TextFont::FW_NORMAL};
    setFont(font);
    HideCaret();
}

void CStudyEdit::SetBackgroundColor(COLORREF color)
{
    m_backgroundColor = color;
    ApplyPalette();
}

void CStudyEdit::SetTextColor(COLORREF color)
{
    m_textColor = color;
    ApplyPalette();
}

void CStudyEdit::ApplyPalette()
{
    QPalette colours = palette();
    colours.setColor(QPalette::Base, ToQColor(m_backgroundColor));
    colours.setColor(QPalette::Window, ToQColor(m_backgroundColor));
    colours.setColor(QPalette::Text, ToQColor(m_textColor));
    setPalette(colours);
    viewport()->update();
    update();
}

void CStudyEdit::HideCaret()
{
    setCursorWidth(0);
}

std::optional<BookmarkEntry> CStudyEdit::CaptureBookmark()
{
    const int first = GetFirstVisibleLine();
    const int count = document()->lineCount();
    for (int line = first; line < count; ++line) {
        const QString label = LineText(line).left(kLabelChars);
        if (!label.isEmpty())
            return BookmarkEntry::Make(label, m_text.ToSource(LineStart(line)));
    }
    return std::nullopt;
}

void CStudyEdit::ScrollToBookmark(const BookmarkEntry& entry)
{
    const int line = LineFromChar(entry.position);
    const int first = GetFirstVisibleLine();
    if (line != first)
        verticalScrollBar()->setValue(first + (line - first));
}

int CStudyEdit::FindText(const QString& text, bool restart)
{
    SearchState& state = TheSearchState();
    if (restart)
        state.Reset();
    if (text.isEmpty())
        return -1;

    const QString term = Fold(text);
    const int count = GetLineCount();
    for (int line = std::max(0, state.line); line < count; ++line) {
        const int from = line == state.line ? state.offset + 1 : 0;
        const int offset = int(Fold(LineText(line)).indexOf(term, from));
        if (offset < 0)
            continue;
        const int start = LineStart(line) + offset;
        setFocus();
        QTextCursor selection(document());
        selection.setPosition(start);
        selection.setPosition(start + int(term.size()), QTextCursor::KeepAnchor);
        setTextCursor(selection);
        ensureCursorVisible();
        state.line = line;
        state.offset = offset;
        return m_text.ToSource(start);
    }

    MessageBoxW(this, QString::fromLatin1(kSearchCompleted), QString::fromLatin1(kSearchCaption),
                MB_OK | MB_ICONEXCLAMATION);
    state.Reset();
    return -1;
}

void CStudyEdit::EnsureLayout()
{
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        layout->blockBoundingRect(block);   // lays the paragraph out when it is not yet
}

int CStudyEdit::GetFirstVisibleLine()
{
    EnsureLayout();
    return verticalScrollBar()->value();
}

int CStudyEdit::GetLineCount()
{
    EnsureLayout();
    return document()->lineCount();
}

int CStudyEdit::LineFromChar(int position)
{
    EnsureLayout();
    const int documentPosition = m_text.ToDocument(position);
    QTextBlock block = document()->findBlock(documentPosition);
    if (!block.isValid())
        block = document()->lastBlock();
    const QTextLayout* layout = block.layout();
    const QTextLine line = layout->lineForTextPosition(documentPosition - block.position());
    const int lineInBlock = line.isValid() ? line.lineNumber() : std::max(0, layout->lineCount() - 1);
    return block.firstLineNumber() + lineInBlock;
}

int CStudyEdit::LineIndex(int line)
{
    if (line < 0 || line >= GetLineCount())
        return -1;
    return m_text.ToSource(LineStart(line));
}

QString CStudyEdit::GetLine(int line)
{
    if (line < 0 || line >= GetLineCount())
        return QString();
    return LineText(line);
}

QTextLine CStudyEdit::TextLine(int line, QTextBlock* block) const
{
    *block = document()->findBlockByLineNumber(line);
    return block->layout()->lineAt(line - block->firstLineNumber());
}

int CStudyEdit::LineStart(int line) const
{
    QTextBlock block;
    const QTextLine textLine = TextLine(line, &block);
    return block.position() + (textLine.isValid() ? textLine.textStart() : 0);
}

QString CStudyEdit::LineText(int line) const
{
    QTextBlock block;
    const QTextLine textLine = TextLine(line, &block);
    if (!textLine.isValid())
        return QString();
    return block.text().mid(textLine.textStart(), textLine.textLength());
}

bool CStudyEdit::event(QEvent* event)
{
    if (event->type() == WindowMessageEvent::EventType()) {
        auto* message = static_cast<WindowMessageEvent*>(event);
        if (message->message == WM_VSCROLL) {
            OnVScroll(LOWORD(message->wParam));
            return true;
        }
    }
    return QPlainTextEdit::event(event);
}

void CStudyEdit::keyPressEvent(QKeyEvent* event)
{
    if (OnKeyDown(event->key())) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

bool CStudyEdit::OnKeyDown(int key)
{
    WORD code = 0;
    switch (key) {
    case Qt::Key_Left:
        code = SB_LINEUP;
        break;
    case Qt::Key_Right:
        code = SB_LINEDOWN;
        break;
    case Qt::Key_Up:
        code = SB_PAGEUP;
        break;
    case Qt::Key_Down:
        code = SB_PAGEDOWN;
        break;
    default:
        return false;
    }
    SendMessageW(this, WM_VSCROLL, MAKEWPARAM(code, 0), 0);
    SendMessageW(this, WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
    return true;
}

void CStudyEdit::OnVScroll(WORD code)
{
    QScrollBar* bar = verticalScrollBar();
    switch (code) {
    case SB_LINEUP:
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case SB_LINEDOWN:
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    case SB_PAGEUP:
        bar->triggerAction(QAbstractSlider::SliderPageStepSub);
        break;
    case SB_PAGEDOWN:
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        break;
    default:
        break;
    }
}

void CStudyEdit::focusInEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusInEvent(event);
    OnSetFocus();
}

void CStudyEdit::OnSetFocus()
{
    HideCaret();
}
