// The companions' hand-over of buttons to the running program: a data object
// with files on the OLE clipboard, then UM_ADDBUTTON with a toolbar's slot or
// name; the buttons arrive on that toolbar.
#include "LintelFixture.h"
#include "driver/ToolbarFiles.h"

#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <fstream>

namespace {

constexpr UINT kAddButton = WM_USER + 191;
constexpr UINT kCreateToolbar = WM_USER + 194;

// A wizard data file naming a horizontal toolbar with the buttons given as
// item pairs.
CompoundContent WizardToolbarData(const std::string& name, uint32_t count = 0, const std::vector<uint8_t>& pairs = {})
{
    RecordBytes data;
    data.Text(name).U32(0).U32(0).U32(1).U32(0).U32(count);
    std::vector<uint8_t> bytes = data.Bytes();
    bytes.insert(bytes.end(), pairs.begin(), pairs.end());
    CompoundContent content;
    content.streams[L"DATA"] = bytes;
    return content;
}

// An item list in the wizard's encoding: a 16-bit length that counts the
// terminator, then the bytes.
void PutIds(std::vector<uint8_t>& bytes, LPCITEMIDLIST list, UINT size)
{
    bytes.push_back(static_cast<uint8_t>(size));
    bytes.push_back(static_cast<uint8_t>(size >> 8));
    const auto* raw = reinterpret_cast<const uint8_t*>(list);
    bytes.insert(bytes.end(), raw, raw + size);
}

LPITEMIDLIST ParsedIds(const std::string& path)
{
    const std::wstring wide(path.begin(), path.end());
    LPITEMIDLIST list = nullptr;
    return SUCCEEDED(SHParseDisplayName(wide.c_str(), nullptr, &list, 0, nullptr)) ? list : nullptr;
}

// A shell object as the wizard names it: its folder's list, then its own item,
// taken while the path exists.  A folder path given stands in for the item's
// own folder.
std::vector<uint8_t> ItemPair(const std::string& path, const std::string& folderPath = "")
{
    std::vector<uint8_t> bytes;
    LPITEMIDLIST full = ParsedIds(path);
    LPITEMIDLIST item = full ? ILClone(ILFindLastID(full)) : nullptr;
    LPITEMIDLIST folder = folderPath.empty() ? full : ParsedIds(folderPath);
    if (folder == full && full)
        ILRemoveLastID(full);
    if (item && folder) {
        PutIds(bytes, folder, ILGetSize(folder));
        PutIds(bytes, item, ILGetSize(item));
    }
    if (folder != full)
        ILFree(folder);
    ILFree(item);
    ILFree(full);
    return bytes;
}

// What a companion puts on the clipboard: the files as a wide file list.
class FileListObject : public IDataObject
{
public:
    explicit FileListObject(std::vector<std::string> files) : m_files(std::move(files)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
            *object = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (QueryGetData(format) != S_OK)
            return DV_E_FORMATETC;
        std::vector<std::wstring> paths;
        for (const std::string& file : m_files)
            paths.emplace_back(file.begin(), file.end());
        HGLOBAL memory = driver::WideFileList(paths);
        if (!memory)
            return E_OUTOFMEMORY;
        *medium = STGMEDIUM{};
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override
    {
        if (!format || format->cfFormat != CF_HDROP || !(format->dwAspect & DVASPECT_CONTENT))
            return DV_E_FORMATETC;
        return (format->tymed & TYMED_HGLOBAL) ? S_OK : S_FALSE;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        if (out)
            out->ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override
    {
        if (direction != DATADIR_GET)
            return E_NOTIMPL;
        FORMATETC hdrop{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return SHCreateStdEnumFmtEtc(1, &hdrop, formats);
    }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    virtual ~FileListObject() = default;
    LONG m_references = 1;
    std::vector<std::string> m_files;
};

// The toolbar's buttons that have windows.
int ButtonWindows(HWND toolbar)
{
    return driver::CountChildWindows(toolbar, "CToolButtonWindow");
}

struct ToolbarWindows {
    std::vector<HWND> windows;
    DWORD processId;
    const char* title;
};

BOOL CALLBACK CollectToolbarWindow(HWND window, LPARAM param)
{
    auto* found = reinterpret_cast<ToolbarWindows*>(param);
    if (driver::WindowProcess(window) == found->processId && driver::ClassName(window) == "CToolbarWindow"
        && driver::WindowText(window) == found->title)
        found->windows.push_back(window);
    return TRUE;
}

} // namespace

class TransferHandOverTest : public LintelProgramTest
{
protected:
    void SetUp() override
    {
        LintelProgramTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        m_lintel = &Start();
        m_main = WaitForMainWindow(*m_lintel);
        ASSERT_NE(m_main, nullptr);
    }
    void TearDown() override
    {
        OleSetClipboard(nullptr);
        OleUninitialize();
        LintelProgramTest::TearDown();
    }

    // Creates a toolbar through the wizard's hand-over and returns its window.
    HWND CreateToolbar(const std::string& name, const std::string& fileName)
    {
        return CreateToolbar(name, fileName, WizardToolbarData(name));
    }
    HWND CreateToolbar(const std::string& name, const std::string& fileName, const CompoundContent& content)
    {
        const std::string data = m_folder + "\\" + fileName;
        EXPECT_TRUE(WriteCompoundFile(data, content));
        const std::vector<HWND> before = ToolbarsNamed(name);
        const ATOM atom = GlobalAddAtomA(data.c_str());
        PostMessageA(m_main, kCreateToolbar, 0, atom);
        HWND created = nullptr;
        driver::WaitUntil([&] {
            for (HWND window : ToolbarsNamed(name)) {
                if (std::find(before.begin(), before.end(), window) == before.end())
                    created = window;
            }
            return created != nullptr;
        });
        return created;
    }

    std::vector<HWND> ToolbarsNamed(const char* title) const
    {
        ToolbarWindows found{{}, m_lintel->Id(), title};
        EnumWindows(CollectToolbarWindow, reinterpret_cast<LPARAM>(&found));
        return found.windows;
    }
    std::vector<HWND> ToolbarsNamed(const std::string& title) const { return ToolbarsNamed(title.c_str()); }

    // Two folders on the clipboard, as the Explorer hands them over; the
    // flush lets the data outlive the object.
    bool PutFoldersOnClipboard()
    {
        const std::string first = m_folder + "\\First";
        const std::string second = m_folder + "\\Second";
        CreateDirectoryA(first.c_str(), nullptr);
        CreateDirectoryA(second.c_str(), nullptr);
        auto* object = new FileListObject({first, second});
        const HRESULT set = OleSetClipboard(object);
        object->Release();
        return SUCCEEDED(set) && SUCCEEDED(OleFlushClipboard());
    }

    driver::Process* m_lintel = nullptr;
    HWND m_main = nullptr;
};

TEST_F(TransferHandOverTest, ClipboardFilesArriveOnTheToolbarNamedBySlotOrName)
{
    HWND lower = CreateToolbar("Tools", "LTLA1.tmp");
    ASSERT_NE(lower, nullptr);
    HWND upper = CreateToolbar("Tools", "LTLA2.tmp");
    ASSERT_NE(upper, nullptr);
    ASSERT_NE(lower, upper);

    // By slot: the second toolbar is in slot 1.
    ASSERT_TRUE(PutFoldersOnClipboard());
    PostMessageA(m_main, kAddButton, 1, 0);
    EXPECT_TRUE(driver::WaitUntil([&] { return ButtonWindows(upper) == 2; }));
    EXPECT_EQ(ButtonWindows(lower), 0);

    // The paste empties the clipboard: the files are added only once.
    EXPECT_TRUE(driver::WaitUntil([] { return !IsClipboardFormatAvailable(CF_HDROP); }, 3000));

    // By name, letter case aside: of two toolbars of that name the lower slot
    // gets the buttons.
    ASSERT_TRUE(PutFoldersOnClipboard());
    const ATOM atom = GlobalAddAtomA("tOOLS");
    ASSERT_NE(atom, 0);
    PostMessageA(m_main, kAddButton, atom, 0);
    EXPECT_TRUE(driver::WaitUntil([&] { return ButtonWindows(lower) == 2; }));
    EXPECT_EQ(ButtonWindows(upper), 2);
    EXPECT_TRUE(driver::NoMessageBoxFor(nullptr, 300, m_lintel->Id()));
}

namespace {

// Button windows left behind by a failed add are never shown.
int HiddenButtonWindows(HWND toolbar)
{
    return driver::CountChildWindows(toolbar, "CToolButtonWindow", true);
}

} // namespace

TEST_F(TransferHandOverTest, FailedAddsLeaveNoButtonWindowBehind)
{
    HWND toolbar = CreateToolbar("Failures", "LTLB1.tmp");
    ASSERT_NE(toolbar, nullptr);

    // A program that is not there makes its button's window before its icon
    // fails; a folder beside it is added.
    const std::string folder = m_folder + "\\Kept";
    CreateDirectoryA(folder.c_str(), nullptr);
    auto* object = new FileListObject({m_folder + "\\missing.exe", folder});
    ASSERT_TRUE(SUCCEEDED(OleSetClipboard(object)));
    object->Release();
    ASSERT_TRUE(SUCCEEDED(OleFlushClipboard()));
    PostMessageA(m_main, kAddButton, 0, 0);
    // Whatever the failure reports is answered.
    EXPECT_TRUE(driver::WaitUntil([] { return !IsClipboardFormatAvailable(CF_HDROP); }, 10000));
    while (HWND box = driver::WaitForMessageBox(nullptr, 1500, m_lintel->Id()))
        driver::PressButton(box, IDOK);
    EXPECT_TRUE(driver::WaitUntil([&] { return ButtonWindows(toolbar) == 1; }, 3000))
        << ButtonWindows(toolbar) << " button windows, " << HiddenButtonWindows(toolbar) << " hidden";
    EXPECT_EQ(HiddenButtonWindows(toolbar), 0);

    // Up to the 256th button everything is added; the 257th is refused with
    // the maximum's message, and leaves no window either.
    std::vector<std::string> folders;
    for (int i = 0; i < 256; ++i) {
        folders.push_back(m_folder + "\\F" + std::to_string(i));
        CreateDirectoryA(folders.back().c_str(), nullptr);
    }
    object = new FileListObject(folders);
    ASSERT_TRUE(SUCCEEDED(OleSetClipboard(object)));
    object->Release();
    ASSERT_TRUE(SUCCEEDED(OleFlushClipboard()));
    PostMessageA(m_main, kAddButton, 0, 0);
    // The toolbar names the box that refuses the 257th.
    HWND box = driver::WaitForMessageBox("Failures", 60000, m_lintel->Id());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(driver::MessageBoxText(box),
              "The maximum number of buttons has been reached. No more buttons can be added to this toolbar.");
    driver::PressButton(box, IDOK);
    // Whatever else the refusal reports is answered too.
    while (HWND more = driver::WaitForMessageBox(nullptr, 1500, m_lintel->Id()))
        driver::PressButton(more, IDOK);
    EXPECT_TRUE(driver::WaitUntil([&] { return ButtonWindows(toolbar) == 256; }, 10000));
    EXPECT_EQ(HiddenButtonWindows(toolbar), 0);
}

namespace {

// The buttons the saved toolbar file holds: one storage each.
int SavedButtons(const std::string& path)
{
    CompoundContent saved;
    return ReadCompoundFile(path, saved) ? static_cast<int>(saved.storages.size()) : -1;
}

} // namespace

TEST_F(TransferHandOverTest, WizardItemThatCannotBeAddedLeavesNoButtonWindowBehind)
{
    // The bad item's folder list names a file: its button has made its window
    // before the folder fails to bind.  A folder before it and a program after
    // it are added.
    const std::string kept = m_folder + "\\Kept";
    CreateDirectoryA(kept.c_str(), nullptr);
    const std::string plain = m_folder + "\\plain.txt";
    {
        std::ofstream file(plain, std::ios::binary | std::ios::trunc);
        file << "x";
    }
    char system[MAX_PATH]{};
    GetSystemDirectoryA(system, sizeof system);
    std::vector<uint8_t> pairs = ItemPair(kept);
    const std::vector<uint8_t> bad = ItemPair(kept, plain);
    const std::vector<uint8_t> program = ItemPair(std::string(system) + "\\notepad.exe");
    ASSERT_FALSE(pairs.empty());
    ASSERT_FALSE(bad.empty());
    ASSERT_FALSE(program.empty());
    pairs.insert(pairs.end(), bad.begin(), bad.end());
    pairs.insert(pairs.end(), program.begin(), program.end());

    HWND toolbar = CreateToolbar("Half good", "LTLD1.tmp", WizardToolbarData("Half good", 3, pairs));
    ASSERT_NE(toolbar, nullptr);
    HWND box = driver::WaitForMessageBox("Lintel", driver::kDefaultTimeout, m_lintel->Id());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(driver::MessageBoxText(box), "One or more buttons could not be successfully added to the new toolbar.");
    driver::PressButton(box, IDOK);
    driver::WaitForWindowGone(box, 3000);
    while (HWND more = driver::WaitForMessageBox(nullptr, 1500, m_lintel->Id()))
        driver::PressButton(more, IDOK);

    // The saved file says what the toolbar holds; each of its buttons has a
    // window, and there is no other.
    const int saved = SavedButtons(m_folder + "\\Half good.ltl");
    EXPECT_EQ(saved, 2);
    EXPECT_EQ(ButtonWindows(toolbar), saved) << HiddenButtonWindows(toolbar) << " hidden";
    EXPECT_EQ(HiddenButtonWindows(toolbar), 0);
}
