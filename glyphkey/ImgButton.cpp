// SPDX-License-Identifier: GPL-2.0-or-later
#include "ImgButton.h"

#include "File.h"
#include "Sound.h"
#include "WindowMessage.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QVariant>

namespace {

// The property through which the platform's GetDlgCtrlID and GetDlgItem know a
// control's id, so a button answers them like any control on a form.
const char* const kControlIdProperty = "vdControlId";

constexpr int kSuccess = 1;
constexpr int kFailure = 0;

bool IsMouseEvent(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return true;
    default:
        return false;
    }
}

} // namespace

CIMGButton::CIMGButton() = default;

CIMGButton::~CIMGButton()
{
    if (m_pressed)
        ReleaseCapture();
}

// ---- creation and set-up ----

int CIMGButton::Create(HINSTANCE instance, QWidget* parent, const RECT& rect, UINT id, UINT normalId,
                       UINT pressedId, UINT disabledId, BOOL enabled, int /*userValue*/)
{
    // A child window needs its parent.
    if (parent == nullptr)
        return kFailure;
    // The given module serves this button's images only; the process keeps its own
    // current module, which the rest of the program relies on.
    m_instance = instance;
    m_enabled = enabled;
    LoadImages(normalId, pressedId, disabledId);

    RECT place = rect;
    if (place.right == 0 || place.bottom == 0) {
        place.right = place.left + m_normalImage.width();
        place.bottom = place.top + m_normalImage.height();
    }
    setParent(parent);
    setGeometry(place.left, place.top, place.right - place.left, place.bottom - place.top);
    setProperty(kControlIdProperty, int(id));
    setFocusPolicy(Qt::TabFocus);
    show();
    return kSuccess;
}

int CIMGButton::SetImages(UINT normalId, UINT pressedId, UINT disabledId, BOOL resize)
{
    LoadImages(normalId, pressedId, disabledId);
    // The button keeps its place in the parent; only its size follows the new image.
    if (resize && !m_normalImage.isNull()) {
        setGeometry(QRect(pos(), m_normalImage.size()));
        repaint();
    }
    return kSuccess;
}

void CIMGButton::LoadImages(UINT normalId, UINT pressedId, UINT disabledId)
{
    const ResourceModule& module = ModuleOf(m_instance);
    auto load = [&module](UINT id) { return id != 0 ? module.LoadBitmap(int(id)) : QImage(); };
    m_normalImage = load(normalId);
    m_pressedImage = load(pressedId);
    m_disabledImage = load(disabledId);
}

int CIMGButton::SetSoundEffect(const QString& pushSound, const QString& warningSound)
{
    if (pushSound.isNull() || !CanOpen(pushSound))
        return kFailure;
    m_pushSound = pushSound;
    if (warningSound.isNull())
        return kSuccess;
    if (!CanOpen(warningSound))
        return kFailure;
    m_warningSound = warningSound;
    return kSuccess;
}

bool CIMGButton::CanOpen(const QString& path)
{
    File file;
    return file.Open(path, File::Access::Read, File::Disposition::OpenExisting);
}

void CIMGButton::EnableButton(BOOL enable)
{
    if (enable == m_enabled)
        return;
    m_enabled = enable;
    update();
}

// ---- drawing ----

const QImage& CIMGButton::CurrentImage() const
{
    if (!m_enabled)
        return m_disabledImage;
    return m_state == kStatePressed ? m_pressedImage : m_normalImage;
}

void CIMGButton::DrawImage()
{
    repaint();
}

