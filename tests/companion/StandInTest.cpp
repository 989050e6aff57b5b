// The kit the companions' tests stand on: the stand-in main program records
// what a companion hands it exactly as it arrived, survives whatever another
// program puts on the clipboard, and its toolbars are found the way the
// companions look for toolbars.
#include "driver/CompoundFile.h"
#include "driver/Driver.h"
#include "driver/StandIns.h"

#include <gtest/gtest.h>
#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr UINT kAddButton = WM_USER + 191;
constexpr UINT kShowAbout = WM_USER + 192;
constexpr UINT kHelpRequest = WM_USER + 193;
constexpr UINT kCreateToolbar = WM_USER + 194;

bool Contains(const std::vector<std::string>& texts, const std::string& text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

std::vector<uint8_t> Bytes(std::initializer_list<uint32_t> words)
{
    std::vector<uint8_t> bytes;
    for (uint32_t word : words) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<uint8_t>(word >> shift));
    }
    return bytes;
}

// A DROPFILES header whose list starts at the offset, then the list's bytes.
std::vector<uint8_t> FileList(uint32_t offset, bool wide, const std::string& list)
{
    std::vector<uint8_t> block = Bytes({offset, 0, 0, 0, wide ? 1u : 0u});
    for (const char c : list) {
        block.push_back(static_cast<uint8_t>(c));
        if (wide)
            block.push_back(0);
    }
    return block;
}

} // namespace

class StandInTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_folder = driver::MakeTempFolder(std::string(info->test_suite_name()) + "." + info->name());
    }
    void TearDown() override
    {
        m_standIn.Stop();
        OleSetClipboard(nullptr);
        OleUninitialize();
    }

    std::string m_folder;
    driver::CompanionStandIn m_standIn;
};

TEST_F(StandInTest, AddButtonRecordsTheToolbarNameWithItsCaseAndTheClipboardItems)
{
    ASSERT_TRUE(m_standIn.Start(m_folder, true));
    const std::vector<std::string> paths = {m_folder + "\\first.txt", m_folder + "\\Second File.txt",
                                            m_folder + "\\Sub Folder"};
    driver::WriteTextFile(paths[0], "one");
    driver::WriteTextFile(paths[1], "two");
    CreateDirectoryA(paths[2].c_str(), nullptr);
    ASSERT_TRUE(driver::PutShellItemsOnClipboard(paths));

    // Atoms compare without regard to case, and a name added again keeps the
    // case it was first added with: this one is used by no other test.
    const char* const name = "Kit Mixed-Case ToolBar";
    const ATOM atom = GlobalAddAtomA(name);
    ASSERT_NE(atom, 0);
    ASSERT_TRUE(PostMessageA(m_standIn.MainWindow(), kAddButton, atom, 0));

    driver::StandInRecord added;
    ASSERT_TRUE(m_standIn.WaitForRecord("addbutton", added));
    EXPECT_EQ(added.wParam, atom);
    EXPECT_EQ(added.atomState, driver::StandInRecord::Atom::Read);
    EXPECT_EQ(added.atom, name);
    EXPECT_EQ(GlobalFindAtomA(name), 0) << "the receiver deletes the atom";
    EXPECT_TRUE(added.clipboard);
    EXPECT_TRUE(Contains(added.formats, "CF_HDROP"));
    EXPECT_TRUE(Contains(added.formats, "Shell IDList Array"));
    EXPECT_EQ(added.files, paths);
    EXPECT_TRUE(added.idListReadable);
    EXPECT_EQ(added.items, paths);
    EXPECT_FALSE(added.button);
    // Taken once, as a paste takes it.
    EXPECT_TRUE(driver::WaitUntil([] { return !IsClipboardFormatAvailable(CF_HDROP); }, 3000));
}

TEST_F(StandInTest, HostileHandOversAreRecordedAsSuchAndLeaveTheStandInRunning)
{
    ASSERT_TRUE(m_standIn.Start(m_folder, true));
    HWND owner = CreateWindowExA(0, "STATIC", "clipboard owner", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    const UINT idList = RegisterClipboardFormatA("Shell IDList Array");
    const UINT button = RegisterClipboardFormatA("CExecButton");

    enum class Sent { Slot, StaleAtom };
    struct Case {
        const char* what;
        Sent sent;
        UINT format;   // 0: an empty clipboard
        std::vector<uint8_t> block;
        std::vector<std::string> files;
        bool idListReadable;
        bool button;
    };
    const Case cases[] = {
        {"stale atom, empty clipboard", Sent::StaleAtom, 0, {}, {}, false, false},
        {"file list past the block's end", Sent::Slot, CF_HDROP, FileList(0x7FFFFFF0, true, "C:\\a"), {}, false,
         false},
        {"file name without its end", Sent::Slot, CF_HDROP, FileList(20, true, "C:\\unended"), {}, false, false},
        {"narrow file list", Sent::Slot, CF_HDROP, FileList(20, false, std::string("C:\\one\0C:\\two\0\0", 16)),
         {"C:\\one", "C:\\two"}, false, false},
        {"id list count past the block", Sent::Slot, idList, Bytes({0xFFFFFFFF, 12, 14}), {}, false, false},
        {"id list offset past the block", Sent::Slot, idList, Bytes({1, 12, 0x7FFFFFF0, 0}), {}, false, false},
        {"id list item past the block", Sent::Slot, idList, Bytes({1, 12, 12, 0x7FFF}), {}, false, false},
        {"a stored button", Sent::Slot, button, Bytes({2, 0}), {}, false, true},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(OpenClipboard(owner));
        EmptyClipboard();
        if (c.format) {
            HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, c.block.size());
            std::memcpy(GlobalLock(memory), c.block.data(), c.block.size());
            GlobalUnlock(memory);
            EXPECT_NE(SetClipboardData(c.format, memory), nullptr);
        }
        CloseClipboard();

        WPARAM sent = 3;
        if (c.sent == Sent::StaleAtom) {
            sent = GlobalAddAtomA("Kit stale toolbar");
            GlobalDeleteAtom(static_cast<ATOM>(sent));
        }
        ASSERT_TRUE(PostMessageA(m_standIn.MainWindow(), kAddButton, sent, 0));
        driver::StandInRecord added;
        ASSERT_TRUE(m_standIn.WaitForRecord("addbutton", added));
        EXPECT_EQ(added.atomState,
                  c.sent == Sent::StaleAtom ? driver::StandInRecord::Atom::Stale : driver::StandInRecord::Atom::None);
        EXPECT_EQ(added.files, c.files);
        EXPECT_TRUE(added.items.empty());
        EXPECT_EQ(added.idListReadable, c.idListReadable);
        EXPECT_EQ(added.button, c.button);
        ASSERT_TRUE(m_standIn.GetProcess().IsRunning());
    }
    DestroyWindow(owner);
}

