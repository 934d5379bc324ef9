// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The Setting dialog: face name, size and weight of the study text and its background and
// text colours. The caller fills the members, runs the dialog and, on IDOK, reads them back.
// The size may be any whole number of 1 or more typed; the arrows step it only between
// 5 and 40.

#include "Win32Defs.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class CColourPicker;
class CDataExchange;
class QComboBox;
class UpDownControl;

class CSettingDlg : public QDialog
{
public:
    static constexpr int kSpinLower = 5;
    static constexpr int kSpinUpper = 40;
    static constexpr int kInitialSize = 15;
    // The least size typed that is taken: a font of no height shows no text.
    static constexpr int kMinSize = 1;
    static constexpr COLORREF kInitialTextColour = 0xFFFFFF;
    static constexpr COLORREF kInitialBkColour = 0x000000;
    // Labels of the boxes of the pickers' grids.
    static constexpr char kAutoText[] = "Auto";
    static constexpr char kCancelText[] = "Cancel";

    explicit CSettingDlg(QWidget* parent = nullptr);

    // Runs the dialog; IDOK or IDCANCEL.
    int DoModal();

    UpDownControl* m_sizeSpin = nullptr;
    QComboBox* m_fontList = nullptr;
    CColourPicker* m_textColourButton = nullptr;
    CColourPicker* m_bkColourButton = nullptr;
    int m_bold = 0;
    int m_size = kInitialSize;
    COLORREF m_textColour = kInitialTextColour;
    COLORREF m_bkColour = kInitialBkColour;
    // Set by code: the selected row of the font list on OK.
    QString m_faceName;

protected:
    bool event(QEvent* event) override;

    // The families offered in the font list; the installed ones.
    virtual QStringList EnumFontFamilies() const;

    void DoDataExchange(CDataExchange& exchange);
    // Copies the controls into the members (save) or the members into the controls; false
    // when a control's text was refused.
    bool UpdateData(bool saveAndValidate);
    bool OnInitDialog();
    void OnOK();
    void OnCancel();

private:
    void FillFontList();
    void SelectFaceName();
    void ShowFaceName();
};
