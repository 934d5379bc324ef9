// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Shared set-up of the study tests: a fresh device root and registry, recorded
// message boxes, and (for pane tests) a visible pane on a 240-pixel-wide view.

#include "CodePage.h"
#include "MessageBox.h"
#include "RegSettings.h"
#include "ScopedBoxes.h"
#include "StudyEdit.h"
#include "TempDeviceRoot.h"
#include "resource.h"

#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

// The five stored display settings as "face height bold background text", colours in hex.
inline QString StoredSettings()
{
    CRegSettings settings;
    return QStringLiteral("%1 %2 %3 %4 %5")
        .arg(settings.GetFontName())
        .arg(settings.GetHeight())
        .arg(settings.GetBold())
        .arg(settings.GetBkColor(), 0, 16)
        .arg(settings.GetTxtColor(), 0, 16);
}

class StudyFixture : public ::testing::Test
{
protected:
    void SetUp() override { CodePage::SetName("CP1252"); }
    void TearDown() override { CodePage::SetName(QByteArray()); }
    std::vector<RecordingMessageBoxPresenter::Record> Boxes() const { return m_boxes->Records(); }
    QStringList Told() const { return m_boxes->Texts(); }

    TempDeviceRoot m_root;
    ScopedBoxes m_scopedBoxes;
    RecordingMessageBoxPresenter* const m_boxes = m_scopedBoxes.boxes;
};

class PaneFixture : public StudyFixture
{
protected:
    void SetUp() override
    {
        StudyFixture::SetUp();
        m_view = std::make_unique<QWidget>();
        m_view->resize(240, 320);
        m_pane = new CStudyEdit;
        m_pane->Create(m_view.get(), QRect(3, 3, 231, 202), IDC_TEXT_PANE);   // its place in the main view
        m_view->show();
    }
    void TearDown() override
    {
        m_view.reset();
        StudyFixture::TearDown();
    }
    void ShowText(const QByteArray& bytes) { m_pane->LoadTextBuffer(bytes.constData(), std::uint32_t(bytes.size())); }

    std::unique_ptr<QWidget> m_view;
    CStudyEdit* m_pane = nullptr;   // owned by m_view
};
