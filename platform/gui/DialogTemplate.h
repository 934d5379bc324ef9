// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What a module's resource tables describe, once read: dialog templates, menus,
// accelerator tables. Rectangles of dialog templates are in dialog units.

#include <QKeySequence>
#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>
#include <vector>

enum class ControlKind
{
    Static,
    Icon,       // a static showing an icon of the module
    Edit,
    Button,
    CheckBox,
    ComboBox,
    ListBox,
    ListView,   // report view with columns
    TreeView,
    Trackbar,
    UpDown,
};

// Styles that change how a control is built; one bit each.
namespace ControlStyle {
enum : std::uint32_t
{
    Hidden = 1u << 0,          // created but not shown (controls are visible by default)
    Disabled = 1u << 1,
    TabStop = 1u << 2,
    Border = 1u << 3,
    VScroll = 1u << 4,
    HScroll = 1u << 5,
    DefaultButton = 1u << 6,
    AutoHScroll = 1u << 7,
    ReadOnly = 1u << 8,
    MultiLine = 1u << 9,
    DropDown = 1u << 10,       // combo box with an edit field
    DropDownList = 1u << 11,   // combo box that only lists
    Sort = 1u << 12,           // combo or list box keeps its rows sorted
    Report = 1u << 13,
    SingleSelection = 1u << 14,
    ShowSelectionAlways = 1u << 15,
    SortAscending = 1u << 16,
    ShareImageLists = 1u << 17,
    HasButtons = 1u << 18,
    HasLines = 1u << 19,
    LinesAtRoot = 1u << 20,
    Vertical = 1u << 21,       // trackbar; horizontal otherwise
    NoTicks = 1u << 22,
    BothSides = 1u << 23,      // trackbar ticks or thumb pointing both ways
    TicksTop = 1u << 24,       // ticks above (horizontal) or left (vertical); below/right otherwise
    SetBuddyInt = 1u << 25,
    AlignRight = 1u << 26,
    AutoBuddy = 1u << 27,
    ArrowKeys = 1u << 28,
    Notify = 1u << 29,
};
}

namespace DialogStyle {
enum : std::uint32_t
{
    Child = 1u << 0,       // a form inside another window: no frame, no caption
    Caption = 1u << 1,
    ModalFrame = 1u << 2,
    SysMenu = 1u << 3,
};
}

struct ControlTemplate
{
    int id = -1;
    ControlKind kind = ControlKind::Static;
    QString text;
    QRect rect;             // dialog units; for a combo box the height includes the dropped list
    std::uint32_t styles = 0;
    int imageId = 0;        // icon of an Icon control
};

struct DialogTemplate
{
    int id = 0;
    QString caption;
    QSize size;             // client area, dialog units
    QString fontName;
    int fontPoints = 0;
    std::uint32_t styles = 0;
    std::vector<ControlTemplate> controls;   // in tab order
};

struct MenuItemTemplate
{
    QString text;
    int command = 0;
    bool separator = false;
    std::vector<MenuItemTemplate> items;     // not empty for a popup
    bool IsPopup() const { return !items.empty(); }
};

struct MenuTemplate
{
    int id = 0;
    std::vector<MenuItemTemplate> popups;
};

struct Accelerator
{
    QKeySequence key;
    int command = 0;
};

struct AcceleratorTable
{
    int id = 0;
    std::vector<Accelerator> entries;
};
