// The control messages companions send to the running program: adding
// buttons to a named toolbar, creating a toolbar from a wizard data file, and
// showing the about box.
#include "LintelFixture.h"
#include "driver/ToolbarFiles.h"

#include <shlobj.h>

namespace {

constexpr UINT kAddButton = WM_USER + 191;
constexpr UINT kShowAbout = WM_USER + 192;
constexpr UINT kCreateToolbar = WM_USER + 194;

// A wizard data file: the "DATA" stream of the wizard's hand-over.
CompoundContent WizardData(const std::string& name, uint32_t corner, uint32_t vertical, uint32_t size,
                           uint32_t descriptions, uint32_t count, const std::vector<uint8_t>& buttons = {})
{
    RecordBytes data;
    data.Text(name).U32(corner).U32(vertical).U32(size).U32(descriptions).U32(count);
    std::vector<uint8_t> bytes = data.Bytes();
    bytes.insert(bytes.end(), buttons.begin(), buttons.end());
    CompoundContent content;
    content.streams[L"DATA"] = bytes;
    return content;
}

// A shell object as the wizard names it: its folder's list, then its own item,
// each as a 16-bit length (terminator included) and the bytes.
std::vector<uint8_t> ItemPair(const std::string& path)
{
    std::vector<uint8_t> bytes;
    std::wstring wide(path.begin(), path.end());
    LPITEMIDLIST full = nullptr;
    if (FAILED(SHParseDisplayName(wide.c_str(), nullptr, &full, 0, nullptr)))
        return bytes;
    LPITEMIDLIST folder = ILClone(full);
    ILRemoveLastID(folder);
    LPCITEMIDLIST last = ILFindLastID(full);
    const UINT lastSize = last->mkid.cb + 2;
    auto put = [&bytes](const void* data, UINT size) {
        bytes.push_back(static_cast<uint8_t>(size));
        bytes.push_back(static_cast<uint8_t>(size >> 8));
        const auto* raw = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), raw, raw + size);
    };
    put(folder, ILGetSize(folder));
    std::vector<uint8_t> item(reinterpret_cast<const uint8_t*>(last), reinterpret_cast<const uint8_t*>(last) + lastSize - 2);
    item.push_back(0);
    item.push_back(0);
    put(item.data(), lastSize);
    ILFree(folder);
    ILFree(full);
    return bytes;
}

std::string Answer(DWORD processId, const char* caption, int button = IDOK)
{
    HWND box = driver::WaitForMessageBox(caption, driver::kDefaultTimeout, processId);
    if (!box)
        return "<no box>";
    std::string text = driver::MessageBoxText(box);
    driver::PressButton(box, button);
    driver::WaitForWindowGone(box, 3000);
    return text;
}

} // namespace

class ControlMessageTest : public LintelProgramTest
{
protected:
    void SetUp() override
    {
        LintelProgramTest::SetUp();
        m_lintel = &Start();
        m_main = WaitForMainWindow(*m_lintel);
        ASSERT_NE(m_main, nullptr);
    }
    void PostAtom(UINT message, const std::string& text, bool inWParam)
    {
        const ATOM atom = GlobalAddAtomA(text.c_str());
        ASSERT_NE(atom, 0);
        PostMessageA(m_main, message, inWParam ? atom : 0, inWParam ? 0 : atom);
    }
    std::string WizardFile(const std::string& name)
    {
        return m_folder + "\\" + name;
    }

    driver::Process* m_lintel = nullptr;
    HWND m_main = nullptr;
};

