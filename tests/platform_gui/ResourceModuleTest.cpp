#include "MediapickResource.h"
#include "ResourceModule.h"
#include "ResourceReader.h"
#include "resource.h"

#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

const ResourceModule& Program()
{
    return ResourceModule::Named(kProgramResourceModule);
}

const ResourceModule& Mediapick()
{
    return ResourceModule::Named(MEDIAPICK_RESOURCE_MODULE);
}

// Bits per pixel as the BMP file itself states them.
int BitsPerPixel(const QString& module, int id)
{
    constexpr qint64 kBitCountOffset = 28;
    QFile file(QStringLiteral(":/%1/bitmaps/%2.bmp").arg(module).arg(id));
    if (!file.open(QIODevice::ReadOnly) || !file.seek(kBitCountOffset))
        return 0;
    const QByteArray bytes = file.read(2);
    return bytes.size() == 2 ? qFromLittleEndian<quint16>(bytes.constData()) : 0;
}

struct BitmapSpec
{
    int id;
    int width;
    int height;
    int bits;
};

constexpr BitmapSpec kProgramBitmaps[] = {
    {IDB_SKIN, SKIN_WIDTH, SKIN_HEIGHT, 8},
    {IDB_LOGO, LOGO_WIDTH, LOGO_HEIGHT, 8},
    {IDB_PAUSE_PRESSED, 38, 38, 8}, {IDB_PAUSE, 38, 38, 8}, {IDB_PLAY, 38, 38, 8}, {IDB_PLAY_PRESSED, 38, 38, 8},
    {IDB_SOUND_OFF, 9, 27, 4}, {IDB_SOUND_ON, 9, 27, 8},
    {IDB_SEEK_THUMB, 11, 21, 8}, {IDB_SEEK_THUMB_PRESSED, 11, 21, 8},
    {IDB_VOLUME_THUMB, 21, 11, 8}, {IDB_VOLUME_THUMB_PRESSED, 21, 11, 8},
    {IDB_LOOP_AB_PRESSED, 16, 16, 8}, {IDB_LOOP_OFF, 16, 16, 8}, {IDB_LOOP_A, 16, 16, 8},
    {IDB_LOOP_AB, 16, 16, 8}, {IDB_LOOP_OFF_PRESSED, 16, 16, 8}, {IDB_LOOP_A_PRESSED, 16, 16, 8},
    {IDB_STEP_FORWARD_PRESSED, 16, 16, 8}, {IDB_STEP_FORWARD, 16, 16, 8},
    {IDB_NEXT_PRESSED, 16, 16, 8}, {IDB_NEXT, 16, 16, 8},
    {IDB_REPEAT_LIST_ON, 16, 16, 8}, {IDB_REPEAT_LIST_OFF, 16, 16, 8},
    {IDB_STEP_BACK_PRESSED, 16, 16, 8}, {IDB_PREVIOUS_PRESSED, 16, 16, 8},
    {IDB_PREVIOUS, 16, 16, 8}, {IDB_STEP_BACK, 16, 16, 8},
    {IDB_REPEAT_TRACK_ON, 16, 16, 8}, {IDB_REPEAT_TRACK_OFF, 16, 16, 8},
    {IDB_STOP, 16, 16, 8}, {IDB_STOP_PRESSED, 16, 16, 8},
};

TEST(ResourceModule, ProgramBitmapsLoadByIdAtTheirSizeAndDepth)
{
    for (const BitmapSpec& bitmap : kProgramBitmaps) {
        SCOPED_TRACE(bitmap.id);
        const QImage image = Program().LoadBitmap(bitmap.id);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(bitmap.width, bitmap.height));
        EXPECT_EQ(BitsPerPixel(kProgramResourceModule, bitmap.id), bitmap.bits);
    }
}

TEST(ResourceModule, EachModuleHasOnlyItsOwnResources)
{
    const QImage folder = Mediapick().LoadBitmap(IDB_FOLDER);
    ASSERT_FALSE(folder.isNull());
    // One picture of the folder image list, 16 pixels wide.
    EXPECT_EQ(folder.width(), FOLDER_PICTURE_SIZE);
    EXPECT_TRUE(Program().LoadBitmap(IDB_FOLDER).isNull());
    EXPECT_TRUE(Mediapick().LoadBitmap(IDB_SKIN).isNull());
    EXPECT_TRUE(Mediapick().LoadDialog(IDD_SELECT_FILE).has_value());
    EXPECT_FALSE(Program().LoadDialog(IDD_SELECT_FILE).has_value());
    EXPECT_FALSE(Mediapick().LoadDialog(IDD_VELLUMDECK_FORM).has_value());
    EXPECT_FALSE(ResourceModule::Named("nosuchmodule").LoadString(IDR_MAINFRAME).has_value());
}

