// Toolbars of the previous file version opened in the real program: the
// "Convert File?" question, the "Always convert" option behind it, and Save
// As, which writes the version its filter entry stands for.
#include "LintelFixture.h"
#include "driver/ToolbarFiles.h"

#include <commdlg.h>
#include <dlgs.h>

namespace {

constexpr UINT kOpenFile = WM_USER + 102;
constexpr int kSaveCommand = 107;
constexpr int kSaveAsCommand = 108;
constexpr int kAlwaysConvert = 1101;
constexpr uint32_t kOldVersion = 0x11000;
constexpr uint32_t kCurrentVersion = 0x23000;

// The version a toolbar file says it is, and whether its buttons are
// storages (the current layout) rather than streams; 0 when unreadable.
struct StoredLayout {
    uint32_t version = 0;
    bool buttonStorages = false;
};

StoredLayout LayoutOf(const std::string& path)
{
    StoredLayout layout;
    CompoundContent content;
    if (!ReadCompoundFile(path, content))
        return layout;
    const auto version = content.streams.find(L"VERSION");
    if (version == content.streams.end() || version->second.size() < 4)
        return layout;
    const auto& bytes = version->second;
    layout.version = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    layout.buttonStorages = content.storages.count(L"BUTTON000") != 0;
    return layout;
}

FILETIME WriteTime(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

bool Changed(const FILETIME& before, const std::string& path)
{
    const FILETIME now = WriteTime(path);
    return CompareFileTime(&before, &now) != 0;
}

} // namespace

class OldFormatTest : public LintelProgramTest
{
protected:
    void StartProgram()
    {
        m_lintel = &Start();
        m_main = WaitForMainWindow(*m_lintel);
        ASSERT_NE(m_main, nullptr);
    }
    // An old-format toolbar of one space, named as its file.
    std::string OldToolbar(const std::string& name)
    {
        RecordValues values;
        values.name = name;
        const std::string path = m_folder + "\\" + name + ".ltl";
        EXPECT_TRUE(WriteCompoundFile(path, FileWith(values, kOldVersion, 1)));
        return path;
    }
    // Has the running program open a file, as a second start hands it over.
    void Open(const std::string& path)
    {
        const ATOM atom = GlobalAddAtomA(path.c_str());
        ASSERT_NE(atom, 0);
        PostMessageA(m_main, kOpenFile, 0, atom);
    }
    HWND WaitForConvertDialog(DWORD timeoutMs = driver::kDefaultTimeout)
    {
        return driver::WaitForWindow("#32770", "Convert File?", timeoutMs, m_lintel->Id());
    }
    // Answers the question as a user does: the tick first when asked, then
    // a click on the button.
    void Answer(HWND dialog, bool alwaysConvert, int button)
    {
        HWND tick = GetDlgItem(dialog, kAlwaysConvert);
        ASSERT_NE(tick, nullptr);
        EXPECT_EQ(SendMessageA(tick, BM_GETCHECK, 0, 0), BST_UNCHECKED);
        if (alwaysConvert)
            SendMessageA(tick, BM_CLICK, 0, 0);
        HWND pressed = GetDlgItem(dialog, button);
        ASSERT_NE(pressed, nullptr);
        SendMessageA(pressed, BM_CLICK, 0, 0);
        EXPECT_TRUE(driver::WaitForWindowGone(dialog));
    }
    HWND WaitForToolbar(const std::string& name)
    {
        return driver::WaitForWindow("CToolbarWindow", name.c_str(), driver::kDefaultTimeout, m_lintel->Id());
    }
    // The toolbar menu's "Save", and the file's layout once it is written.
    StoredLayout SaveAndRead(HWND toolbar, const std::string& path)
    {
        const FILETIME before = WriteTime(path);
        PostMessageA(toolbar, WM_COMMAND, kSaveCommand, 0);
        if (!driver::WaitUntil([&] { return Changed(before, path) && LayoutOf(path).version != 0; }))
            return StoredLayout();
        return LayoutOf(path);
    }