TEST_F(ControlMessageTest, WizardDataFileBuildsAndSavesAToolbar)
{
    const std::string data = WizardFile("LTL1A2B.tmp");
    ASSERT_TRUE(WriteCompoundFile(data, WizardData("Wizard bar", 1, 0, 1, 0, 0)));
    PostAtom(kCreateToolbar, data, false);
    HWND toolbar = driver::WaitForWindow("CToolbarWindow", "Wizard bar", driver::kDefaultTimeout, m_lintel->Id());
    ASSERT_NE(toolbar, nullptr);
    EXPECT_TRUE(driver::WaitUntil([&] { return !driver::FileExists(data); }, 5000));
    // Saved under its name in the program's current folder, docked top left.
    EXPECT_TRUE(driver::FileExists(m_folder + "\\Wizard bar.ltl"));
    RECT rect{}, work{};
    GetWindowRect(toolbar, &rect);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(rect.left, work.left);
    EXPECT_EQ(rect.top, work.top);
    EXPECT_GT(rect.right - rect.left, rect.bottom - rect.top);   // horizontal
}

TEST_F(ControlMessageTest, WizardButtonsArriveAndTheMenuListsThem)
{
    // Two folders named by their item lists, as the wizard sends them.
    std::vector<uint8_t> buttons;
    for (const char* name : {"Letters", "Pictures"}) {
        const std::string folder = m_folder + "\\" + name;
        CreateDirectoryA(folder.c_str(), nullptr);
        const std::vector<uint8_t> pair = ItemPair(folder);
        ASSERT_FALSE(pair.empty());
        buttons.insert(buttons.end(), pair.begin(), pair.end());
    }
    const std::string data = WizardFile("LTL5.tmp");
    ASSERT_TRUE(WriteCompoundFile(data, WizardData("Folders", 0, 1, 1, 1, 2, buttons)));
    PostAtom(kCreateToolbar, data, false);
    HWND toolbar = driver::WaitForWindow("CToolbarWindow", "Folders", driver::kDefaultTimeout, m_lintel->Id());
    ASSERT_NE(toolbar, nullptr);
    EXPECT_TRUE(driver::NoMessageBoxFor(nullptr, 500, m_lintel->Id()));
    int count = 0;
    for (HWND child = FindWindowExA(toolbar, nullptr, "CToolButtonWindow", nullptr); child;
         child = FindWindowExA(toolbar, child, "CToolButtonWindow", nullptr))
        ++count;
    EXPECT_EQ(count, 2);

    // A second toolbar, then the program menu with both as submenus.
    const std::string second = WizardFile("LTL6.tmp");
    ASSERT_TRUE(WriteCompoundFile(second, WizardData("Empty", 2, 0, 1, 0, 0)));
    PostAtom(kCreateToolbar, second, false);
    ASSERT_NE(driver::WaitForWindow("CToolbarWindow", "Empty", driver::kDefaultTimeout, m_lintel->Id()), nullptr);
    PostMessageA(m_main, WM_USER + 101, 1, WM_RBUTTONUP);
    HWND menu = driver::WaitForWindow("#32768", nullptr, driver::kDefaultTimeout, m_lintel->Id());
    ASSERT_NE(menu, nullptr);
    driver::Screenshot("program-menu-two-toolbars");
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    driver::WaitForWindowGone(menu, 3000);
}

TEST_F(ControlMessageTest, BadButtonSizeFailsTheWholeToolbar)
{
    const std::string data = WizardFile("LTL77.tmp");
    ASSERT_TRUE(WriteCompoundFile(data, WizardData("Half made", 0, 1, 3, 0, 0)));
    PostAtom(kCreateToolbar, data, false);
    EXPECT_EQ(Answer(m_lintel->Id(), "Lintel"),
              "The New Toolbar Wizard failed to create a new toolbar. The toolbar has been removed.");
    EXPECT_TRUE(driver::WaitUntil(
        [&] { return driver::FindTopWindow("CToolbarWindow", "Half made", m_lintel->Id()) == nullptr; }, 3000));
    EXPECT_FALSE(driver::FileExists(data));
}

