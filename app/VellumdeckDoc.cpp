// SPDX-License-Identifier: GPL-2.0-or-later
#include "VellumdeckDoc.h"

bool CVellumdeckDoc::OnNewDocument()
{
    return true;
}
