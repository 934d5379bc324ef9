// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The soft input panel of a handheld. A desktop has a keyboard, so showing and hiding
// the panel does nothing; the calls stay so the dialogs read as they were designed.

#include "Win32Defs.h"

constexpr DWORD SIPF_OFF = 0x00000000;
constexpr DWORD SIPF_ON = 0x00000001;

class SoftInputPanel
{
public:
    static BOOL SipShowIM(DWORD flags);
};

inline BOOL SipShowIM(DWORD flags) { return SoftInputPanel::SipShowIM(flags); }
