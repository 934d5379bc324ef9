// SPDX-License-Identifier: GPL-2.0-or-later
#include "ColourGrid.h"

#include "ColourMessages.h"
#include "SystemLook.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

using namespace SystemLook;

const std::array<CColourGrid::ColourTableEntry, CColourGrid::kColourCount> CColourGrid::kColourTable = {{
    {ColourRefFromRgb(0, 0, 0), "Black"},
    {ColourRefFromRgb(165, 42, 0), "Brown"},
    {ColourRefFromRgb(0, 64, 64), "Dark Olive Green"},
    {ColourRefFromRgb(0, 85, 0), "Dark Green"},
    {ColourRefFromRgb(0, 0, 94), "Dark Teal"},
    {ColourRefFromRgb(0, 0, 139), "Dark blue"},
    {ColourRefFromRgb(75, 0, 130), "Indigo"},
    {ColourRefFromRgb(40, 40, 40), "Dark grey"},
    {ColourRefFromRgb(139, 0, 0), "Dark red"},
    {ColourRefFromRgb(255, 104, 32), "Orange"},
    {ColourRefFromRgb(139, 139, 0), "Dark yellow"},
    {ColourRefFromRgb(0, 147, 0), "Green"},
    {ColourRefFromRgb(56, 142, 142), "Teal"},
    {ColourRefFromRgb(0, 0, 255), "Blue"},
    {ColourRefFromRgb(123, 123, 192), "Blue-grey"},
    {ColourRefFromRgb(102, 102, 102), "Grey - 40"},
    {ColourRefFromRgb(255, 0, 0), "Red"},
    {ColourRefFromRgb(255, 173, 91), "Light orange"},
    {ColourRefFromRgb(50, 205, 50), "Lime"},
    {ColourRefFromRgb(60, 179, 113), "Sea green"},
    {ColourRefFromRgb(127, 255, 212), "Aqua"},
    {ColourRefFromRgb(125, 158, 192), "Light blue"},
    {ColourRefFromRgb(128, 0, 128), "Violet"},
    {ColourRefFromRgb(127, 127, 127), "Grey - 50"},
    {ColourRefFromRgb(255, 192, 203), "Pink"},
    {ColourRefFromRgb(255, 215, 0), "Gold"},
    {ColourRefFromRgb(255, 255, 0), "Yellow"},
    {ColourRefFromRgb(0, 255, 0), "Bright green"},
    {ColourRefFromRgb(64, 224, 208), "Turquoise"},
    {ColourRefFromRgb(192, 255, 255), "Skyblue"},
    {ColourRefFromRgb(72, 0, 72), "Plum"},
    {ColourRefFromRgb(192, 192, 192), "Light grey"},
    {ColourRefFromRgb(255, 228, 225), "Rose"},
    {ColourRefFromRgb(210, 180, 140), "Tan"},
    {ColourRefFromRgb(255, 255, 224), "Light yellow"},
    {ColourRefFromRgb(152, 251, 152), "Pale green "},
    {ColourRefFromRgb(175, 238, 238), "Pale turquoise"},
    {ColourRefFromRgb(104, 131, 139), "Pale blue"},
    {ColourRefFromRgb(230, 230, 250), "Lavender"},
    {ColourRefFromRgb(255, 255, 255), "White"},
}};

