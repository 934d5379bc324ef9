// SPDX-License-Identifier: GPL-2.0-or-later
#include "SoftInputPanel.h"

BOOL SoftInputPanel::SipShowIM(DWORD)
{
    return 1;
}
