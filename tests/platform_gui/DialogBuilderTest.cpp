#include "DialogBuilder.h"
#include "MediapickResource.h"
#include "MessageRecorder.h"
#include "UpDownControl.h"
#include "resource.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

constexpr int kScreenWidth = 240;
constexpr int kScreenHeight = 320;

struct ExpectedControl
{
    int id;
    const char* className;
    QRect units;
    const char* text;
};

struct ExpectedDialog
{
    const char* module;
    int id;
    const char* caption;
    std::vector<ExpectedControl> controls;
};

const std::vector<ExpectedDialog>& ExpectedDialogs()
{
    static const std::vector<ExpectedDialog> dialogs = {
        {"vellumdeck", IDD_ABOUTBOX, "About Vellumdeck",
         {{IDC_ABOUT_ICON, "QLabel", {11, 17, 20, 20}, ""},
          // Widened from 65 units so that the version line is not cut.
          {IDC_ABOUT_VERSION, "QLabel", {40, 10, 80, 8}, "Vellumdeck Version 1.0"},
          {IDC_ABOUT_NOTE, "QLabel", {40, 25, 80, 8}, nullptr}}},
        {"vellumdeck", IDD_VELLUMDECK_FORM, "",
         {{IDC_VOLUME_SLIDER, "QSlider", {122, 119, 11, 17}, nullptr},
          {IDC_SEEK_SLIDER, "QSlider", {4, 121, 104, 8}, nullptr},
          {IDC_POS_TEXT, "QLabel", {22, 129, 31, 10}, "curSec"},
          {IDC_TOTAL_TEXT, "QLabel", {67, 129, 29, 9}, "Total"}}},
        {"vellumdeck", IDD_SEARCH, "Search",
         // Drawn 4 units wider for the device, which would not fit 240 pixels.
         {{IDC_SEARCH_TEXT, "QLineEdit", {7, 11, 90, 14}, ""}, {IDOK, "QPushButton", {100, 11, 34, 14}, "Search"}}},
        {"vellumdeck", IDD_DELETE_BOOKMARK, "Delete Bookmark ",
         {{IDC_BOOKMARK_LIST, "QListWidget", {7, 7, 89, 67}, nullptr},
          {IDC_DELETE, "QPushButton", {7, 76, 40, 14}, "Delete"},
          {IDC_DELETE_ALL, "QPushButton", {56, 76, 40, 14}, "Delete All"}}},
        {"vellumdeck", IDD_SETTING, "Setting",
         {{IDC_FONT_LIST, "QComboBox", {35, 7, 56, DialogBuilder::kComboFieldHeight}, nullptr},
          {IDC_FONT_SIZE, "QLineEdit", {35, 25, 28, 14}, nullptr},
          {IDC_SIZE_SPIN, "UpDownControl", {63, 25, 10, 14}, nullptr},
          {IDC_BOLD, "QCheckBox", {12, 45, 40, 10}, "Bold"},
          {IDC_BK_COLOR, "QPushButton", {16, 71, 16, 12}, nullptr},
          {IDC_TXT_COLOR, "QPushButton", {63, 71, 16, 12}, nullptr},
          {IDOK, "QPushButton", {12, 89, 32, 14}, "OK"},
          {IDCANCEL, "QPushButton", {60, 89, 32, 14}, "CANCEL"}}},
        {MEDIAPICK_RESOURCE_MODULE, IDD_SELECT_FILE, "Select MP3 File",
         {{IDC_FOLDER_TREE, "QTreeWidget", {2, 2, 130, 39}, nullptr},
          {IDC_FILE_LIST, "QTreeWidget", {2, 43, 130, 82}, nullptr},
          {IDC_SELECT_ALL, "QPushButton", {90, 136, 41, 9}, "Select All"},
          {IDC_UP, "QPushButton", {70, 127, 17, 9}, "Up"},
          {IDC_DOWN, "QPushButton", {70, 136, 17, 9}, "Dn"},
          {IDC_SELECT, "QPushButton", {90, 127, 41, 9}, "Select"},
          {IDC_TYPE_COMBO, "QComboBox", {2, 128, 65, DialogBuilder::kComboFieldHeight}, nullptr}}},
    };
    return dialogs;
}

QString TextOf(QWidget* widget)
{
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text();
    return {};
}

