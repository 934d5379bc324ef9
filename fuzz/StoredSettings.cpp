// SPDX-License-Identifier: GPL-2.0-or-later
#include "StoredSettings.h"

#include "RegSettings.h"

StoredSettings StoredSettings::Read()
{
    CRegSettings store;
    return {store.GetFontName(), store.GetHeight(), store.GetBold(), store.GetBkColor(), store.GetTxtColor()};
}

bool StoredSettings::Write() const
{
    CRegSettings store;
    return store.SetFontName(fontName) && store.SetHeight(height) && store.SetBold(bold) &&
           store.SetBkColor(bkColor) && store.SetTxtColor(txtColor);
}
