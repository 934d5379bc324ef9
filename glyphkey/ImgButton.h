// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A push button drawn from bitmaps: one image for the normal state, one while it is
// held down, one while it is disabled. It tracks the stylus itself, plays a click
// sound on a press (a warning sound on a press while disabled) and tells its parent of
// a click with WM_COMMAND (control id, BN_CLICKED) and the button in lParam, sent, so
// the parent's handler has run when the release returns.
//
// From the keyboard the button is reached with Tab (a dotted frame marks it) and
// pressed with Space or Enter, as a desktop button is.
//
// The library exports exactly the members marked VD_EXPORT; the class is used by
// value and never derived from outside the library. The Qt overrides only forward to
// the handlers of the same names as the messages they stand for.

#include "ResourceModule.h"
#include "Win32Defs.h"

#include <QImage>
#include <QString>
#include <QWidget>

class QPainter;

class CIMGButton : public QWidget
{
public:
    // Where a press on a disabled button and an ordinary press sound, unless set.
    static constexpr const char16_t* kDefaultPushSound = u"\\Windows\\menusel.wav";
    static constexpr const char16_t* kDefaultWarningSound = u"\\Windows\\question.wav";

    VD_EXPORT CIMGButton();
    VD_EXPORT ~CIMGButton() override;

    // Makes the button a visible child of parent at rect with the control id. Images are
    // the bitmaps of instance's module (null: the current module, the program's own);
    // an id of 0 leaves that image empty. A rect whose right or bottom edge is 0 takes
    // its size from the normal image. Non-zero on success (a parent is required). The
    // user value is taken for the callers' sake; the button keeps nothing of it.
    VD_EXPORT virtual int Create(HINSTANCE instance, QWidget* parent, const RECT& rect, UINT id,
                                 UINT normalId, UINT pressedId, UINT disabledId, BOOL enabled,
                                 int userValue);
    // Replaces the three images. With resize set the button keeps its place and takes
    // the normal image's size. Always 1.
    VD_EXPORT int SetImages(UINT normalId, UINT pressedId, UINT disabledId, BOOL resize);
    // Each path must name a file that opens for reading; a null warning path keeps the
    // warning sound as it is. 0 when the push path is null or a file does not open; a
    // sound that does not open keeps its previous path.
    VD_EXPORT int SetSoundEffect(const QString& pushSound, const QString& warningSound = QString());
    // The press: warning sound when disabled; otherwise pressed face, capture, push sound.
    VD_EXPORT void Push();
    // Repaints (at the next paint) only when the flag changes.
    VD_EXPORT void EnableButton(BOOL enable);
    // Paints the current face now.
    VD_EXPORT void DrawImage();

protected:
    VD_EXPORT void PlayPush();
    VD_EXPORT void PlayWarning();

    VD_EXPORT void OnPaint(QPainter& painter);
    VD_EXPORT void OnLButtonDown(const QPoint& point);
    VD_EXPORT void OnLButtonUp(const QPoint& point);
    VD_EXPORT void OnMouseMove(const QPoint& point);
    VD_EXPORT void OnLButtonDblClk(const QPoint& point);
    VD_EXPORT void OnCaptureChanged(QWidget* gainingCapture);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum : UINT { kStateNormal = 0, kStatePressed = 1 };

    void LoadImages(UINT normalId, UINT pressedId, UINT disabledId);
    // The click a release over the button makes: the parent is told.
    void SendClick();
    static bool IsPressKey(int key);
    const QImage& CurrentImage() const;
    void SetCapture();
    void ReleaseCapture();
    bool CaptureTaken(QObject* watched, QEvent* event) const;
    static bool CanOpen(const QString& path);

    QImage m_normalImage;
    QImage m_pressedImage;
    QImage m_disabledImage;
    int m_enabled = 1;
    QString m_pushSound;
    QString m_warningSound;
    int m_pressed = 0;
    UINT m_state = kStateNormal;

    // The module the images come from: the one given to Create, else the current one.
    HINSTANCE m_instance = nullptr;
};
