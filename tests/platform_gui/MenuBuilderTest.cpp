// SPDX-License-Identifier: GPL-2.0-or-later
#include "MenuBuilder.h"
#include "MessageRecorder.h"
#include "ResourceModule.h"
#include "resource.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

#include <gtest/gtest.h>

namespace {

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