void CIMGButton::OnPaint(QPainter& painter)
{
    const QImage& image = CurrentImage();
    if (image.isNull())
        return;
    // Unscaled from the top-left: a larger image is clipped to the window, a smaller one
    // leaves the rest as it was.
    painter.drawImage(QPoint(0, 0), image, rect());
    if (hasFocus()) {
        QPen pen(Qt::white, 0, Qt::DotLine);
        painter.setPen(pen);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void CIMGButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    OnPaint(painter);
}

// ---- sounds ----

void CIMGButton::PlayPush()
{
    const QString path = m_pushSound.isEmpty() ? QString::fromUtf16(kDefaultPushSound) : m_pushSound;
    PlaySoundW(path, nullptr, SND_FILENAME);
}

void CIMGButton::PlayWarning()
{
    const QString path =
        m_warningSound.isEmpty() ? QString::fromUtf16(kDefaultWarningSound) : m_warningSound;
    PlaySoundW(path, nullptr, SND_FILENAME);
}

// ---- the stylus ----

void CIMGButton::Push()
{
    if (!m_enabled) {
        PlayWarning();
        return;
    }
    if (m_pressed)
        return;
    m_state = kStatePressed;
    SetCapture();
    m_pressed = 1;
    // The pressed face is on screen before the sound, which blocks until it ends.
    DrawImage();
    PlayPush();
}

void CIMGButton::OnLButtonDown(const QPoint&)
{
    Push();
}

void CIMGButton::OnLButtonDblClk(const QPoint&)
{
    Push();
}

void CIMGButton::OnLButtonUp(const QPoint& point)
{
    if (!m_enabled) {
        // Disabled while held: let go of the mouse all the same, or every later tap in
        // the program would land here.
        if (m_pressed) {
            ReleaseCapture();
            m_pressed = 0;
        }
        return;
    }
    ReleaseCapture();
    m_pressed = 0;
    if (m_state != kStateNormal) {
        m_state = kStateNormal;
        update();
    }
    // Sent whether or not the press began here: the release alone decides the click.
    if (rect().contains(point))
        SendClick();
}

void CIMGButton::SendClick()
{
    const WPARAM wParam = MAKEWPARAM(WORD(property(kControlIdProperty).toInt()), BN_CLICKED);
    SendMessageW(parentWidget(), WM_COMMAND, wParam, LPARAM(static_cast<QWidget*>(this)));
}

bool CIMGButton::IsPressKey(int key)
{
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

// A key press is a tap: the click sound (the warning one when disabled), then the click.
void CIMGButton::keyPressEvent(QKeyEvent* event)
{
    if (!IsPressKey(event->key()) || event->modifiers() != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!m_enabled) {
        PlayWarning();
        return;
    }
    PlayPush();
    SendClick();
}

// The button takes its own press keys before the window's shortcuts see them.
bool CIMGButton::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (IsPressKey(key->key()) && key->modifiers() == Qt::NoModifier) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void CIMGButton::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void CIMGButton::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

void CIMGButton::OnMouseMove(const QPoint& point)
{
    if (!m_enabled || !m_pressed)
        return;
    const UINT wanted = rect().contains(point) ? kStatePressed : kStateNormal;
    if (m_state != wanted) {
        m_state = wanted;
        DrawImage();
    }
}

void CIMGButton::OnCaptureChanged(QWidget* gainingCapture)
{
    if (gainingCapture == this)
        return;
    // Whatever took the mouse, the press is over: the button no longer holds it.
    ReleaseCapture();
    m_pressed = 0;
    if (m_state == kStatePressed) {
        m_state = kStateNormal;
        DrawImage();
    }
}

// Qt's events carry the stylus; each is consumed here, as the original handlers left
// nothing for the parent.
void CIMGButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(event->position().toPoint());
    event->accept();
}

void CIMGButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnLButtonUp(event->position().toPoint());
    event->accept();
}

void CIMGButton::mouseMoveEvent(QMouseEvent* event)
{
    OnMouseMove(event->position().toPoint());
    event->accept();
}

void CIMGButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnLButtonDblClk(event->position().toPoint());
    event->accept();
}

// ---- mouse capture ----

void CIMGButton::SetCapture()
{
    grabMouse();
    // Qt tells a widget nothing when it loses the grab, so the button watches the
    // application's events while it holds it.
    qApp->installEventFilter(this);
}

void CIMGButton::ReleaseCapture()
{
    qApp->removeEventFilter(this);
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
}

bool CIMGButton::CaptureTaken(QObject* watched, QEvent* event) const
{
    // A modal window blocks ours, or the button is hidden: its release would never come.
    if (event->type() == QEvent::WindowBlocked && watched == window())
        return true;
    if (event->type() == QEvent::Hide && watched == this)
        return true;
    return IsMouseEvent(event) && QWidget::mouseGrabber() != this;
}

bool CIMGButton::eventFilter(QObject* watched, QEvent* event)
{
    if (m_pressed && CaptureTaken(watched, event)) {
        QWidget* holder = QWidget::mouseGrabber();
        OnCaptureChanged(holder != this ? holder : nullptr);
    }
    return false;
}
