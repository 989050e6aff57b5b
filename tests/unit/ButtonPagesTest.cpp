// The decisions of the button property pages and the icon chooser that need
// no window: what the Target page refuses, how the chooser reads a file name,
// which icon groups it lists and which one it preselects.
#include "buttons/ButtonTargetPage.h"
#include "buttons/IconChooserDialog.h"
#include "buttons/ToolButton.h"
#include "driver/Driver.h"
#include "resources/lintel/resource.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <iterator>
#include <string>

TEST(ButtonPagesTest, TargetPageRefusals)
{
    const std::string folder = driver::MakeTempFolder("ButtonPagesTest.target");
    const std::string file = folder + "\\file.txt";
    driver::WriteTextFile(file, "x");
    const std::string missing = folder + "\\missing";
    // A start-in folder longer than OpenFile could test.
    std::string deep = folder;
    while (deep.size() < 180)
        deep += "\\a_long_folder_name";
    ASSERT_EQ(SHCreateDirectoryExA(nullptr, deep.c_str(), nullptr), ERROR_SUCCESS);

    struct Case {
        int kind;
        BOOL fileSystem;
        std::string fileName;
        std::string startIn;
        UINT want;
    };
    const Case cases[] = {
        {kKindUrl, FALSE, "http://example.com/", "", 0},
        {kKindUrl, FALSE, "", "", IDS_MSG_NO_FILENAME},
        {kKindUrl, FALSE, "www.example .com", "", IDS_MSG_NO_FILENAME},
        {kKindUrl, TRUE, "", "", IDS_MSG_NO_FILENAME},
        {kKindProgram, TRUE, "", "", IDS_MSG_NO_FILENAME},
        {kKindProgram, TRUE, file, "", 0},
        {kKindProgram, TRUE, file, folder, 0},
        {kKindProgram, TRUE, file, deep, 0},
        {kKindProgram, TRUE, file, missing, IDS_MSG_NO_FOLDER},
        // A file is no folder to start in.
        {kKindProgram, TRUE, file, file, IDS_MSG_NO_FOLDER},
        {kKindFolder, TRUE, folder, "", 0},
        {kKindFolder, TRUE, deep, "", 0},
        {kKindFolder, TRUE, file, "", IDS_MSG_NO_FOLDER},
        {kKindFolder, TRUE, missing, "", IDS_MSG_NO_FOLDER},
        // A bare name is not looked for along the search path.
        {kKindFolder, TRUE, "system32", "", IDS_MSG_NO_FOLDER},
        // Outside the file system nothing can be retyped, so nothing is refused.
        {kKindProgram, FALSE, "", "", 0},
        {kKindFolder, FALSE, "Control Panel", "", 0},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(CheckTargetTexts(cases[i].kind, cases[i].fileSystem, cases[i].fileName.c_str(),
                                   cases[i].startIn.c_str()),
                  cases[i].want);
    }
}

TEST(ButtonPagesTest, IconFileKindsByTheirLastThreeCharacters)
{
    const struct {
        const char* name;
        IconFileKind want;
    } cases[] = {
        {"C:\\icons\\a.ico", kIconFileIco}, {"A.ICO", kIconFileIco},        {"shell32.Dll", kIconFileDll},
        {"prog.exe", kIconFileExe},         {"x.ico", kIconFileIco},        {"ico", kIconFileUnknown},
        {".ic", kIconFileUnknown},          {"", kIconFileUnknown},         {"picture.bmp", kIconFileUnknown},
        {"C:\\exe", kIconFileExe},          {"icons.ico ", kIconFileUnknown},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(KindOfIconFile(cases[i].name), cases[i].want);
    }
    EXPECT_EQ(KindOfIconFile(nullptr), kIconFileUnknown);
}

TEST(ButtonPagesTest, NumericIconGroupsInResourceOrder)
{
    HMODULE module =
        LoadLibraryExA((driver::ProgramFolder() + "\\icon_groups.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(NumericIconGroups(module), (std::vector<int>{7, 12, 30}));
    FreeLibrary(module);
    EXPECT_TRUE(NumericIconGroups(nullptr).empty());
}

TEST(ButtonPagesTest, PreselectedIconIsTheCurrentOne)
{
    const std::vector<int> groups{-7, -12, -30};
    const struct {
        std::vector<int> stored;
        int current;
        int want;
    } cases[] = {
        {groups, -12, 1},
        {groups, -30, 2},
        {groups, -7, 0},
        // The shell's zero-based ordinals name the item at that position.
        {groups, 1, 1},
        {groups, 2, 2},
        {groups, 0, 0},
        // Nothing matches: the first.
        {groups, 3, 0},
        {groups, -99, 0},
        {{0}, 0, 0},
        {{}, -12, 0},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(PreselectedIcon(cases[i].stored, cases[i].current), cases[i].want);
    }
}
