// SPDX-License-Identifier: GPL-2.0-or-later
#include "ColourPicker.h"

#include "ColourMessages.h"
#include "DialogBuilder.h"
#include "SystemLook.h"

#include <QEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>

using namespace SystemLook;

namespace {

constexpr int kMinimumArrowSide = 16;
constexpr int kArrowEdgeFactor = 5;
constexpr int kArrowGlyphDivisor = 4;
constexpr int kMinimumGlyphHeight = 2;
constexpr const char* kDefaultAutoText = "Automatic";
constexpr const char* kDefaultCancelText = "Cancel";

int ArrowSide()
{
    return std::max(std::max(kMinimumArrowSide, kArrowEdgeFactor * kEdgeWidth),
                    std::max(kMinimumArrowSide, kArrowEdgeFactor * kEdgeHeight));
}

// A down-pointing triangle centred on centre, one row per pixel of height.
void DrawDownGlyph(QPainter& painter, QPoint centre, int height, const QColor& colour)
{
    const int left = centre.x() - (height - 1);
    const int top = centre.y() - height / 2;
    for (int row = 0; row < height; ++row)
        painter.fillRect(QRect(left + row, top + row, 2 * (height - row) - 1, 1), colour);
}

} // namespace

CColourPicker::CColourPicker(QWidget* parent)
    : QPushButton(parent)
    , m_colour(GetSysColorRef(COLOR_BTNFACE))
    , m_textColour(GetSysColorRef(COLOR_BTNTEXT))
    , m_autoText(QString::fromLatin1(kDefaultAutoText))
    , m_cancelText(QString::fromLatin1(kDefaultCancelText))
{
    // Enter in a dialog belongs to its OK button, never to the picker that has the focus.
    setAutoDefault(false);
    connect(this, &QAbstractButton::clicked, this, [this] { OnClicked(); });
}

CColourPicker::~CColourPicker() = default;

// ---- creation by class name ----

CColourPicker::Factory CColourPicker::LookupClass(const QString& className)
{
    return className == QLatin1String(kClassName) ? &CColourPicker::CreateObject : nullptr;
}

void CColourPicker::RegisterClass(Registrar registrar)
{
    if (registrar != nullptr)
        registrar(QString::fromLatin1(kClassName), &CColourPicker::CreateObject);
}

QWidget* CColourPicker::CreateObject(QWidget* parent)
{
    return new CColourPicker(parent);
}

int CColourPicker::GetDlgCtrlID() const
{
    return m_id != kNoControlId ? m_id : ::GetDlgCtrlID(this);
}

// ---- colour and labels ----

void CColourPicker::SetColour(COLORREF colour)
{
    m_colour = colour;
    update();
}

void CColourPicker::SetAutoText(const QString& text)
{
    m_autoText = text;
}

void CColourPicker::SetCancelText(const QString& text)
{
    m_cancelText = text;
}

// ---- size ----

void CColourPicker::PreSubclassWindow()
{
    AdjustSize();
}

void CColourPicker::AdjustSize()
{
    m_adjusted = true;
    const int arrow = ArrowSide();
    const QRect place = geometry();
    const int width = std::max(place.width(), 2 * (arrow + kEdgeWidth));
    const int height = arrow + 2 * kEdgeHeight;
    setGeometry(place.left(), place.top(), width, height);
    m_arrowRect = QRect(width - arrow - kEdgeWidth, kEdgeHeight, arrow, arrow);
    update();
}

// ---- messages ----

bool CColourPicker::event(QEvent* event)
{
    if (event->type() == WindowMessageEvent::EventType()) {
        auto* message = static_cast<WindowMessageEvent*>(event);
        const auto colour = COLORREF(message->wParam);
        switch (message->message) {
        case WM_COLOUR_SELOK:
            message->result = OnSelOk(colour);
            return true;
        case WM_COLOUR_SELCANCEL:
            message->result = OnSelCancel(colour);
            return true;
        case WM_COLOUR_SELCHANGE:
            message->result = OnSelChange(colour);
            return true;
        default:
            break;
        }
    }
    if (event->type() == QEvent::Show && !m_adjusted)
        AdjustSize();
    return QPushButton::event(event);
}

void CColourPicker::NotifyParent(UINT message, COLORREF colour)
{
    QWidget* parent = parentWidget();
    if (parent != nullptr)
        SendMessageW(parent, message, colour, GetDlgCtrlID());
}