TEST(DialogBuilder, DialogUnitsScaleByOneAndThreeQuartersWithEdgesRounded)
{
    EXPECT_EQ(DialogBuilder::ToPixels(0), 0);
    EXPECT_EQ(DialogBuilder::ToPixels(1), 2);      // 1.75
    EXPECT_EQ(DialogBuilder::ToPixels(2), 4);      // 3.5, halves up
    EXPECT_EQ(DialogBuilder::ToPixels(3), 5);      // 5.25
    EXPECT_EQ(DialogBuilder::ToPixels(137), 240);  // 239.75: the form is the screen's width
    // The seek slider at 4,121 104x8: edges 7, 211.75 -> 212, 189, 225.75 -> 226.
    EXPECT_EQ(DialogBuilder::ToPixels(QRect(4, 121, 104, 8)), QRect(7, 212, 182, 14));
    // Touching rectangles still touch.
    const QRect left = DialogBuilder::ToPixels(QRect(0, 0, 3, 3));
    const QRect right = DialogBuilder::ToPixels(QRect(3, 0, 3, 3));
    EXPECT_EQ(left.right() + 1, right.left());
}

TEST(DialogBuilder, EveryDialogHasEveryControlAtItsPlaceAndFitsTheScreen)
{
    for (const ExpectedDialog& expected : ExpectedDialogs()) {
        SCOPED_TRACE(expected.id);
        QDialog host;
        ASSERT_TRUE(DialogBuilder(ResourceModule::Named(expected.module)).Build(expected.id, &host));
        EXPECT_EQ(host.windowTitle(), expected.caption);
        EXPECT_LE(host.width(), kScreenWidth);
        EXPECT_LE(host.height(), kScreenHeight);
        for (const ExpectedControl& control : expected.controls) {
            SCOPED_TRACE(control.id);
            QWidget* widget = GetDlgItem(&host, control.id);
            ASSERT_NE(widget, nullptr);
            EXPECT_STREQ(widget->metaObject()->className(), control.className);
            EXPECT_EQ(widget->geometry(), DialogBuilder::ToPixels(control.units));
            EXPECT_TRUE(host.rect().contains(widget->geometry()));
            EXPECT_EQ(GetDlgCtrlID(widget), control.id);
            if (control.text != nullptr) {
                EXPECT_EQ(TextOf(widget), control.text);
            }
        }
        // Nothing else spills over the edge either, and no label is cut short.
        for (QWidget* child : host.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            EXPECT_TRUE(host.rect().contains(child->geometry())) << child->metaObject()->className();
            if (auto* label = qobject_cast<QLabel*>(child); label != nullptr && label->isVisibleTo(&host)) {
                EXPECT_LE(label->heightForWidth(label->width()), label->height()) << label->text().toStdString();
            }
        }
    }
}

TEST(DialogBuilder, FormStylesBecomeWidgetStates)
{
    QWidget form;
    ASSERT_TRUE(DialogBuilder().Build(IDD_VELLUMDECK_FORM, &form));
    form.show();
    auto* volume = GetDlgItemAs<QSlider>(&form, IDC_VOLUME_SLIDER);
    auto* seek = GetDlgItemAs<QSlider>(&form, IDC_SEEK_SLIDER);
    ASSERT_TRUE(volume && seek);
    EXPECT_EQ(volume->orientation(), Qt::Vertical);
    EXPECT_EQ(volume->tickPosition(), QSlider::NoTicks);
    EXPECT_EQ(volume->focusPolicy(), Qt::ClickFocus);
    EXPECT_EQ(seek->orientation(), Qt::Horizontal);
    EXPECT_EQ(seek->tickPosition(), QSlider::TicksBelow);
    EXPECT_EQ(seek->focusPolicy(), Qt::StrongFocus);
    EXPECT_TRUE(volume->isVisible());
    // The time statics are never shown but keep their text for the code to read back.
    EXPECT_FALSE(GetDlgItem(&form, IDC_POS_TEXT)->isVisible());
    EXPECT_FALSE(GetDlgItem(&form, IDC_TOTAL_TEXT)->isVisible());

    QDialog setting;
    ASSERT_TRUE(DialogBuilder().Build(IDD_SETTING, &setting));
    EXPECT_TRUE(GetDlgItemAs<QComboBox>(&setting, IDC_FONT_LIST)->isEditable());
    EXPECT_TRUE(GetDlgItemAs<QPushButton>(&setting, IDOK)->isDefault());
    EXPECT_FALSE(GetDlgItemAs<QPushButton>(&setting, IDCANCEL)->isDefault());
    QDialog picker;
    ASSERT_TRUE(DialogBuilder(ResourceModule::Named(MEDIAPICK_RESOURCE_MODULE)).Build(IDD_SELECT_FILE, &picker));
    EXPECT_FALSE(GetDlgItemAs<QComboBox>(&picker, IDC_TYPE_COMBO)->isEditable());
    EXPECT_FALSE(GetDlgItemAs<QTreeWidget>(&picker, IDC_FILE_LIST)->isHeaderHidden());
    EXPECT_TRUE(GetDlgItemAs<QTreeWidget>(&picker, IDC_FOLDER_TREE)->isHeaderHidden());
}

