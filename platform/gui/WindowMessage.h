// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Window messages between our widgets: a control tells its parent of a click or a
// scroll, a popup tells its owner of a choice, the player thread posts its
// notifications to the view. A message reaches a QObject as a WindowMessageEvent;
// the receiver handles it in event() and may set a result.

#include "Win32Defs.h"

#include <QEvent>

class QObject;

constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;

constexpr WORD BN_CLICKED = 0;

// Scroll and trackbar codes, low word of wParam of WM_HSCROLL / WM_VSCROLL
constexpr WORD TB_LINEUP = 0;
constexpr WORD TB_LINEDOWN = 1;
constexpr WORD TB_PAGEUP = 2;
constexpr WORD TB_PAGEDOWN = 3;
constexpr WORD TB_THUMBPOSITION = 4;
constexpr WORD TB_THUMBTRACK = 5;
constexpr WORD TB_TOP = 6;
constexpr WORD TB_BOTTOM = 7;
constexpr WORD TB_ENDTRACK = 8;
constexpr WORD SB_THUMBTRACK = TB_THUMBTRACK;
constexpr WORD SB_ENDSCROLL = TB_ENDTRACK;

constexpr WPARAM MAKEWPARAM(WORD low, WORD high) { return WPARAM(DWORD(low) | (DWORD(high) << 16)); }
constexpr WORD LOWORD(std::uintptr_t v) { return WORD(v & 0xFFFF); }
constexpr WORD HIWORD(std::uintptr_t v) { return WORD((v >> 16) & 0xFFFF); }

class WindowMessageEvent : public QEvent
{
public:
    WindowMessageEvent(UINT message, WPARAM wParam, LPARAM lParam);
    static QEvent::Type EventType();

    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
};

// Delivers at once on the calling thread (the target's own) and returns the result the
// receiver set; 0 when target is null or the message is not handled.
LRESULT SendMessageW(QObject* target, UINT message, WPARAM wParam, LPARAM lParam);
// Queues the message for the target's thread, delivered in posting order; false when
// target is null.
bool PostMessageW(QObject* target, UINT message, WPARAM wParam, LPARAM lParam);
