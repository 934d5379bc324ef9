// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Copying a dialog's members to its controls and back, in one pass over the controls.
// A pass that saves stops at the first control whose text cannot be taken (the user has
// been told and the control has the focus); the members already copied keep their values.

#include "Win32Defs.h"

class QWidget;

class CDataExchange
{
public:
    CDataExchange(QWidget* dialog, bool saveAndValidate)
        : m_dialog(dialog), m_saveAndValidate(saveAndValidate)
    {
    }

    QWidget* Dialog() const { return m_dialog; }
    bool IsSaving() const { return m_saveAndValidate; }
    bool HasFailed() const { return m_failed; }
    // Ends the pass at the control with this id: it gets the focus and its text is selected.
    void Fail(int id);

private:
    QWidget* m_dialog;
    bool m_saveAndValidate;
    bool m_failed = false;
};

// Check box id and a flag: 1 checked, 0 not.
void DDX_Check(CDataExchange& exchange, int id, int& value);
// Edit id and a whole number; text that is not one is refused with a message.
void DDX_Text(CDataExchange& exchange, int id, int& value);
// After a save of the whole number of edit id: one below minimum is refused with a
// message, as text that is no number is.
void DDV_MinInt(CDataExchange& exchange, int id, int value, int minimum);
// Colour picker id and a colour member.
void ExchangePickerColour(CDataExchange& exchange, int id, COLORREF& colour);
