// SPDX-License-Identifier: GPL-2.0-or-later
// Resources by id: each module's own tables, the reader that refuses a bad one, and the
// dialogs, menus and accelerators built from them.
#include "DialogBuilder.h"
#include "MediapickResource.h"
#include "MenuBuilder.h"
#include "MessageRecorder.h"
#include "ResourceModule.h"
#include "ResourceReader.h"
#include "resource.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>

#include <gtest/gtest.h>

namespace {

TEST(ResourceModule, EachModuleHasOnlyItsOwnResources)
{
    const ResourceModule& program = ResourceModule::Named(kProgramResourceModule);
    const ResourceModule& mediapick = ResourceModule::Named(MEDIAPICK_RESOURCE_MODULE);
    EXPECT_EQ(program.LoadBitmap(IDB_SKIN).size(), QSize(SKIN_WIDTH, SKIN_HEIGHT));
    // One picture of the folder image list, 16 pixels wide.
    EXPECT_EQ(mediapick.LoadBitmap(IDB_FOLDER).width(), FOLDER_PICTURE_SIZE);
    EXPECT_TRUE(program.LoadBitmap(IDB_FOLDER).isNull());
    EXPECT_TRUE(mediapick.LoadBitmap(IDB_SKIN).isNull());
    EXPECT_TRUE(mediapick.LoadDialog(IDD_SELECT_FILE).has_value());
    EXPECT_FALSE(program.LoadDialog(IDD_SELECT_FILE).has_value());
    EXPECT_FALSE(ResourceModule::Named("nosuchmodule").LoadString(IDR_MAINFRAME).has_value());
    // The window title is the document string's first field.
    EXPECT_EQ(program.LoadString(IDR_MAINFRAME).value_or("").section('\n', 0, 0), "Vellumdeck");
}

TEST(ResourceReader, RefusesATableWithAnUnknownStyleOrKind)
{
    std::vector<DialogTemplate> dialogs;
    QString error;
    EXPECT_FALSE(ResourceReader::ReadDialogs(
        R"({"dialogs": [{"id": 1, "size": [10, 10], "font": ["System", 8],
            "controls": [{"id": 2, "kind": "button", "rect": [0, 0, 5, 5], "styles": ["tapstop"]}]}]})",
        dialogs, &error));
    EXPECT_TRUE(error.contains("tapstop"));
    EXPECT_FALSE(ResourceReader::ReadDialogs(
        R"({"dialogs": [{"id": 1, "size": [10, 10], "font": ["System", 8],
            "controls": [{"id": 2, "kind": "knob", "rect": [0, 0, 5, 5]}]}]})",
        dialogs));
    EXPECT_FALSE(ResourceReader::ReadDialogs(R"({"dialogs": [{"id": 1.5, "size": [10, 10], "font": ["S", 8]}]})",
                                             dialogs));
    EXPECT_TRUE(dialogs.empty());

    std::vector<AcceleratorTable> tables;
    EXPECT_FALSE(ResourceReader::ReadAccelerators(
        R"({"accelerators": [{"id": 1, "entries": [{"key": "Ctrl+O, Ctrl+P", "command": 5}]}]})", tables));
    std::map<int, QString> strings;
    EXPECT_FALSE(ResourceReader::ReadStrings("not json", strings));
}

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

class MenuBuilder : public ::testing::Test
{
protected:
    MessageRecorder window;
    QMenuBar* bar = CreateMenuBar(*GetResourceModule().LoadMenu(IDR_MAINFRAME), &window, &window);
    const AcceleratorTable keys = GetResourceModule().LoadAccelerators(IDR_MAINFRAME).value();
};

// Adding, finding, choosing and deleting bookmark items runs end to end in the program's
// tests; here, that a menu item and an accelerator each say which of them sent the command.
TEST_F(MenuBuilder, MenuItemsAndAcceleratorsSendTheirCommandsEachWithItsOwnNotification)
{
    QMenu* bmark = GetSubMenu(bar, MENU_BMARK_POPUP_INDEX);
    ASSERT_NE(bmark, nullptr);
    AppendMenuCommand(bmark, "1)Unit", ID_BOOKMARK_FIRST, &window);
    FindMenuCommand(bar, ID_BOOKMARK_FIRST)->trigger();
    for (QShortcut* shortcut : InstallAccelerators(keys, &window, &window)) {
        if (shortcut->key() == QKeySequence(Qt::CTRL | Qt::Key_O))
            emit shortcut->activated();
    }
    ASSERT_EQ(window.received.size(), 2u);
    EXPECT_EQ(window.received[0].message, WM_COMMAND);
    EXPECT_EQ(window.received[0].wParam, MAKEWPARAM(ID_BOOKMARK_FIRST, kMenuNotification));
    EXPECT_EQ(window.received[1].wParam, MAKEWPARAM(ID_FILE_OPEN, kAcceleratorNotification));
    EXPECT_TRUE(DeleteMenuCommand(bar, ID_BOOKMARK_FIRST));
    EXPECT_FALSE(DeleteMenuCommand(bar, ID_BOOKMARK_FIRST)) << "deleted once only";
}

// The menus show each command's key as the accelerator table has it, the first when
// there are several (Open is Ctrl+O, not its other spellings).
TEST_F(MenuBuilder, ItemsShowTheKeysOfTheirCommands)
{
    ShowAcceleratorKeys(bar, keys);
    EXPECT_EQ(FindMenuCommand(bar, ID_FILE_OPEN)->text(), "&Open\tCtrl+O");
    EXPECT_EQ(FindMenuCommand(bar, ID_REPEAT_LIST)->text(), "Repeat &List\tShift+R");
    EXPECT_EQ(FindMenuCommand(bar, ID_SETTING)->text(), "&Setting") << "no key, nothing added";
    ShowAcceleratorKeys(bar, keys);
    EXPECT_EQ(FindMenuCommand(bar, ID_FILE_OPEN)->text(), "&Open\tCtrl+O") << "shown once";
}

} // namespace