namespace {

constexpr int kMinimumSwatch = 5;
constexpr int kSmallCellExtra = 7;
// The window is sized by the layout; this only gives it a place until then.
constexpr int kInitialWindowSide = 100;
constexpr int kFontPixelHeight = 11;
constexpr const char* kFontFace = "Tahoma";

int CellSizeFor(int margin)
{
    if (CColourGrid::kDefaultCellSize - 2 * (margin + 1) < kMinimumSwatch)
        return 2 * margin + kSmallCellExtra;
    return CColourGrid::kDefaultCellSize;
}

QFont GridFont()
{
    QFont font(QString::fromLatin1(kFontFace));
    font.setPixelSize(kFontPixelHeight);
    font.setWeight(QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace

CColourGrid::CColourGrid()
    : QWidget(nullptr, Qt::Popup)
    , m_cellSize(CellSizeFor(kEdgeWidth))
    , m_margin(kEdgeWidth)
    , m_font(GridFont())
{
    setFocusPolicy(Qt::StrongFocus);
}

CColourGrid::~CColourGrid()
{
    ReleaseCapture();
}

// ---- opening and layout ----

bool CColourGrid::Create(QPoint point, COLORREF colour, QWidget* owner,
                         const QString* topLabel, const QString* bottomLabel)
{
    m_owner = owner;
    m_initialColour = colour;
    m_currentColour = colour;
    if (!OpenWindow(point, owner))
        return false;
    if (topLabel != nullptr)
        m_topLabel = *topLabel;
    if (bottomLabel != nullptr)
        m_bottomLabel = *bottomLabel;
    Layout();
    m_chosenIndex = ChosenIndexFor(colour);
    // A popup comes up on top and takes the keyboard focus by itself.
    show();
    SetCapture();
    return true;
}

bool CColourGrid::OpenWindow(QPoint point, QWidget* owner)
{
    setGeometry(QRect(point, QSize(kInitialWindowSide, kInitialWindowSide)));
    winId();
    QWindow* window = windowHandle();
    if (window == nullptr)
        return false;
    // Owned by the owner's window, so the window system keeps it above the dialog.
    if (owner != nullptr && owner->window()->windowHandle() != nullptr)
        window->setTransientParent(owner->window()->windowHandle());
    return true;
}

bool CColourGrid::IsOpen() const
{
    return isVisible();
}

void CColourGrid::DestroyWindow()
{
    ReleaseCapture();
    hide();
}

QSize CColourGrid::TextSize() const
{
    if (m_topLabel.isEmpty() && m_bottomLabel.isEmpty())
        return QSize(0, 0);
    const QFontMetrics metrics(m_font);
    int width = 0;
    int height = 0;
    for (const QString* label : {&m_topLabel, &m_bottomLabel}) {
        if (label->isEmpty())
            continue;
        width = std::max(width, metrics.horizontalAdvance(*label));
        height = std::max(height, metrics.height());
    }
    return QSize(width + 2 * m_margin, height + 4 * m_margin + 2);
}

void CColourGrid::Layout()
{
    const QSize text = TextSize();
    m_columns = kColumnCount;
    m_rows = (m_colourCount + kColumnCount - 1) / kColumnCount;

    QRect rect(pos(), QSize(kColumnCount * m_cellSize + 2 * m_margin, m_rows * m_cellSize + 2 * m_margin));
    if (HasTopBox()) {
        if (text.width() > rect.width())
            rect.setWidth(text.width());
        m_topBox = QRect(QPoint(m_margin, m_margin), QPoint(rect.width() - m_margin, 2 * m_margin + text.height()) - QPoint(1, 1));
        rect.setHeight(rect.height() + m_topBox.height() + 2 * m_margin);
    }
    if (HasBottomBox()) {
        if (text.width() > rect.width())
            rect.setWidth(text.width());
        const int y = rect.height();
        m_bottomBox = QRect(QPoint(m_margin, y), QPoint(rect.width() - m_margin, y + m_margin + text.height()) - QPoint(1, 1));
        rect.setHeight(rect.height() + m_bottomBox.height() + 2 * m_margin);
    }
    FitToScreen(rect);
    m_windowRect = rect;
    setGeometry(m_windowRect);
    update();
}

void CColourGrid::FitToScreen(QRect& rect) const
{
    QScreen* screen = QGuiApplication::screenAt(rect.topLeft());
    if (screen == nullptr && m_owner != nullptr)
        screen = m_owner->screen();
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect available = screen->availableGeometry();
    if (rect.right() > available.right())
        rect.moveLeft(rect.left() - (rect.right() - available.right()));
    if (rect.left() < available.left())
        rect.moveLeft(available.left());
    if (rect.bottom() > available.bottom()) {
        const int ownerHeight = m_owner != nullptr ? m_owner->height() : 0;
        rect.moveTop(rect.top() - ownerHeight - rect.height());
        // Fitting neither below nor above the button, it keeps its top on the screen so
        // that every cell can still be tapped.
        if (rect.top() < available.top())
            rect.moveTop(available.top());
    }
}

int CColourGrid::ChosenIndexFor(COLORREF colour) const
{
    if (colour == CLR_DEFAULT && HasTopBox())
        return kTopBoxIndex;
    for (int i = 0; i < m_colourCount; ++i) {
        if (kColourTable[i].colour == colour)
            return i;
    }
    return HasBottomBox() ? kBottomBoxIndex : kNoIndex;
}

// ---- positions ----

bool CColourGrid::IsPosition(int index) const
{
    return IsCell(index) || (index == kTopBoxIndex && HasTopBox()) || (index == kBottomBoxIndex && HasBottomBox());
}

QRect CColourGrid::GetCellRect(int index) const
{
    if (!IsCell(index))
        return QRect();
    int top = (index / kColumnCount) * m_cellSize + m_margin;
    if (HasTopBox())
        top += m_topBox.height() + m_margin;
    return QRect((index % kColumnCount) * m_cellSize + m_margin, top, m_cellSize, m_cellSize);
}

QRect CColourGrid::PositionRect(int index) const
{
    if (index == kTopBoxIndex)
        return HasTopBox() ? m_topBox : QRect();
    if (index == kBottomBoxIndex)
        return HasBottomBox() ? m_bottomBox : QRect();
    return GetCellRect(index);
}

int CColourGrid::IndexFromPlace(int row, int column) const
{
    if ((row == kBottomBoxIndex || column == kBottomBoxIndex) && HasBottomBox())
        return kBottomBoxIndex;
    if ((row == kTopBoxIndex || column == kTopBoxIndex) && HasTopBox())
        return kTopBoxIndex;
    if (row < 0 || row >= m_rows || column < 0 || column >= m_columns || row * m_columns + column >= m_colourCount)
        return kNoIndex;
    return row * m_columns + column;
}

CColourGrid::GridPlace CColourGrid::PlaceOf(int index) const
{
    if ((index == kBottomBoxIndex && HasBottomBox()) || (index == kTopBoxIndex && HasTopBox()))
        return {index, index};
    if (IsCell(index) && m_columns > 0)
        return {index / m_columns, index % m_columns};
    return {kNoIndex, kNoIndex};
}

// ---- keys ----

int CColourGrid::TargetOfDown(GridPlace from) const
{
    if (from.row == kTopBoxIndex)
        return 0;
    if (from.row == kBottomBoxIndex)
        return TopBoxElse(0);
    const int target = IndexFromPlace(from.row + 1, from.column);
    return IsCell(target) ? target : BottomBoxElse(TopBoxElse(0));
}

int CColourGrid::TargetOfUp(GridPlace from) const
{
    if (from.row == kTopBoxIndex)
        return BottomBoxElse(kLastCell);
    if (from.row == kBottomBoxIndex)
        return kLastCell;
    if (from.row > 0)
        return IndexFromPlace(from.row - 1, from.column);
    return TopBoxElse(BottomBoxElse(kLastCell));
}

int CColourGrid::TargetOfRight(GridPlace from) const
{
    if (from.row == kTopBoxIndex)
        return 0;
    if (from.row == kBottomBoxIndex)
        return TopBoxElse(0);
    const int target = from.column < kLastColumn ? IndexFromPlace(from.row, from.column + 1)
                                                 : IndexFromPlace(from.row + 1, 0);
    return IsCell(target) ? target : BottomBoxElse(TopBoxElse(0));
}

int CColourGrid::TargetOfLeft(GridPlace from) const
{
    if (from.row == kTopBoxIndex)
        return BottomBoxElse(kLastCell);
    if (from.row == kBottomBoxIndex)
        return kLastCell;
    if (from.column > 0)
        return IndexFromPlace(from.row, from.column - 1);
    if (from.row > 0)
        return IndexFromPlace(from.row - 1, kLastColumn);
    return TopBoxElse(BottomBoxElse(kLastCell));
}

bool CColourGrid::OnKeyDown(int key)
{
    const GridPlace from = PlaceOf(m_hotIndex);
    switch (key) {
    case Qt::Key_Down:
        MoveHighlight(TargetOfDown(from));
        return false;
    case Qt::Key_Up:
        MoveHighlight(TargetOfUp(from));
        return false;
    case Qt::Key_Right:
        MoveHighlight(TargetOfRight(from));
        return false;
    case Qt::Key_Left:
        MoveHighlight(TargetOfLeft(from));
        return false;
    case Qt::Key_Escape:
        m_currentColour = m_initialColour;
        EndSelection(WM_COLOUR_SELCANCEL);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        EndSelection(WM_COLOUR_SELOK);
        return true;
    default:
        return false;
    }
}

// ---- highlight and ending ----

void CColourGrid::MoveHighlight(int position)
{
    if (position >= m_colourCount)
        position = kBottomBoxIndex;
    if (!IsPosition(position))
        return;
    if (IsPosition(m_hotIndex)) {
        const int previous = m_hotIndex;
        m_hotIndex = kNoIndex;
        RedrawPosition(previous);
    }
    m_hotIndex = position;
    RedrawPosition(position);

    // The bottom box announces the colour the grid was opened with but leaves the
    // current colour alone: Enter on it keeps whatever the keys last moved over.
    COLORREF colour;
    if (position == kBottomBoxIndex) {
        colour = m_initialColour;
    } else {
        colour = position == kTopBoxIndex ? CLR_DEFAULT : kColourTable[position].colour;
        m_currentColour = colour;
    }
    SendMessageW(m_owner, WM_COLOUR_SELCHANGE, colour, 0);
}

void CColourGrid::EndSelection(UINT message)
{
    ReleaseCapture();
    if (message == WM_COLOUR_SELCANCEL)
        m_currentColour = m_initialColour;
    // The owner may take its whole dialog down while handling the end.
    const QPointer<CColourGrid> self(this);
    SendMessageW(m_owner, message, m_currentColour, 0);
    if (self != nullptr)
        hide();
}

void CColourGrid::RedrawPosition(int index)
{
    const QRect rect = PositionRect(index);
    if (IsOpen() && !rect.isEmpty())
        repaint(rect);
}

// ---- the mouse ----

void CColourGrid::OnLButtonDown(QPoint point)
{
    QPoint q = point - QPoint(m_margin, m_margin);
    int position = kNoIndex;
    if (HasBottomBox() && m_bottomBox.contains(q)) {
        position = kBottomBoxIndex;
    } else if (HasTopBox() && m_topBox.contains(q)) {
        position = kTopBoxIndex;
    } else {
        if (HasTopBox())
            q.ry() -= m_topBox.height();
        const int index = IndexFromPlace(q.y() / m_cellSize, q.x() / m_cellSize);
        if (IsCell(index))
            position = index;
    }
    if (position != kNoIndex && position != m_hotIndex)
        MoveHighlight(position);
}

void CColourGrid::OnLButtonUp(QPoint screenPoint)
{
    EndSelection(m_windowRect.contains(screenPoint) ? WM_COLOUR_SELOK : WM_COLOUR_SELCANCEL);
}

void CColourGrid::mousePressEvent(QMouseEvent* event)
{
    // The base handling would close a popup tapped outside; the grid decides on tap up.
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(event->position().toPoint());
    event->accept();
}

void CColourGrid::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && IsOpen())
        OnLButtonUp(event->globalPosition().toPoint());
}

void CColourGrid::keyPressEvent(QKeyEvent* event)
{
    if (!OnKeyDown(event->key()))
        QWidget::keyPressEvent(event);
}

// ---- capture ----

void CColourGrid::SetCapture()
{
    grabMouse();
    grabKeyboard();
    if (!m_capturing)
        qApp->installEventFilter(this);
    m_capturing = true;
}

void CColourGrid::ReleaseCapture()
{
    if (m_capturing && qApp != nullptr)
        qApp->removeEventFilter(this);
    m_capturing = false;
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
    if (QWidget::keyboardGrabber() == this)
        releaseKeyboard();
}

void CColourGrid::PreTranslateMessage()
{
    QWidget* holder = QWidget::mouseGrabber();
    if (holder != nullptr && holder != this)
        grabMouse();
}

bool CColourGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (m_capturing && IsOpen())
        PreTranslateMessage();
    return QWidget::eventFilter(watched, event);
}

