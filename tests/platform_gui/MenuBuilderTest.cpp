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

TEST(MenuBuilder, BookmarkItemsAreAppendedFoundSentAndDeletedByCommand)
{
    MessageRecorder window;
    QMenuBar* bar = CreateMenuBar(*GetResourceModule().LoadMenu(IDR_MAINFRAME), &window, &window);
    QMenu* bmark = GetSubMenu(bar, MENU_BMARK_POPUP_INDEX);
    ASSERT_NE(bmark, nullptr);
    EXPECT_EQ(bmark->title(), "&BMark");
    EXPECT_EQ(GetSubMenu(bar, 4), nullptr);
    AppendMenuCommand(bmark, "1)Unit", ID_BOOKMARK_FIRST, &window);
    AppendMenuCommand(bmark, "2)Less", ID_BOOKMARK_FIRST + 1, &window);
    EXPECT_EQ(bmark->actions().size(), 6);
    QAction* second = FindMenuCommand(bar, ID_BOOKMARK_FIRST + 1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->text(), "2)Less");
    second->trigger();
    ASSERT_EQ(window.received.size(), 1u);
    EXPECT_EQ(window.received[0].message, WM_COMMAND);
    EXPECT_EQ(window.received[0].wParam, MAKEWPARAM(ID_BOOKMARK_FIRST + 1, kMenuNotification));
    EXPECT_TRUE(DeleteMenuCommand(bar, ID_BOOKMARK_FIRST));
    EXPECT_FALSE(DeleteMenuCommand(bar, ID_BOOKMARK_FIRST));
    EXPECT_EQ(FindMenuCommand(bar, ID_BOOKMARK_FIRST), nullptr);
    EXPECT_EQ(bmark->actions().size(), 5);
    // Fixed items are found by their commands, whichever popup holds them.
    EXPECT_EQ(MenuCommandOf(FindMenuCommand(bar, ID_SETTING)), ID_SETTING);
}

TEST(MenuBuilder, AcceleratorSendsItsCommandAsAccelerator)
{
    MessageRecorder window;
    for (QShortcut* shortcut : InstallAccelerators(*GetResourceModule().LoadAccelerators(IDR_MAINFRAME), &window, &window)) {
        if (shortcut->key() == QKeySequence(Qt::CTRL | Qt::Key_O))
            emit shortcut->activated();
    }
    ASSERT_EQ(window.received.size(), 1u);
    EXPECT_EQ(window.received[0].wParam, MAKEWPARAM(ID_FILE_OPEN, kAcceleratorNotification));
}

} // namespace

// The menus show each command's key as the accelerator table has it, the first when
// there are several (Open is Ctrl+O, not its other spellings).
TEST(MenuBuilder, ItemsShowTheKeysOfTheirCommands)
{
    MessageRecorder window;
    QMenuBar* bar = CreateMenuBar(*GetResourceModule().LoadMenu(IDR_MAINFRAME), &window, &window);
    const std::optional<AcceleratorTable> keys = GetResourceModule().LoadAccelerators(IDR_MAINFRAME);
    ASSERT_TRUE(keys.has_value());
    ShowAcceleratorKeys(bar, *keys);
    EXPECT_EQ(FindMenuCommand(bar, ID_FILE_OPEN)->text(), "&Open\tCtrl+O");
    EXPECT_EQ(FindMenuCommand(bar, ID_PLAY_PAUSE)->text(), "&Play/Pause\tSpace");
    EXPECT_EQ(FindMenuCommand(bar, ID_REPEAT_LIST)->text(), "Repeat &List\tShift+R");
    EXPECT_EQ(FindMenuCommand(bar, ID_SPEED_SLOWER)->text(), "&Slower\t[");
    EXPECT_EQ(FindMenuCommand(bar, ID_SETTING)->text(), "&Setting") << "no key, nothing added";
    ShowAcceleratorKeys(bar, *keys);
    EXPECT_EQ(FindMenuCommand(bar, ID_FILE_OPEN)->text(), "&Open\tCtrl+O") << "shown once";
}
