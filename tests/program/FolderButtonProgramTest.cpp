// A folder button of the real program: held down, it drops down the folder's
// contents as a popup menu, whose sub-folders open filled.
#include "LintelFixture.h"
#include "PopupWindows.h"
#include "driver/ToolbarFiles.h"

namespace {

void Pause(DWORD ms)
{
    driver::WaitUntil([] { return false; }, ms);
}

// A folder made now or left by an earlier run.
bool MakeFolder(const std::string& path)
{
    return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// A folder button of a 0x20000 file, which names its folder by path alone.
std::vector<uint8_t> FolderButtonRecord(const std::string& folder, const std::string& description)
{
    return RecordBytes().U32(3).Text(folder).Text(description).U32(1).Text("").U32(0).U32(0).U32(2).Bytes();
}

} // namespace

class FolderButtonProgramTest : public LintelProgramTest
{
};

TEST_F(FolderButtonProgramTest, HoldDropsDownTheFolderContents)
{
    const std::string folder = m_folder + "\\Held";
    ASSERT_TRUE(MakeFolder(folder));
    // The sub-folder alone, so that the keys below know where it stands.
    ASSERT_TRUE(MakeFolder(folder + "\\Letters"));
    for (const char* name : {"notes.txt", "plan.txt", "budget.txt"})
        driver::WriteTextFile(folder + "\\Letters\\" + name, "x");

    RecordValues values;
    values.name = "Folders";
    values.position = MAKELONG(300, 250);
    values.count = 1;
    CompoundContent content = FileWith(values, 0x20000);
    content.storages[L"BUTTON000"][L"DATA"] = FolderButtonRecord(folder, "Held");
    const std::string file = m_folder + "\\folders.ltl";
    ASSERT_TRUE(WriteCompoundFile(file, content));
    driver::SetRegistryDword(HKEY_CURRENT_USER, kUserKey, "NumToolbars", 1);
    driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, "Toolbar01", file.c_str());
    // An old file would ask to be converted first.
    driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, "ConvertOldFiles", "Yes");

    driver::Process& lintel = Start();
    HWND toolbar = driver::WaitForWindow("CToolbarWindow", "Folders", driver::kDefaultTimeout, lintel.Id());
    ASSERT_NE(toolbar, nullptr);
    HWND button = nullptr;
    ASSERT_TRUE(driver::WaitUntil(
        [&] { return (button = FindWindowExA(toolbar, nullptr, "CToolButtonWindow", nullptr)) != nullptr; }, 3000));
    RECT rect{};
    GetWindowRect(button, &rect);

    driver::MoveMouseTo((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    Pause(200);
    driver::LeftButton(true);
    HWND menu = WaitForMenus(lintel.Id(), 1);
    driver::LeftButton(false);
    ASSERT_NE(menu, nullptr);
    RECT menuRect{};
    GetWindowRect(menu, &menuRect);
    // "&Open...", a separator and the sub-folder.
    EXPECT_GT(menuRect.bottom - menuRect.top, 2 * (GetSystemMetrics(SM_CYMENU) - 2));

    // The sub-folder is read when it is selected: a submenu left empty would
    // never open.
    PostKey(menu, VK_DOWN);
    PostKey(menu, VK_DOWN);
    PostKey(menu, VK_RIGHT);
    HWND submenu = WaitForMenus(lintel.Id(), 2);
    ASSERT_NE(submenu, nullptr);
    // "&Open...", a separator and three files.  Wine shows the popup window
    // before it has its final size; under load the first rectangle read can
    // be the one of a shorter menu.
    const int least = 4 * (GetSystemMetrics(SM_CYMENU) - 2);
    RECT submenuRect{};
    driver::WaitUntil([&] {
        GetWindowRect(submenu, &submenuRect);
        return submenuRect.bottom - submenuRect.top > least;
    }, 3000);
    EXPECT_GT(submenuRect.bottom - submenuRect.top, least);
    driver::Screenshot("program-folder-button-contents-menu");

    // Escape closes the menus and the release after the hold starts nothing.
    PostKey(menu, VK_ESCAPE);
    PostKey(menu, VK_ESCAPE);
    EXPECT_TRUE(driver::WaitUntil([&] { return VisibleMenus(lintel.Id()).empty(); }, 3000));
    EXPECT_TRUE(driver::NoMessageBoxFor(nullptr, 500, lintel.Id()));
    EXPECT_TRUE(lintel.IsRunning());
}
