// SPDX-License-Identifier: GPL-2.0-or-later
#include "MediapickResource.h"
#include "ResourceModule.h"
#include "ResourceReader.h"
#include "resource.h"

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

} // namespace
