// The "Add to" menu against the real Lintel.exe: the files chosen in the shell
// land on the toolbar the user picked, a protected toolbar that allows adding
// included, and are in its file when Lintel saves it.
#include "LintelFixture.h"
#include "ShellExtensionSupport.h"

#include "driver/ToolbarDump.h"
#include "driver/ToolbarFiles.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <iterator>

using namespace shellext;

namespace {

constexpr uint32_t kBlockDrag = 0x04;
constexpr UINT kFirstId = 100;

int ButtonWindows(HWND toolbar)
{
    return driver::CountChildWindows(toolbar, "CToolButtonWindow");
}

} // namespace

class RealLintelHandOverTest : public LintelProgramTest
{
protected:
    void SetUp() override
    {
        LintelProgramTest::SetUp();
        driver::KillProgramsWithWindow("CToolbarWindow");
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    }
    void TearDown() override
    {
        OleSetClipboard(nullptr);
        OleUninitialize();
        LintelProgramTest::TearDown();
    }

    std::string FileOf(const std::string& name) const { return m_folder + "\\" + name + ".ltl"; }

    // Files made in a folder of their own, as the shell's selection.
    std::vector<std::string> MakeFiles(const std::string& folderName, const std::vector<std::string>& names)
    {
        const std::string folder = m_folder + "\\" + folderName;
        CreateDirectoryA(folder.c_str(), nullptr);
        std::vector<std::string> paths;
        for (const std::string& name : names) {
            paths.push_back(folder + "\\" + name);
            driver::WriteTextFile(paths.back(), name);
        }
        return paths;
    }

    // Chooses the toolbar titled so on the menu the shell would show for
    // the files, and waits until Lintel has pasted them.
    void AddThroughTheMenu(const std::vector<std::string>& files, const std::string& title)
    {
        CComPtr<IDataObject> data = ShellDataObject(files);
        ASSERT_TRUE(data);
        CComPtr<IContextMenu> object = MakeMenuObject(kToolbarMenuClass, data.Get());
        ASSERT_TRUE(object);
        HMENU menu = CreatePopupMenu();
        EXPECT_EQ(object->QueryContextMenu(menu, 0, kFirstId, kFirstId + 50, CMF_NORMAL),
                  MAKE_HRESULT(SEVERITY_SUCCESS, 0, 3));
        const std::vector<MenuEntry> entries = MenuEntries(menu);
        DestroyMenu(menu);
        ASSERT_EQ(entries.size(), 1u);
        UINT offset = 0;
        for (const MenuEntry& item : entries[0].items) {
            if (item.text == title)
                offset = item.id - kFirstId;
        }
        ASSERT_NE(offset, 0u) << Describe(entries);
        ASSERT_EQ(InvokeOffset(object.Get(), offset), S_OK);
        // Each paste ends by emptying the clipboard.
        EXPECT_TRUE(driver::WaitUntil([] { return !IsClipboardFormatAvailable(CF_HDROP); }));
    }

    // What the program's own reader finds in a toolbar file.
    std::vector<std::string> SavedButtonFiles(const std::string& path)
    {
        const nlohmann::json toolbar = driver::DumpToolbar(path, m_folder);
        std::vector<std::string> files;
        if (toolbar.is_object() && toolbar.contains("buttons")) {
            for (const auto& button : toolbar["buttons"])
                files.push_back(button.value("fileName", std::string()));
        }
        return files;
    }
};

TEST_F(RealLintelHandOverTest, TheChosenToolbarGainsTheFilesAndKeepsThemInItsFile)
{
    RecordValues tools;
    tools.name = "Tools";
    tools.isProtected = 1;
    tools.level = kBlockDrag;   // protected, but adding is allowed
    RecordValues games;
    games.name = "Games";
    const RecordValues opened[] = {tools, games};
    ASSERT_TRUE(driver::SetRegistryDword(HKEY_CURRENT_USER, kUserKey, "NumToolbars", 2));
    for (size_t i = 0; i < std::size(opened); ++i) {
        ASSERT_TRUE(WriteCompoundFile(FileOf(opened[i].name), FileWith(opened[i], 0x23000)));
        const std::string value = "Toolbar0" + std::to_string(i + 1);
        ASSERT_TRUE(driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, value.c_str(), FileOf(opened[i].name).c_str()));
    }
    driver::Process& lintel = Start();
    ASSERT_NE(WaitForMainWindow(lintel), nullptr);
    HWND toolsWindow = driver::WaitForWindow("CToolbarWindow", "Tools (P)", driver::kDefaultTimeout, lintel.Id());
    HWND gamesWindow = driver::WaitForWindow("CToolbarWindow", "Games", driver::kDefaultTimeout, lintel.Id());
    ASSERT_NE(toolsWindow, nullptr);
    ASSERT_NE(gamesWindow, nullptr);

    const std::vector<std::string> toTools = MakeFiles("Picked", {"Notes.txt", "Plan.txt"});
    ASSERT_NO_FATAL_FAILURE(AddThroughTheMenu(toTools, "Tools (P)"));
    EXPECT_TRUE(driver::WaitUntil([&] { return ButtonWindows(toolsWindow) == 2; })) << ButtonWindows(toolsWindow);
    const std::vector<std::string> toGames = MakeFiles("Other", {"Chess.txt"});
    ASSERT_NO_FATAL_FAILURE(AddThroughTheMenu(toGames, "Games"));
    EXPECT_TRUE(driver::WaitUntil([&] { return ButtonWindows(gamesWindow) == 1; })) << ButtonWindows(gamesWindow);
    EXPECT_EQ(ButtonWindows(toolsWindow), 2);
    EXPECT_TRUE(driver::NoMessageBoxFor(nullptr, 300, lintel.Id()));

    ASSERT_TRUE(Close(lintel));
    EXPECT_EQ(SavedButtonFiles(FileOf("Tools")), toTools);
    EXPECT_EQ(SavedButtonFiles(FileOf("Games")), toGames);
}
