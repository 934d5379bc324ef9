// SPDX-License-Identifier: GPL-2.0-or-later
#include "ColourPicker.h"
#include "DialogBuilder.h"
#include "FileSizeLimit.h"
#include "PickColour.h"
#include "Registry.h"
#include "SettingCommand.h"
#include "SettingDlg.h"
#include "StudyFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;

QLineEdit* SizeEdit(const QDialog& dialog)
{
    return GetDlgItemAs<QLineEdit>(&dialog, IDC_FONT_SIZE);
}

void SetSize(const QDialog& dialog, const QString& text)
{
    SizeEdit(dialog)->selectAll();
    QTest::keyClicks(SizeEdit(dialog), text);
}

void Press(QDialog& dialog, int id)
{
    QTest::mouseClick(GetDlgItemAs<QPushButton>(&dialog, id), Qt::LeftButton);
}

class SettingCommandTest : public PaneFixture
{
protected:
    // Runs the Setting command with steps run on its dialog once the modal loop runs.
    // The steps end the dialog; one still open afterwards is a failure and is closed,
    // so the test never hangs on it.
    void Run(std::function<void(CSettingDlg&)> steps)
    {
        QTimer::singleShot(0, [steps = std::move(steps)] {
            auto* dialog = dynamic_cast<CSettingDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr) << "no Setting dialog is open";
            steps(*dialog);
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the dialog was left open";
                dialog->reject();
            }
        });
        RunSettingCommand(m_view.get(), *m_pane);
    }
};

}  // namespace

TEST_F(SettingCommandTest, OkStoresTheFiveValuesAndTheyReachThePane)
{
    // An installed family, so that the font list selects the pane's own face.
    const QStringList families = QFontDatabase::families();
    const QString face = families.isEmpty() ? QStringLiteral("NoSuchFace") : families.first();
    m_pane->SetTextFont(face, 22, true);
    m_pane->SetBackgroundColor(0x123456);
    m_pane->SetTextColor(0x654321);
    // OK reads the controls back, so what they showed is what is stored.
    Run([&](CSettingDlg& dialog) { Press(dialog, IDOK); });
    EXPECT_EQ(StoredSettings(), face + " 22 1 123456 654321") << "unchanged values written back";

    // Automatic for both colours stores white twice.
    Run([&](CSettingDlg& dialog) {
        QTest::mouseClick(GetDlgItemAs<QCheckBox>(&dialog, IDC_BOLD), Qt::LeftButton);
        PickColour(dialog.m_bkColourButton, kAutomaticColour);
        PickColour(dialog.m_textColourButton, kAutomaticColour);
        Press(dialog, IDOK);
    });
    EXPECT_EQ(StoredSettings(), face + " 22 0 ffffff ffffff");
    EXPECT_EQ(m_pane->GetTextColor(), kWhite);
}

// A typed size that is not a whole number, or is one below 1 (which would leave no text
// to read), is refused and the dialog stays open for a good one; one past what the
// arrows reach is taken.
TEST_F(SettingCommandTest, SizeArrowsStayWithinFiveToFortyAndATypedSizeMustBeAWholeNumberOfOneOrMore)
{
    m_pane->SetTextFont(QStringLiteral("NoSuchFace"), 5, false);
    QStringList steps;
    QList<bool> open;
    Run([&](CSettingDlg& dialog) {
        QLineEdit* edit = SizeEdit(dialog);
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Up}) {
            QTest::keyClick(edit, key);
            steps << edit->text();
        }
        SetSize(dialog, QStringLiteral("40"));
        QTest::keyClick(edit, Qt::Key_Up);
        steps << edit->text();
        for (const char* size : {"12pt", "0", "-3"}) {
            SetSize(dialog, QString::fromLatin1(size));
            Press(dialog, IDOK);
            open << (dialog.isVisible() && edit->hasSelectedText());
        }
        SetSize(dialog, QStringLiteral("50"));
        Press(dialog, IDOK);
    });
    EXPECT_EQ(steps, (QStringList{QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("40")}));
    EXPECT_EQ(open, QList<bool>({true, true, true}));
    const QString belowOne = QStringLiteral("Please enter a number of 1 or more.");
    EXPECT_EQ(Told(), (QStringList{QStringLiteral("Please enter an integer."), belowOne, belowOne}));
    for (const auto& box : Boxes())
        EXPECT_EQ(box.flags, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(m_pane->GetTextFont()->height, 50);
    EXPECT_EQ(CRegSettings().GetHeight(), 50);
}

TEST_F(SettingCommandTest, PaneWithoutAFontOffersTahomaAndAnythingButOkChangesNothing)
{
    QString face;
    Run([&](CSettingDlg& dialog) {
        face = dialog.m_faceName;
        PickColour(dialog.m_bkColourButton, 16);
        PickColour(dialog.m_textColourButton, 16);
        SetSize(dialog, QStringLiteral("30"));
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(face, QStringLiteral("Tahoma"));
    EXPECT_FALSE(m_pane->GetTextFont());
    EXPECT_EQ(m_pane->GetBackgroundColor(), CStudyEdit::kCreationBkColor);
    EXPECT_EQ(m_pane->GetTextColor(), CStudyEdit::kCreationTxtColor);
    EXPECT_EQ(CRegSettings().QueryNumber(CRegSettings::kHeightValue), std::nullopt);
}

TEST_F(SettingCommandTest, ChoiceThatCannotBeSavedStillReachesThePaneAndTheLearnerIsTold)
{
    m_pane->SetTextFont(QStringLiteral("NoSuchFace"), 15, false);
    Run([&](CSettingDlg& dialog) { Press(dialog, IDOK); });
    const QByteArray before = m_root.ReadFile(Registry::FilePath());
    {
        // The disk fills up half way through the new settings file.
        FileSizeLimit limit(rlim_t(before.size() / 2));
        ASSERT_TRUE(limit.Active());
        Run([&](CSettingDlg& dialog) {
            SetSize(dialog, QStringLiteral("33"));
            PickColour(dialog.m_bkColourButton, 16);
            Press(dialog, IDOK);
        });
    }
    EXPECT_EQ(m_pane->GetTextFont()->height, 33);
    ASSERT_EQ(Told(), QStringList{QStringLiteral("The display settings could not be saved in\n%1\n"
                                                 "They apply until Vellumdeck closes.")
                                      .arg(QDir::toNativeSeparators(Registry::FilePath()))});
    EXPECT_EQ(Boxes()[0].flags, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(m_root.ReadFile(Registry::FilePath()), before);
    EXPECT_EQ(CRegSettings().GetHeight(), 15);
}
