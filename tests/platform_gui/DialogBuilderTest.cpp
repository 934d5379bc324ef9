// SPDX-License-Identifier: GPL-2.0-or-later
#include "DialogBuilder.h"
#include "MediapickResource.h"
#include "MessageRecorder.h"
#include "resource.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <gtest/gtest.h>

namespace {

TEST(DialogBuilder, DialogUnitsRoundToPixelsWithTouchingRectanglesStillTouching)
{
    EXPECT_EQ(DialogBuilder::ToPixels(137), 240);  // the form is the screen's width
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

} // namespace
