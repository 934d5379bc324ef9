#include "MediapickResource.h"
#include "ResourceModule.h"
#include "ResourceReader.h"
#include "resource.h"

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

TEST(ResourceModule, EachModuleHasOnlyItsOwnResources)
{
    for (int id : {IDB_SKIN, IDB_LOGO, IDB_PLAY, IDB_PAUSE_PRESSED, IDB_SOUND_OFF, IDB_SEEK_THUMB,
                   IDB_VOLUME_THUMB_PRESSED, IDB_LOOP_AB, IDB_REPEAT_LIST_ON, IDB_STOP_PRESSED}) {
        EXPECT_FALSE(Program().LoadBitmap(id).isNull()) << id;
    }
    EXPECT_EQ(Program().LoadBitmap(IDB_SKIN).size(), QSize(SKIN_WIDTH, SKIN_HEIGHT));
    // One picture of the folder image list, 16 pixels wide.
    EXPECT_EQ(Mediapick().LoadBitmap(IDB_FOLDER).width(), FOLDER_PICTURE_SIZE);
    EXPECT_TRUE(Program().LoadBitmap(IDB_FOLDER).isNull());
    EXPECT_TRUE(Mediapick().LoadBitmap(IDB_SKIN).isNull());
    EXPECT_TRUE(Mediapick().LoadDialog(IDD_SELECT_FILE).has_value());
    EXPECT_FALSE(Program().LoadDialog(IDD_SELECT_FILE).has_value());
    EXPECT_FALSE(ResourceModule::Named("nosuchmodule").LoadString(IDR_MAINFRAME).has_value());
    // The window title is the document string's first field.
    EXPECT_EQ(Program().LoadString(IDR_MAINFRAME).value_or("").section('\n', 0, 0), "Vellumdeck");
    EXPECT_FALSE(Program().LoadString(1).has_value());

    EXPECT_EQ(GetResourceModule().Name(), kProgramResourceModule);
    SetResourceModule(Mediapick());
    EXPECT_EQ(GetResourceModule().Name(), MEDIAPICK_RESOURCE_MODULE);
    SetResourceModule(Program());
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