void CColourPicker::OnClicked()
{
    if (m_grid.IsOpen()) {
        m_grid.DestroyWindow();
        OnSelCancel(m_colourBeforeOpening);
        return;
    }
    m_open = true;
    m_colourBeforeOpening = m_colour;
    repaint();
    const QPoint corner = mapToGlobal(QPoint(0, height()));
    if (!m_grid.Create(corner, m_colour, this, &m_autoText, &m_cancelText)) {
        // No grid came up: nothing was dropped down, so the parent hears nothing.
        m_open = false;
        update();
        return;
    }
    NotifyParent(WM_COLOUR_DROPDOWN, m_colour);
}

void CColourPicker::EndSelection(UINT message, COLORREF colour)
{
    m_open = false;
    SetColour(colour);
    // The parent may close its dialog, and this button with it, on the first message.
    const QPointer<CColourPicker> self(this);
    NotifyParent(WM_COLOUR_CLOSEUP, colour);
    if (self != nullptr)
        NotifyParent(message, colour);
}

LRESULT CColourPicker::OnSelOk(COLORREF colour)
{
    EndSelection(WM_COLOUR_SELOK, colour);
    return 1;
}

LRESULT CColourPicker::OnSelCancel(COLORREF colour)
{
    EndSelection(WM_COLOUR_SELCANCEL, colour);
    return 1;
}

LRESULT CColourPicker::OnSelChange(COLORREF colour)
{
    NotifyParent(WM_COLOUR_SELCHANGE, colour);
    return 1;
}

// ---- drawing ----

void CColourPicker::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawItem(painter, rect(), isDown());
}

void CColourPicker::DrawItem(QPainter& painter, QRect item, bool selected)
{
    if (m_open)
        selected = true;
    DrawArrow(painter, selected);

    QRect box = DrawEdge(painter, item, EDGE_SUNKEN);
    box.adjust(kEdgeWidth, kEdgeHeight, -kEdgeWidth, -kEdgeHeight);
    box.setRight(box.right() - m_arrowRect.width());

    const bool plainFace = !isEnabled() || m_colour == CLR_DEFAULT;
    painter.fillRect(box, plainFace ? GetSysColor(COLOR_BTNFACE) : ToQColor(m_colour));
    DrawCaption(painter, box);
    if (hasFocus())
        DrawFocusRect(painter, box.adjusted(1, 1, -1, -1));
}

void CColourPicker::DrawArrow(QPainter& painter, bool selected) const
{
    if (m_arrowRect.isEmpty())
        return;
    painter.fillRect(m_arrowRect, GetSysColor(COLOR_BTNFACE));
    QPoint centre = m_arrowRect.center();
    if (selected) {
        DrawOutline(painter, m_arrowRect, GetSysColor(COLOR_BTNSHADOW));
        centre += QPoint(1, 1);
    } else {
        DrawEdge(painter, m_arrowRect, EDGE_RAISED);
    }
    const int glyphHeight = std::max(kMinimumGlyphHeight, m_arrowRect.height() / kArrowGlyphDivisor);
    if (isEnabled()) {
        DrawDownGlyph(painter, centre, glyphHeight, GetSysColor(COLOR_BTNTEXT));
    } else {
        DrawDownGlyph(painter, centre + QPoint(1, 1), glyphHeight, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawDownGlyph(painter, centre, glyphHeight, GetSysColor(COLOR_BTNSHADOW));
    }
}

void CColourPicker::DrawCaption(QPainter& painter, const QRect& box) const
{
    const QString caption = text();
    if (caption.isEmpty())
        return;
    constexpr int kFlags = Qt::AlignCenter | Qt::TextSingleLine;
    painter.save();
    painter.setFont(font());
    if (!isEnabled()) {
        painter.setPen(GetSysColor(COLOR_BTNHIGHLIGHT));
        painter.drawText(box.translated(1, 1), kFlags, caption);
        painter.setPen(GetSysColor(COLOR_BTNSHADOW));
        painter.drawText(box, kFlags, caption);
    } else {
        painter.setPen(m_textColour == CLR_DEFAULT ? QColor(Qt::black) : ToQColor(m_textColour));
        painter.drawText(box, kFlags, caption);
    }
    painter.restore();
}