void CColourGrid::OnKillFocus()
{
    // The window stays up; the picker's next click takes it down.
    ReleaseCapture();
}

void CColourGrid::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    OnKillFocus();
}

void CColourGrid::closeEvent(QCloseEvent* event)
{
    // Closed by the window system (the desktop took the popup away): the owner must not
    // be left waiting for an end that never comes.
    if (IsOpen())
        EndSelection(WM_COLOUR_SELCANCEL);
    event->accept();
}

// ---- painting ----

void CColourGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    OnPaint(painter);
}

void CColourGrid::OnPaint(QPainter& painter)
{
    painter.fillRect(rect(), GetSysColor(COLOR_BTNFACE));
    if (HasTopBox())
        DrawTopBox(painter);
    for (int i = 0; i < m_colourCount; ++i)
        DrawCell(painter, i);
    if (HasBottomBox())
        DrawBottomBox(painter);
    DrawEdge(painter, rect(), EDGE_RAISED);
}

void CColourGrid::DrawCell(QPainter& painter, int index) const
{
    const QRect cell = GetCellRect(index);
    const bool hot = index == m_hotIndex;
    const bool chosen = index == m_chosenIndex;
    painter.fillRect(cell, GetSysColor(chosen && !hot ? COLOR_BTNHIGHLIGHT : COLOR_BTNFACE));
    if (hot)
        DrawEdge(painter, cell, BDR_RAISEDINNER);
    else if (chosen)
        DrawEdge(painter, cell, BDR_SUNKENOUTER);

    const int inset = m_margin + 1;
    const QRect swatch = cell.adjusted(inset, inset, -inset, -inset);
    painter.fillRect(swatch, ToQColor(kColourTable[index].colour));
    DrawOutline(painter, swatch, GetSysColor(COLOR_BTNSHADOW));
}

