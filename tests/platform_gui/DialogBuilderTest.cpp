#include "DialogBuilder.h"
#include "MediapickResource.h"
#include "MessageRecorder.h"
#include "UpDownControl.h"
#include "resource.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(DialogBuilder, DialogUnitsScaleByOneAndThreeQuartersWithEdgesRounded)
{
    EXPECT_EQ(DialogBuilder::ToPixels(1), 2);      // 1.75
    EXPECT_EQ(DialogBuilder::ToPixels(2), 4);      // 3.5, halves up
    EXPECT_EQ(DialogBuilder::ToPixels(137), 240);  // 239.75: the form is the screen's width
    // The seek slider at 4,121 104x8: edges 7, 211.75 -> 212, 189, 225.75 -> 226.
    EXPECT_EQ(DialogBuilder::ToPixels(QRect(4, 121, 104, 8)), QRect(7, 212, 182, 14));
    // Touching rectangles still touch.
    EXPECT_EQ(DialogBuilder::ToPixels(QRect(0, 0, 3, 3)).right() + 1, DialogBuilder::ToPixels(QRect(3, 0, 3, 3)).left());
}

TEST(DialogBuilder, EveryDialogFitsTheScreenWithNoLabelCutShort)
{
    const std::pair<const char*, int> dialogs[] = {
        {"vellumdeck", IDD_ABOUTBOX}, {"vellumdeck", IDD_VELLUMDECK_FORM},  {"vellumdeck", IDD_SEARCH},
        {"vellumdeck", IDD_SETTING},  {"vellumdeck", IDD_DELETE_BOOKMARK}, {MEDIAPICK_RESOURCE_MODULE, IDD_SELECT_FILE},
    };
    for (const auto& [module, id] : dialogs) {
        SCOPED_TRACE(id);
        QDialog host;
        ASSERT_TRUE(DialogBuilder(ResourceModule::Named(module)).Build(id, &host));
        EXPECT_LE(host.width(), 240);
        EXPECT_LE(host.height(), 320);
        for (QWidget* child : host.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            EXPECT_TRUE(host.rect().contains(child->geometry())) << child->metaObject()->className();
            if (auto* label = qobject_cast<QLabel*>(child); label != nullptr && label->isVisibleTo(&host)) {
                EXPECT_LE(label->heightForWidth(label->width()), label->height()) << label->text().toStdString();
            }
        }
    }
}

// A built button's click reaches the host as a command (the bookmark and study-text tests
// click Delete All); a control made by a factory is placed and styled from the template...
TEST(DialogBuilder, FactoryControlIsPlacedFromTheTemplateAndKeepsItsClicks)
{
    MessageRecorder form;
    DialogBuilder builder;
    QSlider* made = nullptr;
    builder.SetFactory(IDC_VOLUME_SLIDER, [&](const ControlTemplate&, QWidget* parent) { return made = new QSlider(parent); });
    ASSERT_TRUE(builder.Build(IDD_VELLUMDECK_FORM, &form));
    EXPECT_EQ(GetDlgItem(&form, IDC_VOLUME_SLIDER), made);
    EXPECT_EQ(made->geometry(), QRect(214, 208, 19, 30));
    EXPECT_EQ(made->orientation(), Qt::Vertical);
    // Its clicks are its own, not commands to the host.
    MessageRecorder setting;
    DialogBuilder pickers;
    pickers.SetFactory(IDC_BK_COLOR, [](const ControlTemplate&, QWidget* parent) { return new QPushButton(parent); });
    ASSERT_TRUE(pickers.Build(IDD_SETTING, &setting));
    GetDlgItemAs<QPushButton>(&setting, IDC_BK_COLOR)->click();
    EXPECT_TRUE(setting.received.empty());
}

TEST(DialogBuilder, SizeSpinStepsItsBuddyWithinRangeButTypedTextStands)
{
    QDialog setting;
    ASSERT_TRUE(DialogBuilder().Build(IDD_SETTING, &setting));
    auto* spin = GetDlgItemAs<UpDownControl>(&setting, IDC_SIZE_SPIN);
    auto* size = GetDlgItemAs<QLineEdit>(&setting, IDC_FONT_SIZE);
    ASSERT_TRUE(spin && size);
    spin->SetRange(5, 40);
    spin->SetPos(15);
    spin->Step(true);
    EXPECT_EQ(size->text(), "16");
    size->setText("50");
    EXPECT_EQ(spin->GetPos(), 50);
    spin->Step(true);
    EXPECT_EQ(size->text(), "40");
    QTest::keyClick(size, Qt::Key_Down);
    EXPECT_EQ(size->text(), "39");
}

} // namespace