    driver::Process* m_lintel = nullptr;
    HWND m_main = nullptr;
};

TEST_F(OldFormatTest, NoKeepsTheOldFormatAndYesConverts)
{
    StartProgram();
    const struct {
        const char* name;
        int button;
        uint32_t saved;
        bool buttonStorages;
    } cases[] = {
        {"Kept old", IDNO, kOldVersion, false},
        {"Converted", IDYES, kCurrentVersion, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = OldToolbar(c.name);
        Open(path);
        HWND dialog = WaitForConvertDialog();
        ASSERT_NE(dialog, nullptr);
        // Nothing is converted until the toolbar is saved.
        Answer(dialog, false, c.button);
        HWND toolbar = WaitForToolbar(c.name);
        ASSERT_NE(toolbar, nullptr);
        EXPECT_EQ(LayoutOf(path).version, kOldVersion);

        const StoredLayout saved = SaveAndRead(toolbar, path);
        EXPECT_EQ(saved.version, c.saved);
        EXPECT_EQ(saved.buttonStorages, c.buttonStorages);
    }
    ASSERT_TRUE(Close(*m_lintel));
    std::string convert;
    ASSERT_TRUE(driver::ReadRegistryString(HKEY_CURRENT_USER, kUserKey, "ConvertOldFiles", convert));
    EXPECT_EQ(convert, "No");
}

TEST_F(OldFormatTest, AlwaysConvertAnswersTheQuestionFromThenOn)
{
    StartProgram();
    const std::string first = OldToolbar("First old");
    Open(first);
    HWND dialog = WaitForConvertDialog();
    ASSERT_NE(dialog, nullptr);
    Answer(dialog, true, IDYES);
    ASSERT_NE(WaitForToolbar("First old"), nullptr);

    // The next old toolbar opens without the question, converted.
    const std::string second = OldToolbar("Second old");
    Open(second);
    HWND toolbar = WaitForToolbar("Second old");
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(WaitForConvertDialog(500), nullptr);
    EXPECT_EQ(SaveAndRead(toolbar, second).version, kCurrentVersion);

    ASSERT_TRUE(Close(*m_lintel));
    std::string convert;
    ASSERT_TRUE(driver::ReadRegistryString(HKEY_CURRENT_USER, kUserKey, "ConvertOldFiles", convert));
    EXPECT_EQ(convert, "Yes");

    // The option outlives the run.
    m_processes.clear();
    StartProgram();
    const std::string third = OldToolbar("Third old");
    Open(third);
    toolbar = WaitForToolbar("Third old");
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(WaitForConvertDialog(500), nullptr);
    EXPECT_EQ(SaveAndRead(toolbar, third).version, kCurrentVersion);
}

// The save filter (string 2044) holds one entry, the current format, so the
// dialog offers no later entry of its own.  To reach the rule for a later
// entry (the old format), a second entry is added to the dialog's list as a
// longer filter text would give it, sharing the first entry's pattern.
TEST_F(OldFormatTest, SaveAsWritesTheVersionOfTheChosenFilterEntry)
{
    StartProgram();
    const struct {
        const char* name;
        int entry;
        uint32_t saved;
        bool buttonStorages;
    } cases[] = {
        {"First entry", 0, kCurrentVersion, true},
        {"Later entry", 1, kOldVersion, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A toolbar read from an old file and not converted.
        const std::string old = OldToolbar(c.name);
        Open(old);
        HWND dialog = WaitForConvertDialog();
        ASSERT_NE(dialog, nullptr);
        Answer(dialog, false, IDNO);
        HWND toolbar = WaitForToolbar(c.name);
        ASSERT_NE(toolbar, nullptr);

        PostMessageA(toolbar, WM_COMMAND, kSaveAsCommand, 0);
        const std::string title = std::string("Save ") + c.name + " As";
        HWND save = driver::WaitForWindow("#32770", title.c_str(), driver::kDefaultTimeout, m_lintel->Id());
        ASSERT_NE(save, nullptr);
        HWND filter = GetDlgItem(save, cmb1);
        ASSERT_NE(filter, nullptr);
        ASSERT_EQ(SendMessageA(filter, CB_GETCOUNT, 0, 0), 1);
        EXPECT_EQ(SendMessageA(filter, CB_GETCURSEL, 0, 0), 0);
        // The file name box starts with the toolbar's file (the dialog opens
        // in its folder and shows the name alone).
        HWND name = GetDlgItem(save, cmb13) ? GetDlgItem(save, cmb13) : GetDlgItem(save, edt1);
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(driver::WindowText(name), std::string(c.name) + ".ltl");

        if (c.entry > 0) {
            const LRESULT pattern = SendMessageA(filter, CB_GETITEMDATA, 0, 0);
            const LRESULT added =
                SendMessageA(filter, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Lintel toolbar, old format (*.ltl)"));
            ASSERT_EQ(added, c.entry);
            SendMessageA(filter, CB_SETITEMDATA, added, pattern);
            SendMessageA(filter, CB_SETCURSEL, added, 0);
            SendMessageA(save, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(filter));
        }
        const std::string chosen = m_folder + "\\" + c.name + " saved.ltl";
        DeleteFileA(chosen.c_str());
        SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(chosen.c_str()));
        ASSERT_TRUE(driver::PressButton(save, IDOK));
        ASSERT_TRUE(driver::WaitForWindowGone(save));

        ASSERT_TRUE(driver::WaitUntil([&] { return LayoutOf(chosen).version != 0; }));
        EXPECT_EQ(LayoutOf(chosen).version, c.saved);
        EXPECT_EQ(LayoutOf(chosen).buttonStorages, c.buttonStorages);
        EXPECT_EQ(LayoutOf(old).version, kOldVersion);
        // The toolbar is named after its new file.
        const std::string renamed = std::string(c.name) + " saved";
        EXPECT_TRUE(driver::WaitUntil([&] { return driver::WindowText(toolbar) == renamed; }));
    }
}