void CColourGrid::DrawBoxFace(QPainter& painter, const QRect& inner, int index, const QString& label,
                              bool outlined) const
{
    const bool hot = index == m_hotIndex;
    const bool chosen = index == m_chosenIndex;
    painter.fillRect(inner, GetSysColor(chosen && !hot ? COLOR_3DLIGHT : COLOR_BTNFACE));
    if (outlined) {
        const int inset = 2 * m_margin;
        DrawOutline(painter, inner.adjusted(inset, inset, -inset, -inset), GetSysColor(COLOR_BTNSHADOW));
    }
    if (hot)
        DrawEdge(painter, inner, BDR_RAISEDINNER);
    else if (chosen)
        DrawEdge(painter, inner, BDR_SUNKENOUTER);
    painter.save();
    painter.setFont(m_font);
    painter.setPen(GetSysColor(COLOR_BTNTEXT));
    painter.drawText(inner, Qt::AlignCenter | Qt::TextSingleLine, label);
    painter.restore();
}

void CColourGrid::DrawTopBox(QPainter& painter) const
{
    painter.fillRect(m_topBox, GetSysColor(COLOR_BTNFACE));
    DrawBoxFace(painter, m_topBox.adjusted(1, 1, -1, -1), kTopBoxIndex, m_topLabel, true);
}

void CColourGrid::DrawBottomBox(QPainter& painter) const
{
    QRect inner = m_bottomBox.adjusted(0, 2 * m_margin, 0, 0);
    painter.fillRect(inner, GetSysColor(COLOR_BTNFACE));
    const QRect separator(m_bottomBox.left() + 2 * m_margin, m_bottomBox.top(),
                          m_bottomBox.width() - 4 * m_margin, 1);
    painter.fillRect(separator, GetSysColor(COLOR_BTNSHADOW));
    painter.fillRect(separator.translated(0, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawBoxFace(painter, inner.adjusted(1, 1, -1, -1), kBottomBoxIndex, m_bottomLabel, false);
}
