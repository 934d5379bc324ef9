// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Menus and accelerator tables as Qt menus and shortcuts. A chosen item or a pressed
// accelerator reaches the command target as WM_COMMAND: the command id in the low word
// of wParam, 0 (menu) or 1 (accelerator) in the high word, lParam 0.

#include "DialogTemplate.h"
#include "Win32Defs.h"

#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QObject;
class QShortcut;
class QWidget;

constexpr WORD kMenuNotification = 0;
constexpr WORD kAcceleratorNotification = 1;

// The menu bar of a menu template: one popup per top-level entry, in order.
QMenuBar* CreateMenuBar(const MenuTemplate& menu, QWidget* parent, QObject* commandTarget);
// The popup at position index of the bar (the bar's submenu index), or null.
QMenu* GetSubMenu(const QMenuBar* bar, int index);
// Appends an item that sends command to the target.
QAction* AppendMenuCommand(QMenu* menu, const QString& text, int command, QObject* commandTarget);
// The item with this command id anywhere below menu (a bar or a popup), or null.
QAction* FindMenuCommand(const QWidget* menu, int command);
// Removes the item with this command id (the first found below menu); false when none.
bool DeleteMenuCommand(QWidget* menu, int command);
// The command id of an item; 0 for a separator or a popup.
int MenuCommandOf(const QAction* action);

// Each item whose command has an accelerator shows its key (the first one in the table)
// beside its text, in the desktop's own spelling.
void ShowAcceleratorKeys(QWidget* menu, const AcceleratorTable& table);
// The key of the first accelerator for command, in the desktop's spelling; empty if none.
QString AcceleratorKeyText(const AcceleratorTable& table, int command);
// One window-wide shortcut per entry of the table, children of window.
std::vector<QShortcut*> InstallAccelerators(const AcceleratorTable& table, QWidget* window, QObject* commandTarget);