TEST_F(ControlMessageTest, StreamEndingInsideTheButtonListReportsMessage81)
{
    const std::string data = WizardFile("LTLC0DE.tmp");
    // Three buttons promised, half an item list delivered.
    ASSERT_TRUE(WriteCompoundFile(data, WizardData("Short", 0, 1, 1, 0, 3, {0x10, 0x00, 0x01})));
    PostAtom(kCreateToolbar, data, false);
    EXPECT_EQ(Answer(m_lintel->Id(), "Lintel"),
              "One or more buttons could not be successfully added to the new toolbar.");
    EXPECT_NE(driver::FindTopWindow("CToolbarWindow", "Short", m_lintel->Id()), nullptr);
    EXPECT_FALSE(driver::FileExists(data));
}

TEST_F(ControlMessageTest, OnlyWizardDataFilesAreEverDeleted)
{
    struct Case {
        const char* name;
        bool compound;
    };
    // Not the wizard's temporary name, or not a wizard file inside.
    const Case cases[] = {{"important.ltl", true}, {"LTLnotes.txt", false}, {"LTL12.tmp", false}};
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        const std::string path = WizardFile(entry.name);
        if (entry.compound)
            ASSERT_TRUE(WriteCompoundFile(path, FileWith(RecordValues{}, 0x23000)));
        else
            driver::WriteTextFile(path, "precious");
        PostAtom(kCreateToolbar, path, false);
        EXPECT_EQ(Answer(m_lintel->Id(), "Lintel"),
                  "The New Toolbar Wizard failed to create a new toolbar. The toolbar has been removed.");
        EXPECT_TRUE(driver::FileExists(path));
    }
    // A stale atom names nothing at all.
    const ATOM atom = GlobalAddAtomA("C:\\stale.tmp");
    GlobalDeleteAtom(atom);
    PostMessageA(m_main, kCreateToolbar, 0, atom);
    EXPECT_EQ(Answer(m_lintel->Id(), "Lintel"),
              "The New Toolbar Wizard failed to create a new toolbar. The toolbar has been removed.");
}

TEST_F(ControlMessageTest, AddButtonFindsToolbarsByNameWhateverTheCase)
{
    for (const char* name : {"Tools", "Games"}) {
        const std::string data = WizardFile(std::string("LTL") + (name[0] == 'T' ? "1" : "2") + ".tmp");
        ASSERT_TRUE(WriteCompoundFile(data, WizardData(name, 0, 1, 1, 0, 0)));
        PostAtom(kCreateToolbar, data, false);
        ASSERT_NE(driver::WaitForWindow("CToolbarWindow", name, driver::kDefaultTimeout, m_lintel->Id()), nullptr);
    }
    // A slot with no toolbar fails without a word.
    PostMessageA(m_main, kAddButton, 3, 0);
    EXPECT_TRUE(driver::NoMessageBoxFor(nullptr, 500, m_lintel->Id()));

    // An unknown name: message 66 with the name as caption.
    PostAtom(kAddButton, "Nowhere", true);
    EXPECT_EQ(Answer(m_lintel->Id(), "Nowhere").rfind("Lintel Explorer was unable to add a button", 0), 0u);

    // A name that differs in case finds the toolbar; with nothing usable on
    // the clipboard the paste fails with message 67, captioned by that name.
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
    PostAtom(kAddButton, "gAMES", true);
    EXPECT_EQ(Answer(m_lintel->Id(), "gAMES"), "Failed to add the button to the above toolbar.");
}

namespace {

DWORD WINAPI SendShowAbout(void* param)
{
    SendMessageA(*static_cast<HWND*>(param), kShowAbout, 0, 0);
    return 0;
}

} // namespace

TEST_F(ControlMessageTest, ShowAboutIsTheAboutCommand)
{
    // Sent, as the Explorer does: the answer comes once the box is closed.
    HANDLE thread = CreateThread(nullptr, 0, SendShowAbout, &m_main, 0, nullptr);
    HWND about = driver::WaitForWindow(nullptr, "About Lintel", driver::kDefaultTimeout, m_lintel->Id());
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    PostMessageA(about, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    CloseHandle(thread);
}