TEST_F(StandInTest, ToolbarsAreFoundByClassAndTitleAndEndTheStandInOnClose)
{
    const std::vector<std::string> names = {"Tools", "Games (P)", "Quoted \"name\" \\"};
    ASSERT_TRUE(m_standIn.Start(m_folder, true, names));
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        HWND toolbar = FindWindowA("CToolbarWindow", name.c_str());
        ASSERT_NE(toolbar, nullptr);
        EXPECT_EQ(toolbar, m_standIn.ToolbarWindow(name));
        EXPECT_TRUE(IsWindowVisible(toolbar));
        EXPECT_EQ(GetAncestor(toolbar, GA_PARENT), GetDesktopWindow());
    }
    HWND main = FindWindowA("LintelMainWindow", "Lintel");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main, m_standIn.MainWindow());
    EXPECT_FALSE(IsWindowVisible(main));

    // Toolbars alone: no second main window.
    driver::CompanionStandIn toolbarsOnly;
    ASSERT_TRUE(toolbarsOnly.Start(driver::MakeTempFolder("StandInTest.ToolbarsOnly"), false, {"Alone"}));
    EXPECT_EQ(driver::CountTopWindows("LintelMainWindow", "Lintel"), 1);
    EXPECT_NE(toolbarsOnly.ToolbarWindow("Alone"), nullptr);

    PostMessageA(m_standIn.ToolbarWindow("Games (P)"), WM_CLOSE, 0, 0);
    EXPECT_TRUE(m_standIn.GetProcess().WaitForExit());
    EXPECT_EQ(FindWindowA("CToolbarWindow", "Tools"), nullptr);
    EXPECT_TRUE(toolbarsOnly.GetProcess().IsRunning());
}

TEST_F(StandInTest, TheOtherMessagesAreRecordedInOrderAndAnswered)
{
    ASSERT_TRUE(m_standIn.Start(m_folder, true, {}, 7));
    HWND main = m_standIn.MainWindow();
    ASSERT_NE(main, nullptr);

    EXPECT_EQ(SendMessageA(main, kShowAbout, 0, 0), 1);
    EXPECT_EQ(SendMessageA(main, kHelpRequest, MAKEWPARAM(1, 1), 42), 7);

    // The wizard's data file: copied aside, so that it can be read after its
    // sender or anyone else removed it; the file itself stays.
    const std::string data = m_folder + "\\LTL1A.tmp";
    driver::WriteTextFile(data, std::string("\x05\x00Kit\x00", 6));
    const ATOM atom = GlobalAddAtomA(data.c_str());
    ASSERT_NE(atom, 0);
    ASSERT_TRUE(PostMessageA(main, kCreateToolbar, 0, atom));
    driver::StandInRecord created;
    ASSERT_TRUE(m_standIn.WaitForRecord("createtb", created));
    EXPECT_EQ(created.lParam, atom);
    EXPECT_EQ(created.atom, data);
    EXPECT_EQ(GlobalFindAtomA(data.c_str()), 0);
    ASSERT_FALSE(created.copy.empty());
    EXPECT_EQ(ReadWholeFile(created.copy), ReadWholeFile(data));
    EXPECT_TRUE(driver::FileExists(data));

    char text[] = "abc";
    COPYDATASTRUCT copy{5, 3, text};
    EXPECT_EQ(SendMessageA(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy)), TRUE);
    driver::StandInRecord copied;
    ASSERT_TRUE(m_standIn.WaitForRecord("copydata", copied));
    EXPECT_EQ(copied.dataId, 5u);
    EXPECT_EQ(copied.data, "616263");

    std::vector<std::string> events;
    std::vector<unsigned long long> parameters;
    for (const driver::StandInRecord& record : m_standIn.Records()) {
        events.push_back(record.event);
        parameters.push_back(record.wParam);
        parameters.push_back(record.lParam);
    }
    EXPECT_EQ(events, (std::vector<std::string>{"showabout", "helprequest", "createtb", "copydata"}));
    ASSERT_EQ(parameters.size(), 8u);
    EXPECT_EQ(parameters[2], 0x10001u);
    EXPECT_EQ(parameters[3], 42u);
}