TEST(ResourceModule, CurrentModuleIsTheProgramsUntilChanged)
{
    EXPECT_EQ(GetResourceModule().Name(), kProgramResourceModule);
    SetResourceModule(Mediapick());
    EXPECT_EQ(GetResourceModule().Name(), MEDIAPICK_RESOURCE_MODULE);
    SetResourceModule(Program());
}

TEST(ResourceModule, StringsById)
{
    EXPECT_EQ(Program().LoadString(IDR_MAINFRAME).value_or(""),
              "Vellumdeck\n\nVellumdeck\n\n\nVellumdeck.Document\nVellumdeck Document");
    // The window title is the document string's first field.
    EXPECT_EQ(Program().LoadString(IDR_MAINFRAME).value_or("").section('\n', 0, 0), "Vellumdeck");
    EXPECT_EQ(Program().LoadString(AFX_IDS_APP_TITLE).value_or(""), "Vellumdeck");
    EXPECT_FALSE(Program().LoadString(1).has_value());
}

TEST(ResourceModule, MenuHasThreePopupsWithBookmarkCommandsAtIndexOne)
{
    const std::optional<MenuTemplate> menu = Program().LoadMenu(IDR_MAINFRAME);
    ASSERT_TRUE(menu.has_value());
    ASSERT_EQ(menu->popups.size(), 3u);
    EXPECT_EQ(menu->popups[MENU_FILE_POPUP_INDEX].text, "&File");
    EXPECT_EQ(menu->popups[MENU_HELP_POPUP_INDEX].text, "&Help");
    const MenuItemTemplate& bmark = menu->popups[MENU_BMARK_POPUP_INDEX];
    EXPECT_EQ(bmark.text, "BMark");
    ASSERT_EQ(bmark.items.size(), 4u);
    EXPECT_EQ(bmark.items[0].command, ID_SET_BOOKMARK);
    EXPECT_EQ(bmark.items[1].command, ID_DEL_BOOKMARK);
    EXPECT_TRUE(bmark.items[2].separator);
    // Bookmark items are appended after Search, the last fixed item.
    EXPECT_EQ(bmark.items[3].text, "Search");
    EXPECT_EQ(bmark.items[3].command, ID_SEARCH);

    const std::vector<MenuItemTemplate>& file = menu->popups[MENU_FILE_POPUP_INDEX].items;
    ASSERT_EQ(file.size(), 5u);
    EXPECT_EQ(file[0].command, ID_FILE_OPEN);
    EXPECT_EQ(file[1].command, ID_TEXT_OPEN);
    EXPECT_EQ(file[2].command, ID_SETTING);
    EXPECT_TRUE(file[3].separator);
    EXPECT_EQ(file[4].text, "E&xit");
    EXPECT_EQ(file[4].command, ID_APP_EXIT);
    EXPECT_EQ(menu->popups[MENU_HELP_POPUP_INDEX].items.at(0).command, ID_APP_ABOUT);
}

TEST(ResourceModule, AcceleratorTableMapsEveryKeyToItsCommand)
{
    const std::optional<AcceleratorTable> table = Program().LoadAccelerators(IDR_MAINFRAME);
    ASSERT_TRUE(table.has_value());
    const std::pair<QKeyCombination, int> expected[] = {
        {Qt::CTRL | Qt::Key_N, ID_FILE_NEW},          {Qt::CTRL | Qt::Key_O, ID_FILE_OPEN},
        {Qt::CTRL | Qt::Key_S, ID_FILE_SAVE},         {Qt::CTRL | Qt::Key_Z, ID_EDIT_UNDO},
        {Qt::CTRL | Qt::Key_X, ID_EDIT_CUT},          {Qt::CTRL | Qt::Key_C, ID_EDIT_COPY},
        {Qt::CTRL | Qt::Key_V, ID_EDIT_PASTE},        {Qt::ALT | Qt::Key_Backspace, ID_EDIT_UNDO},
        {Qt::SHIFT | Qt::Key_Delete, ID_EDIT_CUT},    {Qt::CTRL | Qt::Key_Insert, ID_EDIT_COPY},
        {Qt::SHIFT | Qt::Key_Insert, ID_EDIT_PASTE},  {QKeyCombination(Qt::Key_F6), ID_NEXT_PANE},
        {Qt::SHIFT | Qt::Key_F6, ID_PREV_PANE},
    };
    ASSERT_EQ(table->entries.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(table->entries[i].key, QKeySequence(expected[i].first));
        EXPECT_EQ(table->entries[i].command, expected[i].second);
    }
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

} // namespace
