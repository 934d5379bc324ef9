// SPDX-License-Identifier: GPL-2.0-or-later
#include "MenuBuilder.h"

#include "WindowMessage.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QShortcut>

namespace {

const char* const kCommandProperty = "vdCommand";

void SendCommand(QObject* target, int command, WORD notification)
{
    SendMessageW(target, WM_COMMAND, MAKEWPARAM(WORD(command), notification), 0);
}

void AddItems(QMenu* menu, const std::vector<MenuItemTemplate>& items, QObject* commandTarget)
{
    for (const MenuItemTemplate& item : items) {
        if (item.separator) {
            menu->addSeparator();
        } else if (item.IsPopup()) {
            QMenu* popup = menu->addMenu(item.text);
            AddItems(popup, item.items, commandTarget);
        } else {
            AppendMenuCommand(menu, item.text, item.command, commandTarget);
        }
    }
}

QList<QAction*> ActionsOf(const QWidget* menu)
{
    return menu != nullptr ? menu->actions() : QList<QAction*>();
}

} // namespace

QMenuBar* CreateMenuBar(const MenuTemplate& menu, QWidget* parent, QObject* commandTarget)
{
    auto* bar = new QMenuBar(parent);
    for (const MenuItemTemplate& popup : menu.popups) {
        QMenu* submenu = bar->addMenu(popup.text);
        AddItems(submenu, popup.items, commandTarget);
    }
    return bar;
}

QMenu* GetSubMenu(const QMenuBar* bar, int index)
{
    const QList<QAction*> actions = ActionsOf(bar);
    if (index < 0 || index >= actions.size())
        return nullptr;
    return actions.at(index)->menu();
}

QAction* AppendMenuCommand(QMenu* menu, const QString& text, int command, QObject* commandTarget)
{
    QAction* action = menu->addAction(text);
    action->setProperty(kCommandProperty, command);
    // The target may go before the menu does.
    QPointer<QObject> target(commandTarget);
    QObject::connect(action, &QAction::triggered, action, [target, command] {
        if (target)
            SendCommand(target, command, kMenuNotification);
    });
    return action;
}

int MenuCommandOf(const QAction* action)
{
    return action != nullptr ? action->property(kCommandProperty).toInt() : 0;
}

QAction* FindMenuCommand(const QWidget* menu, int command)
{
    for (QAction* action : ActionsOf(menu)) {
        if (action->menu() != nullptr) {
            if (QAction* found = FindMenuCommand(action->menu(), command))
                return found;
        } else if (!action->isSeparator() && MenuCommandOf(action) == command) {
            return action;
        }
    }
    return nullptr;
}

bool DeleteMenuCommand(QWidget* menu, int command)
{
    QAction* action = FindMenuCommand(menu, command);
    if (action == nullptr)
        return false;
    // A deleted action leaves every menu that shows it.
    delete action;
    return true;
}

std::vector<QShortcut*> InstallAccelerators(const AcceleratorTable& table, QWidget* window, QObject* commandTarget)
{
    std::vector<QShortcut*> shortcuts;
    QPointer<QObject> target(commandTarget);
    for (const Accelerator& entry : table.entries) {
        auto* shortcut = new QShortcut(entry.key, window);
        shortcut->setContext(Qt::WindowShortcut);
        const int command = entry.command;
        QObject::connect(shortcut, &QShortcut::activated, window, [target, command] {
            if (target)
                SendCommand(target, command, kAcceleratorNotification);
        });
        shortcuts.push_back(shortcut);
    }
    return shortcuts;
}

QString AcceleratorKeyText(const AcceleratorTable& table, int command)
{
    for (const Accelerator& entry : table.entries) {
        if (entry.command == command)
            return entry.key.toString(QKeySequence::NativeText);
    }
    return QString();
}

void ShowAcceleratorKeys(QWidget* menu, const AcceleratorTable& table)
{
    for (QAction* action : ActionsOf(menu)) {
        if (action->menu() != nullptr) {
            ShowAcceleratorKeys(action->menu(), table);
            continue;
        }
        const QString key = AcceleratorKeyText(table, MenuCommandOf(action));
        // After a tab a menu shows the text as the item's key, right-aligned.
        if (!key.isEmpty() && !action->text().contains(QLatin1Char('\t')))
            action->setText(action->text() + QLatin1Char('\t') + key);
    }
}