TEST(DialogBuilder, ButtonClickReachesTheHostAsCommand)
{
    MessageRecorder host;
    ASSERT_TRUE(DialogBuilder().Build(IDD_DELETE_BOOKMARK, &host));
    auto* deleteAll = GetDlgItemAs<QPushButton>(&host, IDC_DELETE_ALL);
    ASSERT_NE(deleteAll, nullptr);
    deleteAll->click();
    ASSERT_EQ(host.received.size(), 1u);
    EXPECT_EQ(host.received[0].message, WM_COMMAND);
    EXPECT_EQ(LOWORD(host.received[0].wParam), IDC_DELETE_ALL);
    EXPECT_EQ(HIWORD(host.received[0].wParam), BN_CLICKED);
    EXPECT_EQ(host.received[0].lParam, LPARAM(deleteAll));
}

class CustomSlider : public QSlider
{
public:
    using QSlider::QSlider;
};

TEST(DialogBuilder, FactoryControlIsPlacedAndStyledButKeepsItsOwnClicks)
{
    MessageRecorder host;
    DialogBuilder builder;
    CustomSlider* made = nullptr;
    builder.SetFactory(IDC_VOLUME_SLIDER, [&](const ControlTemplate&, QWidget* parent) {
        made = new CustomSlider(parent);
        return made;
    });
    ASSERT_TRUE(builder.Build(IDD_VELLUMDECK_FORM, &host));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(GetDlgItem(&host, IDC_VOLUME_SLIDER), made);
    EXPECT_EQ(made->geometry(), QRect(214, 208, 19, 30));
    EXPECT_EQ(made->orientation(), Qt::Vertical);

    MessageRecorder settingHost;
    DialogBuilder pickers;
    pickers.SetFactory(IDC_BK_COLOR, [](const ControlTemplate&, QWidget* parent) { return new QPushButton(parent); });
    ASSERT_TRUE(pickers.Build(IDD_SETTING, &settingHost));
    GetDlgItemAs<QPushButton>(&settingHost, IDC_BK_COLOR)->click();
    EXPECT_TRUE(settingHost.received.empty());
}

TEST(DialogBuilder, SizeSpinStepsItsBuddyWithinRangeButTypedTextStands)
{
    QDialog setting;
    ASSERT_TRUE(DialogBuilder().Build(IDD_SETTING, &setting));
    auto* spin = GetDlgItemAs<UpDownControl>(&setting, IDC_SIZE_SPIN);
    auto* size = GetDlgItemAs<QLineEdit>(&setting, IDC_FONT_SIZE);
    ASSERT_TRUE(spin && size);
    EXPECT_EQ(spin->Buddy(), size);
    spin->SetRange(5, 40);
    spin->SetPos(15);
    EXPECT_EQ(size->text(), "15");
    spin->Step(true);
    EXPECT_EQ(size->text(), "16");
    size->setText("50");
    EXPECT_EQ(spin->GetPos(), 50);
    spin->Step(true);
    EXPECT_EQ(size->text(), "40");
    QTest::keyClick(size, Qt::Key_Down);
    EXPECT_EQ(size->text(), "39");
}

TEST(DialogBuilder, SortedListsPlaceRowsByTextAndUnknownDialogFails)
{
    QDialog setting;
    ASSERT_TRUE(DialogBuilder().Build(IDD_SETTING, &setting));
    auto* fonts = GetDlgItemAs<QComboBox>(&setting, IDC_FONT_LIST);
    AddComboString(fonts, "Tahoma");
    AddComboString(fonts, "arial");
    EXPECT_EQ(AddComboString(fonts, "DejaVu Sans"), 1);
    EXPECT_EQ(fonts->itemText(0), "arial");
    EXPECT_EQ(fonts->itemText(2), "Tahoma");

    QDialog bookmarks;
    ASSERT_TRUE(DialogBuilder().Build(IDD_DELETE_BOOKMARK, &bookmarks));
    auto* list = GetDlgItemAs<QListWidget>(&bookmarks, IDC_BOOKMARK_LIST);
    AddListString(list, "b");
    // Bookmark rows stay in list order.
    EXPECT_EQ(AddListString(list, "a"), 1);

    QDialog none;
    EXPECT_FALSE(DialogBuilder().Build(4242, &none));
}

} // namespace
