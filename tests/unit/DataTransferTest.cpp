// Data transfer: the program's data object as OLE and other programs see it,
// the kind of button a path or shell item becomes, files, shell objects and
// buttons dropped or pasted onto a toolbar, hostile clipboard data, and
// buttons dragged between toolbars.
#include "ButtonTestSupport.h"

#include "common/AnsiPath.h"
#include "common/IdListArray.h"
#include "common/ShellFolder.h"
#include "driver/Driver.h"
#include "toolbars/DataObject.h"
#include "toolbars/DropTarget.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

const char* const kCaption = "Lintel";
const char* const kMessage12 = "Failed to copy button.";
const char* const kMessage14 = "Cannot paste - contents of clipboard not supported by this application.";
const char* const kMessage15 = "Dropping no files onto a toolbar isn't allowed.";
const char* const kMessage16 = "Couldn't add the dropped file to the toolbar.";
const char* const kMessage82 =
    "The button cannot be saved: the name of this file or folder uses letters a toolbar file cannot hold on this "
    "system, and its drive gives it no short name. The button has not been added.";

const wchar_t kGreek[] = L"\x0395\x03bb\x03bb\x03b7\x03bd\x03b9\x03ba\x03ac";   // "Ελληνικά"
const wchar_t kCjk[] = L"\x6587\x4ef6\x5939";                                      // "文件夹"

CLIPFORMAT ButtonFormat() { return static_cast<CLIPFORMAT>(RegisterClipboardFormatA("CExecButton")); }
CLIPFORMAT IdListFormat() { return static_cast<CLIPFORMAT>(RegisterClipboardFormatA(CFSTR_SHELLIDLIST)); }

FORMATETC Format(CLIPFORMAT format, DWORD tymed, DWORD aspect = DVASPECT_CONTENT)
{
    FORMATETC result{};
    result.cfFormat = format;
    result.dwAspect = aspect;
    result.lindex = -1;
    result.tymed = tymed;
    return result;
}

HGLOBAL GlobalFromBytes(const std::vector<BYTE>& bytes)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size());
    if (memory && !bytes.empty()) {
        std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
        GlobalUnlock(memory);
    }
    return memory;
}

std::vector<BYTE> BytesOfGlobal(HGLOBAL memory)
{
    const SIZE_T size = GlobalSize(memory);
    const auto* data = static_cast<const BYTE*>(GlobalLock(memory));
    std::vector<BYTE> bytes(data, data + size);
    GlobalUnlock(memory);
    return bytes;
}

// A DROPFILES block as another program might write it: the header with the
// given list offset, then the raw list bytes.
std::vector<BYTE> HdropBytes(DWORD listOffset, BOOL wide, const std::vector<BYTE>& list)
{
    DROPFILES header{};
    header.pFiles = listOffset;
    header.fWide = wide;
    std::vector<BYTE> bytes(sizeof header + list.size());
    std::memcpy(bytes.data(), &header, sizeof header);
    std::copy(list.begin(), list.end(), bytes.begin() + sizeof header);
    return bytes;
}

// A correct ANSI file list: each name, its zero, and the closing zero.
std::vector<BYTE> FileList(const std::vector<std::string>& names)
{
    std::vector<BYTE> list;
    for (const std::string& name : names) {
        list.insert(list.end(), name.begin(), name.end());
        list.push_back(0);
    }
    list.push_back(0);
    return list;
}

// A wide file list, as Explorer drops it.
std::vector<BYTE> WideFileList(const std::vector<std::wstring>& names)
{
    std::wstring text;
    for (const std::wstring& name : names) {
        text += name;
        text.push_back(L'\0');
    }
    text.push_back(L'\0');
    const auto* raw = reinterpret_cast<const BYTE*>(text.data());
    return std::vector<BYTE>(raw, raw + text.size() * sizeof(wchar_t));
}

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

std::wstring LongPathOf(const CText& path)
{
    const std::wstring wide(path.c_str(), path.c_str() + path.Length());
    wchar_t found[MAX_PATH]{};
    return GetLongPathNameW(wide.c_str(), found, MAX_PATH) ? std::wstring(found) : std::wstring();
}

std::vector<BYTE> Uints(const std::vector<UINT>& values)
{
    std::vector<BYTE> bytes(values.size() * sizeof(UINT));
    std::memcpy(bytes.data(), values.data(), bytes.size());
    return bytes;
}

// A data object of another program: it hands out exactly the bytes (or the
// storage) it was given, whatever they say.  It lives on the test's stack.
class ForeignDataObject : public IDataObject
{
public:
    void Put(CLIPFORMAT format, const std::vector<BYTE>& bytes) { m_globals[format] = bytes; }
    void Put(CLIPFORMAT format, IStorage* storage)
    {
        storage->AddRef();
        m_storages[format].Reset(storage);
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (QueryGetData(format) != S_OK)
            return DV_E_FORMATETC;
        *medium = STGMEDIUM{};
        if (m_globals.count(format->cfFormat)) {
            medium->tymed = TYMED_HGLOBAL;
            medium->hGlobal = GlobalFromBytes(m_globals[format->cfFormat]);
        } else {
            medium->tymed = TYMED_ISTORAGE;
            medium->pstg = m_storages[format->cfFormat].Get();
            medium->pstg->AddRef();
        }
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override
    {
        if (m_globals.count(format->cfFormat))
            return (format->tymed & TYMED_HGLOBAL) ? S_OK : S_FALSE;
        if (m_storages.count(format->cfFormat))
            return (format->tymed & TYMED_ISTORAGE) ? S_OK : S_FALSE;
        return DV_E_FORMATETC;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP DUnadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

private:
    std::map<CLIPFORMAT, std::vector<BYTE>> m_globals;
    std::map<CLIPFORMAT, CComPtr<IStorage>> m_storages;
};

// A button record storage: the "DATA" stream holds the kind, then whatever
// bytes follow.
CComPtr<IStorage> RecordStorage(DWORD kind, const std::vector<BYTE>& rest, bool withData = true)
{
    CComPtr<IStorage> storage;
    EXPECT_TRUE(SUCCEEDED(CreateTemporaryStorage(storage.put())));
    if (withData) {
        CComPtr<IStream> data;
        EXPECT_TRUE(SUCCEEDED(storage->CreateStream(L"DATA", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                                    data.put())));
        data->Write(&kind, sizeof kind, nullptr);
        if (!rest.empty())
            data->Write(rest.data(), static_cast<ULONG>(rest.size()), nullptr);
    }
    return storage;
}

// A counted string as the records store it: 16-bit length, then the bytes.
std::vector<BYTE> Counted(const std::string& text)
{
    std::vector<BYTE> bytes{static_cast<BYTE>(text.size() & 0xff), static_cast<BYTE>(text.size() >> 8)};
    bytes.insert(bytes.end(), text.begin(), text.end());
    return bytes;
}

// Our own data object holding a text, as a companion puts a file on the
// clipboard.
CComPtr<IDataObject> TextObject(const std::string& text)
{
    CComPtr<IDataObject> object(new CDataObject(nullptr));
    FORMATETC format = Format(CF_TEXT, TYMED_HGLOBAL);
    STGMEDIUM medium{};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = GlobalFromBytes(std::vector<BYTE>(text.c_str(), text.c_str() + text.size() + 1));
    EXPECT_EQ(object->SetData(&format, &medium, TRUE), S_OK);
    return object;
}

CComPtr<IDataObject> ButtonObject(IStorage* storage)
{
    CComPtr<IDataObject> object(new CDataObject(nullptr));
    FORMATETC format = Format(ButtonFormat(), TYMED_ISTORAGE);
    STGMEDIUM medium{};
    medium.tymed = TYMED_ISTORAGE;
    medium.pstg = storage;
    EXPECT_EQ(object->SetData(&format, &medium, FALSE), S_OK);
    return object;
}

// The path the single item of an ID list array names.
std::string PathOfIdListArray(HGLOBAL memory)
{
    CIdListArray array(memory);
    CItemId folder(static_cast<LPCITEMIDLIST>(nullptr));
    CItemId item(static_cast<LPCITEMIDLIST>(nullptr));
    if (array.Count() != 1 || !array.GetItem(0, folder) || !array.GetItem(1, item) || !folder.Append(item))
        return "<bad array>";
    char path[MAX_PATH]{};
    return SHGetPathFromIDListA(folder.List(), path) ? path : "<no path>";
}

bool MakeShortcut(const std::string& shortcut, const std::string& target)
{
    CComPtr<IShellLinkA> link;
    CComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put_void()))
        || FAILED(link->SetPath(target.c_str())) || FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())))
        return false;
    std::wstring wide(shortcut.begin(), shortcut.end());
    return SUCCEEDED(file->Save(wide.c_str(), TRUE));
}

std::string CopyConsoleProgram(const std::string& folder)
{
    const std::string target = folder + "\\console.exe";
    return CopyFileA((driver::ProgramFolder() + "\\console_program.exe").c_str(), target.c_str(), FALSE) ? target : "";
}

} // namespace

// ---------------------------------------------------------------- the data object against OLE

class DataObjectTest : public ButtonTest
{
};

TEST_F(DataObjectTest, TextTravelsThroughTheOleClipboardAsIdListAndFileList)
{
    const std::string file = m_folder + "\\notes.txt";
    driver::WriteTextFile(file, "notes");
    ASSERT_EQ(OleSetClipboard(TextObject(file).Get()), S_OK);
    // Flushed, the data no longer depends on our object.
    ASSERT_EQ(OleFlushClipboard(), S_OK);
    CComPtr<IDataObject> clipboard;
    ASSERT_EQ(OleGetClipboard(clipboard.put()), S_OK);

    FORMATETC idList = Format(IdListFormat(), TYMED_HGLOBAL);
    FORMATETC hdrop = Format(CF_HDROP, TYMED_HGLOBAL);
    FORMATETC button = Format(ButtonFormat(), TYMED_ISTORAGE);
    EXPECT_EQ(clipboard->QueryGetData(&idList), S_OK);
    EXPECT_EQ(clipboard->QueryGetData(&hdrop), S_OK);
    EXPECT_NE(clipboard->QueryGetData(&button), S_OK) << "a text holds no button";

    STGMEDIUM medium{};
    ASSERT_EQ(clipboard->GetData(&hdrop, &medium), S_OK);
    ASSERT_EQ(medium.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
    const std::vector<BYTE> bytes = BytesOfGlobal(medium.hGlobal);
    DROPFILES header{};
    ASSERT_GE(bytes.size(), sizeof header);
    std::memcpy(&header, bytes.data(), sizeof header);
    EXPECT_EQ(header.pFiles, 20u);
    EXPECT_TRUE(header.fWide) << "the NT family takes wide names";
    std::vector<std::string> files;
    EXPECT_TRUE(ReadDropFileList(medium.hGlobal, files));
    EXPECT_EQ(files, std::vector<std::string>{file});
    ReleaseStgMedium(&medium);

    ASSERT_EQ(clipboard->GetData(&idList, &medium), S_OK);
    EXPECT_EQ(PathOfIdListArray(medium.hGlobal), file);
    ReleaseStgMedium(&medium);
    clipboard.Reset();
    OleSetClipboard(nullptr);
}

TEST_F(DataObjectTest, ButtonTravelsAsAStorageAndNamesItsFile)
{
    const std::string file = m_folder + "\\tool.exe";
    CComPtr<IStorage> record = RecordStorage(kKindProgram, Counted(file));
    ASSERT_EQ(OleSetClipboard(ButtonObject(record.Get()).Get()), S_OK);
    ASSERT_EQ(OleFlushClipboard(), S_OK);
    CComPtr<IDataObject> clipboard;
    ASSERT_EQ(OleGetClipboard(clipboard.put()), S_OK);
    FORMATETC button = Format(ButtonFormat(), TYMED_ISTORAGE);
    STGMEDIUM medium{};
    ASSERT_EQ(clipboard->GetData(&button, &medium), S_OK);
    ASSERT_EQ(medium.tymed, static_cast<DWORD>(TYMED_ISTORAGE));
    CText got;
    EXPECT_TRUE(GetFileOfButtonStorage(medium.pstg, got));
    EXPECT_STREQ(got.c_str(), file.c_str());
    ReleaseStgMedium(&medium);
    clipboard.Reset();
    OleSetClipboard(nullptr);

    // The object itself gives each caller a storage of its own, and the
    // file behind the button as a file list.
    CComPtr<IDataObject> object = ButtonObject(record.Get());
    STGMEDIUM first{}, second{};
    ASSERT_EQ(object->GetData(&button, &first), S_OK);
    ASSERT_EQ(object->GetData(&button, &second), S_OK);
    EXPECT_NE(first.pstg, second.pstg);
    EXPECT_EQ(first.pUnkForRelease, nullptr);
    ReleaseStgMedium(&first);
    ReleaseStgMedium(&second);
    FORMATETC hdrop = Format(CF_HDROP, TYMED_HGLOBAL);
    ASSERT_EQ(object->GetData(&hdrop, &medium), S_OK);
    std::vector<std::string> files;
    EXPECT_TRUE(ReadDropFileList(medium.hGlobal, files));
    EXPECT_EQ(files, std::vector<std::string>{file});
    ReleaseStgMedium(&medium);
}

TEST_F(DataObjectTest, QueryGetDataAndGetDataAnswerByFormatMediumAndAspect)
{
    CComPtr<IDataObject> text = TextObject(m_folder);
    CComPtr<IDataObject> button = ButtonObject(RecordStorage(kKindSpace, {}).Get());
    struct Case {
        IDataObject* object;
        CLIPFORMAT format;
        DWORD tymed;
        DWORD aspect;
        HRESULT query;
        HRESULT get;   // S_OK: some medium is handed out
    };
    const Case cases[] = {
        {text.Get(), IdListFormat(), TYMED_HGLOBAL, DVASPECT_CONTENT, S_OK, S_OK},
        {text.Get(), CF_HDROP, TYMED_HGLOBAL, DVASPECT_CONTENT, S_OK, S_OK},
        {text.Get(), CF_HDROP, TYMED_ISTREAM, DVASPECT_CONTENT, S_FALSE, DV_E_TYMED},
        {text.Get(), IdListFormat(), TYMED_ISTORAGE, DVASPECT_CONTENT, S_FALSE, DV_E_TYMED},
        {text.Get(), ButtonFormat(), TYMED_ISTORAGE, DVASPECT_CONTENT, DV_E_FORMATETC, DV_E_FORMATETC},
        {text.Get(), CF_HDROP, TYMED_HGLOBAL, DVASPECT_ICON, DV_E_FORMATETC, DV_E_FORMATETC},
        {text.Get(), CF_TEXT, TYMED_HGLOBAL, DVASPECT_CONTENT, DV_E_FORMATETC, DV_E_FORMATETC},
        {button.Get(), ButtonFormat(), TYMED_ISTORAGE, DVASPECT_CONTENT, S_OK, S_OK},
        {button.Get(), ButtonFormat(), TYMED_HGLOBAL, DVASPECT_CONTENT, S_FALSE, DV_E_TYMED},
        // A space has no file: nothing to build the shell formats from.
        {button.Get(), CF_HDROP, TYMED_HGLOBAL, DVASPECT_CONTENT, S_OK, E_UNEXPECTED},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        FORMATETC format = Format(cases[i].format, cases[i].tymed, cases[i].aspect);
        EXPECT_EQ(cases[i].object->QueryGetData(&format), cases[i].query);
        STGMEDIUM medium{};
        EXPECT_EQ(cases[i].object->GetData(&format, &medium), cases[i].get);
        if (cases[i].get == S_OK)
            ReleaseStgMedium(&medium);
    }

    FORMATETC canonical;
    std::memset(&canonical, 0xcc, sizeof canonical);
    FORMATETC asked = Format(CF_HDROP, TYMED_HGLOBAL);
    EXPECT_EQ(text->GetCanonicalFormatEtc(&asked, &canonical), DATA_S_SAMEFORMATETC);
    EXPECT_EQ(canonical.ptd, nullptr);
    EXPECT_EQ(text->GetCanonicalFormatEtc(&asked, nullptr), E_INVALIDARG);
    STGMEDIUM medium{};
    EXPECT_EQ(text->GetDataHere(&asked, &medium), E_NOTIMPL);
    DWORD connection = 0;
    EXPECT_EQ(text->DAdvise(&asked, 0, nullptr, &connection), E_NOTIMPL);
    EXPECT_EQ(text->DUnadvise(0), E_NOTIMPL);
    IEnumSTATDATA* advises = nullptr;
    EXPECT_EQ(text->EnumDAdvise(&advises), E_NOTIMPL);
}

TEST_F(DataObjectTest, SetDataTakesTextAndStoragesOnly)
{
    CComPtr<IDataObject> object(new CDataObject(nullptr));
    // Text that runs to the end of its memory without a terminator ends there.
    FORMATETC text = Format(CF_TEXT, TYMED_HGLOBAL);
    STGMEDIUM medium{};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = GlobalFromBytes({'C', ':', '\\', 'x'});
    ASSERT_EQ(object->SetData(&text, &medium, FALSE), S_OK);
    FORMATETC hdrop = Format(CF_HDROP, TYMED_HGLOBAL);
    STGMEDIUM list{};
    ASSERT_EQ(object->GetData(&hdrop, &list), S_OK);
    std::vector<std::string> files;
    EXPECT_TRUE(ReadDropFileList(list.hGlobal, files));
    EXPECT_EQ(files, std::vector<std::string>{"C:\\x"});
    ReleaseStgMedium(&list);

    // Wrong media and foreign formats are refused; the text stays.
    STGMEDIUM stream{};
    stream.tymed = TYMED_ISTREAM;
    FORMATETC textAsStream = Format(CF_TEXT, TYMED_ISTREAM);
    EXPECT_EQ(object->SetData(&textAsStream, &stream, FALSE), DV_E_TYMED);
    FORMATETC buttonFormat = Format(ButtonFormat(), TYMED_ISTORAGE);
    EXPECT_EQ(object->SetData(&buttonFormat, &medium, FALSE), DV_E_TYMED);
    FORMATETC bitmap = Format(CF_BITMAP, TYMED_HGLOBAL);
    EXPECT_EQ(object->SetData(&bitmap, &medium, FALSE), DV_E_FORMATETC);
    EXPECT_EQ(object->QueryGetData(&buttonFormat), DV_E_FORMATETC);
    ReleaseStgMedium(&medium);
}

TEST_F(DataObjectTest, EnumeratorWalksTheOfferedFormats)
{
    CComPtr<IDataObject> text = TextObject(m_folder);
    CComPtr<IEnumFORMATETC> formats;
    ASSERT_EQ(text->EnumFormatEtc(DATADIR_GET, formats.put()), S_OK);
    FORMATETC got[4];
    std::memset(got, 0xcc, sizeof got);
    ULONG fetched = 99;

    // One entry may be asked for without a count; more may not.
    EXPECT_EQ(formats->Next(1, got, nullptr), S_OK);
    EXPECT_EQ(got[0].cfFormat, IdListFormat());
    EXPECT_EQ(got[0].tymed, static_cast<DWORD>(TYMED_HGLOBAL));
    EXPECT_EQ(got[0].dwAspect, static_cast<DWORD>(DVASPECT_CONTENT));
    EXPECT_EQ(got[0].lindex, -1);
    EXPECT_EQ(got[0].ptd, nullptr);
    EXPECT_EQ(formats->Next(2, got, nullptr), E_POINTER);

    CComPtr<IEnumFORMATETC> clone;
    ASSERT_EQ(formats->Clone(clone.put()), S_OK);
    EXPECT_EQ(formats->Next(4, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);
    EXPECT_EQ(got[0].cfFormat, CF_HDROP);
    EXPECT_EQ(clone->Next(1, got, &fetched), S_OK) << "the clone keeps its own position";
    EXPECT_EQ(got[0].cfFormat, CF_HDROP);

    EXPECT_EQ(formats->Reset(), S_OK);
    EXPECT_EQ(formats->Skip(1), S_OK);
    EXPECT_EQ(formats->Skip(5), S_FALSE);
    EXPECT_EQ(formats->Next(1, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(formats->Reset(), S_OK);
    EXPECT_EQ(formats->Next(2, got, &fetched), S_OK);
    EXPECT_EQ(fetched, 2u);

    // A button is offered in its own format only.
    CComPtr<IDataObject> button = ButtonObject(RecordStorage(kKindSpace, {}).Get());
    ASSERT_EQ(button->EnumFormatEtc(DATADIR_SET, formats.put()), S_OK);
    EXPECT_EQ(formats->Next(4, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(got[0].cfFormat, ButtonFormat());
    EXPECT_EQ(got[0].tymed, static_cast<DWORD>(TYMED_ISTORAGE));

    IEnumFORMATETC* none = reinterpret_cast<IEnumFORMATETC*>(1);
    EXPECT_EQ(text->EnumFormatEtc(3, &none), E_NOTIMPL);
    EXPECT_EQ(none, nullptr);
}

// ---------------------------------------------------------------- kinds of buttons

TEST_F(DataObjectTest, ButtonTypeComesFromTheExtensionThenFromTheFileItself)
{
    const std::string dottedFolder = m_folder + "\\release.v2";
    CreateDirectoryA(dottedFolder.c_str(), nullptr);
    driver::WriteTextFile(m_folder + "\\readme", "text");
    struct Case {
        std::string path;
        int kind;
    };
    const Case cases[] = {
        {"C:\\x\\run.BAT", kKindProgram}, {"C:\\x\\a.Com", kKindProgram}, {"C:\\x\\tool.exe", kKindProgram},
        {"C:\\x\\link.LNK", kKindShortcut}, {"C:\\x\\page.htm", kKindUrl}, {"C:\\x\\page.HTML", kKindUrl},
        {"C:\\x\\bar.ltl", kKindGroup}, {"C:\\x\\bar.QLD", kKindGroup},
        // A directory is a folder by its attributes, whatever the shell
        // calls its type (Wine: "Folder") and whatever dots its name has.
        {m_folder, kKindFolder}, {dottedFolder, kKindFolder},
        {m_folder + "\\readme", kKindProgram}, {"C:\\no.such\\thing", kKindProgram},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].path);
        EXPECT_EQ(CToolbar::GetButtonType(cases[i].path.c_str()), cases[i].kind);
    }

    // Shell items: folders by their attributes, files by their path, other
    // objects as programs.
    CShellFolder desktop;
    CItemId folderItem, fileItem;
    ASSERT_TRUE(desktop.ParseDisplayName(CText(m_folder.c_str()), folderItem));
    ASSERT_TRUE(desktop.ParseDisplayName(CText((m_folder + "\\readme").c_str()), fileItem));
    CItemId folderLast(static_cast<LPCITEMIDLIST>(nullptr)), fileLast(static_cast<LPCITEMIDLIST>(nullptr));
    folderItem.Split(&folderLast);
    fileItem.Split(&fileLast);
    EXPECT_EQ(CToolbar::GetButtonType(folderItem, folderLast), kKindFolder);
    EXPECT_EQ(CToolbar::GetButtonType(fileItem, fileLast), kKindProgram);
    EXPECT_EQ(CToolbar::GetButtonType(fileItem, CItemId()), kKindNone);
}

// ---------------------------------------------------------------- drops and pastes of files

class FileDropTest : public ButtonTest
{
protected:
    // Drops a file list made of the names onto the toolbar's free space.
    BOOL DropFiles(const std::vector<std::string>& names)
    {
        ForeignDataObject object;
        object.Put(CF_HDROP, HdropBytes(sizeof(DROPFILES), FALSE, FileList(names)));
        return m_toolbar->AddButtonFromDataObject(&object, nullptr, FALSE);
    }
    const CFileButton* FileButtonAt(int index) const { return dynamic_cast<const CFileButton*>(m_toolbar->Button(index)); }
};

TEST_F(FileDropTest, ThreeFilesAppendThreeButtonsInListOrderByKind)
{
    AddSpace(m_toolbar);
    const std::string program = button_test::CopyEchoProgram(m_folder, "tool.exe");
    const std::string group = m_folder + "\\other.ltl";
    ASSERT_TRUE(MakeToolbar("Other")->WriteToFile(group.c_str(), kVersionCurrent));
    ASSERT_TRUE(DropFiles({program, m_folder, group}));
    ASSERT_EQ(m_toolbar->Count(), 4);
    const struct {
        ButtonKind kind;
        std::string file;
    } expected[] = {{kKindProgram, program}, {kKindFolder, m_folder}, {kKindGroup, group}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const CFileButton* button = FileButtonAt(i + 1);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->Kind(), expected[i].kind);
        EXPECT_EQ(CText(button->FileName()).Compare(expected[i].file.c_str()), 0) << button->FileName().c_str();
    }
    EXPECT_TRUE(m_toolbar->IsDirty());
}

TEST_F(FileDropTest, ShellObjectsBecomeButtonsOfTheirKind)
{
    const std::string program = button_test::CopyEchoProgram(m_folder, "tool.exe");
    CShellFolder desktop;
    struct Case {
        CItemId full;
        ButtonKind kind;
        std::string file;   // empty: an object without a path
    };
    Case cases[] = {
        {CItemId(), kKindFolder, m_folder},
        {CItemId(), kKindProgram, program},
        {CItemId(CSIDL_DRIVES), kKindFolder, ""},
    };
    ASSERT_TRUE(desktop.ParseDisplayName(CText(m_folder.c_str()), cases[0].full));
    ASSERT_TRUE(desktop.ParseDisplayName(CText(program.c_str()), cases[1].full));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        CItemId item(static_cast<LPCITEMIDLIST>(nullptr));
        cases[i].full.Split(&item);
        HGLOBAL array = CreateIdListObject(cases[i].full, item);
        ASSERT_NE(array, nullptr);
        ForeignDataObject object;
        object.Put(IdListFormat(), BytesOfGlobal(array));
        GlobalFree(array);
        ASSERT_TRUE(m_toolbar->AddButtonFromDataObject(&object, nullptr, FALSE));
        const CFileButton* button = FileButtonAt(m_toolbar->Count() - 1);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->Kind(), cases[i].kind);
        if (!cases[i].file.empty()) {
            EXPECT_EQ(button->FileName().Compare(cases[i].file.c_str()), 0) << button->FileName().c_str();
        }
    }
    EXPECT_EQ(m_toolbar->Count(), 3);
}

TEST_F(FileDropTest, ShortcutToAConsoleProgramStaysAShortcut)
{
    const std::string console = CopyConsoleProgram(m_folder);
    const std::string window = button_test::CopyEchoProgram(m_folder, "window.exe");
    ASSERT_FALSE(console.empty());
    const std::string consoleLink = m_folder + "\\console.lnk";
    const std::string windowLink = m_folder + "\\window.lnk";
    ASSERT_TRUE(MakeShortcut(consoleLink, console));
    ASSERT_TRUE(MakeShortcut(windowLink, window));
    EXPECT_EQ(CToolbar::GetShortcutType(consoleLink.c_str()), 1);
    EXPECT_EQ(CToolbar::GetShortcutType(windowLink.c_str()), 2);
    EXPECT_EQ(CToolbar::GetShortcutType((m_folder + "\\missing.lnk").c_str()), 2);

    m_set->ChangeOptions([](ToolbarSetOptions& options) { options.shortcuts = 0; });   // the default for each file
    ASSERT_TRUE(DropFiles({consoleLink, windowLink}));
    ASSERT_EQ(m_toolbar->Count(), 2);
    ASSERT_NE(FileButtonAt(0), nullptr);
    ASSERT_NE(FileButtonAt(1), nullptr);
    EXPECT_EQ(FileButtonAt(0)->Kind(), kKindProgram);
    EXPECT_EQ(CText(FileButtonAt(0)->FileName()).Compare(consoleLink.c_str()), 0) << FileButtonAt(0)->FileName().c_str();
    EXPECT_EQ(FileButtonAt(1)->Kind(), kKindProgram);
    EXPECT_EQ(CText(FileButtonAt(1)->FileName()).Compare(window.c_str()), 0) << FileButtonAt(1)->FileName().c_str();

    // "Never resolve" keeps even the program's shortcut.
    m_set->ChangeOptions([](ToolbarSetOptions& options) { options.shortcuts = 1; });
    ASSERT_TRUE(DropFiles({windowLink}));
    ASSERT_EQ(m_toolbar->Count(), 3);
    EXPECT_EQ(CText(FileButtonAt(2)->FileName()).Compare(windowLink.c_str()), 0);
}

TEST_F(FileDropTest, RightButtonDropOfAShortcutAsksWithTheMenu)
{
    const std::string window = button_test::CopyEchoProgram(m_folder, "window.exe");
    const std::string link = m_folder + "\\window.lnk";
    ASSERT_TRUE(MakeShortcut(link, window));
    m_set->ChangeOptions([](ToolbarSetOptions& options) { options.shortcuts = 2; });   // "always resolve" does not stop the question
    struct Case {
        std::vector<UINT> keys;   // typed into the menu
        std::string file;         // what the new button starts
    };
    const Case cases[] = {
        {{VK_ESCAPE}, window},                  // dismissed: the shortcut's own choice
        {{VK_DOWN, VK_DOWN, VK_RETURN}, link},  // "Add shortcut to toolbar"
        {{VK_DOWN, VK_RETURN}, window},         // "Add shortcut's target to toolbar"
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        UINT defaultItem = 0;
        bool shown = false;
        std::thread answer([&] {
            HWND menuWindow = nullptr;
            driver::WaitUntil(
                [&] {
                    menuWindow = FindWindowA("#32768", nullptr);
                    return menuWindow && IsWindowVisible(menuWindow)
                           && driver::WindowProcess(menuWindow) == GetCurrentProcessId();
                },
                5000);
            if (!menuWindow)
                return;
            shown = true;
            auto menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
            defaultItem = GetMenuDefaultItem(menu, FALSE, 0);
            for (UINT key : cases[i].keys)
                PostMessageA(m_toolbar->Handle(), WM_KEYDOWN, key, 0);
        });
        ForeignDataObject object;
        object.Put(CF_HDROP, HdropBytes(sizeof(DROPFILES), FALSE, FileList({link})));
        const BOOL added = m_toolbar->AddButtonFromDataObject(&object, nullptr, TRUE);
        answer.join();
        EXPECT_TRUE(shown);
        EXPECT_EQ(defaultItem, 54u) << "a program's shortcut is resolved by default";
        ASSERT_TRUE(added);
        const CFileButton* button = FileButtonAt(m_toolbar->Count() - 1);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->FileName().Compare(cases[i].file.c_str()), 0) << button->FileName().c_str();
    }
}

TEST_F(FileDropTest, EmptyListAndUnaddableFilesAreReported)
{
    EXPECT_EQ(AnswerBoxDuring([&] { EXPECT_FALSE(DropFiles({})); }, kCaption, IDOK), kMessage15);
    // Each file that makes no button is reported, and the others still come.
    EXPECT_EQ(AnswerBoxDuring([&] { EXPECT_TRUE(DropFiles({m_folder + "\\notes.lintnone", m_folder})); }, kCaption, IDOK),
              kMessage16);
    ASSERT_EQ(m_toolbar->Count(), 1);
    EXPECT_EQ(m_toolbar->Button(0)->Kind(), kKindFolder);
}

TEST_F(FileDropTest, NamesTheCodePageLacksAreKeptByTheirShortPaths)
{
    CText probe;
    if (ConvertsExactly(kGreek, probe) || ConvertsExactly(kCjk, probe))
        GTEST_SKIP() << "code page " << GetACP() << " holds the names";
    // A copy of the echo program with a Greek name, and a folder with a CJK
    // name.
    const std::wstring script = Wide(m_folder) + L"\\" + kGreek + L".exe";
    ASSERT_TRUE(CopyFileW(Wide(driver::ProgramFolder() + "\\echo_args.exe").c_str(), script.c_str(), FALSE));
    const std::wstring folder = Wide(m_folder) + L"\\" + kCjk;
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));

    ForeignDataObject object;
    object.Put(CF_HDROP, HdropBytes(sizeof(DROPFILES), TRUE, WideFileList({script, folder})));
    ASSERT_TRUE(m_toolbar->AddButtonFromDataObject(&object, nullptr, FALSE));
    ASSERT_EQ(m_toolbar->Count(), 2);

    // Saved and read back: the file holds the short paths, which still name
    // the targets, and descriptions without a question mark.
    const std::string saved = m_folder + "\\names.ltl";
    ASSERT_TRUE(m_toolbar->WriteToFile(saved.c_str(), 0));
    auto back = std::make_unique<CToolbar>(m_app.get(), nullptr, nullptr);
    ASSERT_TRUE(back->Open(saved.c_str(), 2));
    ASSERT_EQ(back->Count(), 2);
    const struct {
        std::wstring target;
        ButtonKind kind;
    } wants[] = {{script, kKindProgram}, {folder, kKindFolder}};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const auto* button = dynamic_cast<const CFileButton*>(back->Button(i));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->Kind(), wants[i].kind);
        EXPECT_EQ(std::strchr(button->FileName().c_str(), '?'), nullptr) << button->FileName().c_str();
        EXPECT_EQ(lstrcmpiW(LongPathOf(button->FileName()).c_str(), wants[i].target.c_str()), 0)
            << button->FileName().c_str();
        EXPECT_FALSE(button->Description().IsEmpty());
        EXPECT_EQ(std::strchr(button->Description().c_str(), '?'), nullptr) << button->Description().c_str();
        EXPECT_FALSE(button->ItemId().IsDesktop()) << "the record keeps the target's item ids";
    }

    // The button read back hands its short path to the shell, which starts it.
    auto* program = dynamic_cast<CExecButton*>(back->Button(0));
    ASSERT_NE(program, nullptr);
    EXPECT_TRUE(program->Execute());
}

TEST_F(FileDropTest, NameWithoutAnyStorableFormIsRefusedBeforeAdding)
{
    CText probe;
    if (ConvertsExactly(kGreek, probe))
        GTEST_SKIP() << "code page " << GetACP() << " holds Greek letters";
    // No short name exists for a name that is not on the disk, as on a
    // volume with short names turned off; the other file still comes.
    const std::wstring missing = Wide(m_folder) + L"\\" + kGreek + L".txt";
    ForeignDataObject object;
    object.Put(CF_HDROP, HdropBytes(sizeof(DROPFILES), TRUE, WideFileList({missing, Wide(m_folder)})));
    BOOL added = FALSE;
    EXPECT_EQ(AnswerBoxDuring([&] { added = m_toolbar->AddButtonFromDataObject(&object, nullptr, FALSE); }, kCaption,
                              IDOK),
              kMessage82);
    EXPECT_TRUE(added);
    ASSERT_EQ(m_toolbar->Count(), 1);
    EXPECT_EQ(m_toolbar->Button(0)->Kind(), kKindFolder);

    // Alone, nothing is added at all.
    ForeignDataObject alone;
    alone.Put(CF_HDROP, HdropBytes(sizeof(DROPFILES), TRUE, WideFileList({missing})));
    EXPECT_EQ(AnswerBoxDuring([&] { added = m_toolbar->AddButtonFromDataObject(&alone, nullptr, FALSE); }, kCaption,
                              IDOK),
              kMessage82);
    EXPECT_FALSE(added);
    EXPECT_EQ(m_toolbar->Count(), 1);
}

TEST_F(FileDropTest, HostileDataAddsNothing)
{
    const std::vector<BYTE> goodList = FileList({m_folder});
    const std::vector<BYTE> unterminated(m_folder.begin(), m_folder.end());
    CComPtr<IStorage> lyingKind = RecordStorage(kKindUrl, {0x01});
    CComPtr<IStorage> unknownKind = RecordStorage(77, Counted(m_folder));
    CComPtr<IStorage> shortcutKind = RecordStorage(kKindShortcut, Counted(m_folder));
    CComPtr<IStorage> noData = RecordStorage(kKindProgram, {}, false);
    CComPtr<IStorage> truncated = RecordStorage(kKindProgram, {0xff, 0x7f, 'C'});
    struct Case {
        const char* what;
        CLIPFORMAT format;
        std::vector<BYTE> bytes;
        IStorage* storage;
    };
    const Case cases[] = {
        {"list offset past the end", CF_HDROP, HdropBytes(0x7fffffff, FALSE, goodList), nullptr},
        {"list offset inside the header", CF_HDROP, HdropBytes(4, FALSE, goodList), nullptr},
        {"name without terminator", CF_HDROP, HdropBytes(sizeof(DROPFILES), FALSE, unterminated), nullptr},
        {"wide list cut in a character", CF_HDROP, HdropBytes(sizeof(DROPFILES), TRUE, {'C', 0, ':'}), nullptr},
        {"shorter than its header", CF_HDROP, {1, 2, 3}, nullptr},
        {"item count beyond the memory", IdListFormat(), Uints({0x40000000, 12, 14}), nullptr},
        {"folder offset beyond the memory", IdListFormat(), Uints({1, 0x10000, 12, 0}), nullptr},
        {"item offset beyond the memory", IdListFormat(), Uints({1, 12, 0x7ffffff0, 0}), nullptr},
        {"item list running off the end", IdListFormat(), Uints({1, 12, 14, 0xffff0000}), nullptr},
        {"kind that is not a button", ButtonFormat(), {}, unknownKind.Get()},
        {"kind of a request only", ButtonFormat(), {}, shortcutKind.Get()},
        {"record of another kind", ButtonFormat(), {}, lyingKind.Get()},
        {"record cut short", ButtonFormat(), {}, truncated.Get()},
        {"storage without a record", ButtonFormat(), {}, noData.Get()},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.what);
        ForeignDataObject object;
        if (entry.storage)
            object.Put(entry.format, entry.storage);
        else
            object.Put(entry.format, entry.bytes);
        BOOL added = TRUE;
        const std::string text = AnswerBoxDuring(
            [&] { added = m_toolbar->AddButtonFromDataObject(&object, nullptr, FALSE); }, kCaption, IDOK);
        EXPECT_FALSE(added);
        EXPECT_TRUE(text == kMessage14 || text == kMessage16) << text;
        EXPECT_EQ(m_toolbar->Count(), 0);
    }
}

// ---------------------------------------------------------------- clipboard

class ClipboardTest : public ButtonTest
{
};

TEST_F(ClipboardTest, CopiedButtonPastesOnceAndSpacesDoNotCopy)
{
    CToolButton* space = AddSpace(m_toolbar);
    EXPECT_EQ(AnswerBoxDuring([&] { EXPECT_FALSE(m_toolbar->Copy(space)); }, kCaption, IDOK), kMessage12);

    const std::string program = button_test::CopyEchoProgram(m_folder, "tool.exe");
    CExecButton* button = AddProgramButton(program);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(m_toolbar->Copy(button));
    EXPECT_TRUE(m_toolbar->ClipboardHasUsableData());

    // Pasted behind the space: before the original.
    ASSERT_TRUE(m_toolbar->Paste(space, TRUE));
    ASSERT_EQ(m_toolbar->Count(), 3);
    auto* pasted = dynamic_cast<CExecButton*>(m_toolbar->Button(1));
    ASSERT_NE(pasted, nullptr);
    EXPECT_STREQ(pasted->FileName().c_str(), program.c_str());
    EXPECT_STREQ(pasted->Description().c_str(), button->Description().c_str());

    const std::string second = AnswerBoxDuring([&] { EXPECT_FALSE(m_toolbar->Paste(nullptr, TRUE)); }, kCaption, IDOK);
    EXPECT_TRUE(second == kMessage14 || second == "Failed to retrieve contents of clipboard.") << second;
    EXPECT_EQ(m_toolbar->Count(), 3);

    // Cut: copied, then gone from the toolbar.
    ASSERT_TRUE(m_toolbar->Cut(pasted));
    EXPECT_EQ(m_toolbar->Count(), 2);
    ASSERT_TRUE(m_toolbar->Paste(nullptr, TRUE));
    ASSERT_EQ(m_toolbar->Count(), 3);
    EXPECT_EQ(m_toolbar->Button(2)->Kind(), kKindProgram);
}

// ---------------------------------------------------------------- dragging between toolbars

class DragBetweenToolbarsTest : public ButtonTest
{
protected:
    void SetUp() override
    {
        ButtonTest::SetUp();
        m_target = MakeToolbar("Target");
        SetWindowPos(m_target->Handle(), HWND_TOP, 400, 100, 300, 200, SWP_NOACTIVATE | SWP_SHOWWINDOW);
        m_program = button_test::CopyEchoProgram(m_folder, "tool.exe");
        m_button = AddProgramButton(m_program);
        ASSERT_NE(m_button, nullptr);
    }

    // The dragged button's data object, as DragStart makes it.
    CComPtr<IDataObject> DraggedButton()
    {
        CComPtr<IStorage> storage;
        EXPECT_TRUE(SUCCEEDED(CreateTemporaryStorage(storage.put())));
        EXPECT_TRUE(m_button->Write2(storage.Get(), kVersionCurrent));
        return ButtonObject(storage.Get());
    }

    // Free space of the target toolbar, in screen coordinates.
    POINTL FreeSpace() const
    {
        RECT client{};
        GetClientRect(m_target->Handle(), &client);
        POINT point{client.right - 3, client.bottom - 3};
        ClientToScreen(m_target->Handle(), &point);
        return POINTL{point.x, point.y};
    }

    CToolbar* m_target = nullptr;
    std::string m_program;
    CExecButton* m_button = nullptr;
};

TEST_F(DragBetweenToolbarsTest, CtrlCopiesPlainDragMovesProtectedSourceCopies)
{
    // OLE's DoDragDrop cannot be driven without a mouse, so the target
    // toolbar's drop target is driven as OLE drives it; the allowed effects
    // are those DragStart offers.
    const DWORD all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    const DWORD removeProtected = DROPEFFECT_COPY | DROPEFFECT_LINK;
    struct Case {
        DWORD keys;
        DWORD allowed;
        DWORD effect;
    };
    const Case cases[] = {
        {MK_LBUTTON | MK_CONTROL, all, DROPEFFECT_COPY},
        {MK_LBUTTON, all, DROPEFFECT_MOVE},
        {MK_LBUTTON, removeProtected, DROPEFFECT_COPY},
    };
    CDropTarget* target = new CDropTarget(m_target);
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        CComPtr<IDataObject> data = DraggedButton();
        DWORD effect = cases[i].allowed;
        ASSERT_EQ(target->DragEnter(data.Get(), cases[i].keys, FreeSpace(), &effect), S_OK);
        EXPECT_EQ(effect, cases[i].effect);
        effect = cases[i].allowed;
        ASSERT_EQ(target->DragOver(cases[i].keys, FreeSpace(), &effect), S_OK);
        EXPECT_EQ(effect, cases[i].effect);
        effect = cases[i].allowed;
        ASSERT_EQ(target->Drop(data.Get(), cases[i].keys & ~MK_LBUTTON, FreeSpace(), &effect), S_OK);
        EXPECT_EQ(effect, cases[i].effect);
        ASSERT_EQ(m_target->Count(), static_cast<int>(i) + 1);
        auto* dropped = dynamic_cast<CExecButton*>(m_target->Button(static_cast<int>(i)));
        ASSERT_NE(dropped, nullptr);
        EXPECT_STREQ(dropped->FileName().c_str(), m_program.c_str());
    }
    // A drag that leaves drops nothing; a drop without an entry fails.
    CComPtr<IDataObject> data = DraggedButton();
    DWORD effect = all;
    target->DragEnter(data.Get(), MK_LBUTTON, FreeSpace(), &effect);
    EXPECT_EQ(target->DragLeave(), S_OK);
    effect = all;
    EXPECT_EQ(target->Drop(data.Get(), 0, FreeSpace(), &effect), E_FAIL);
    EXPECT_EQ(m_target->Count(), 3);
    target->Release();
}

TEST_F(DragBetweenToolbarsTest, FilesAreLinkedUnlessAddingIsProtected)
{
    ForeignDataObject files;
    files.Put(CF_HDROP, HdropBytes(sizeof(DROPFILES), FALSE, FileList({m_folder})));
    ForeignDataObject nothing;
    nothing.Put(CF_TEXT, std::vector<BYTE>{'x', 0});
    CDropTarget* target = new CDropTarget(m_target);
    const DWORD all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

    DWORD effect = all;
    target->DragEnter(&nothing, MK_LBUTTON, FreeSpace(), &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    target->DragLeave();

    m_target->ChangeSettings([](ToolbarSettings& settings) {
        settings.protection.enabled = TRUE;
        settings.protection.level = kProtectAdd;
    });
    effect = all;
    target->DragEnter(&files, MK_LBUTTON, FreeSpace(), &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    target->DragLeave();

    m_target->ChangeSettings([](ToolbarSettings& settings) { settings.protection.enabled = FALSE; });
    effect = all;
    target->DragEnter(&files, MK_LBUTTON, FreeSpace(), &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
    effect = all;
    EXPECT_EQ(target->Drop(&files, 0, FreeSpace(), &effect), S_OK);
    ASSERT_EQ(m_target->Count(), 1);
    EXPECT_EQ(m_target->Button(0)->Kind(), kKindFolder);
    target->Release();
}

TEST_F(DragBetweenToolbarsTest, FilesDroppedOnAProgramStartItUnlessAltIsHeld)
{
    ASSERT_TRUE(m_button->AllowsDrops());
    const std::string documents = m_folder + "\\Documents";
    CreateDirectoryA(documents.c_str(), nullptr);
    ForeignDataObject files;
    files.Put(CF_HDROP, HdropBytes(sizeof(DROPFILES), FALSE, FileList({documents})));
    RECT rect{};
    GetWindowRect(m_button->Handle(), &rect);
    const POINTL onButton{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    CDropTarget* target = new CDropTarget(m_toolbar);
    const DWORD all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

    button_test::ForgetEcho(m_program);
    DWORD effect = all;
    ASSERT_EQ(target->DragEnter(&files, MK_LBUTTON, onButton, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
    effect = all;
    EXPECT_EQ(target->Drop(&files, 0, onButton, &effect), S_OK);
    EXPECT_NE(button_test::EchoedArguments(m_program).find("Documents"), std::string::npos);
    EXPECT_EQ(m_toolbar->Count(), 1) << "the program ran; no button was added";

    // Alt hands the drop to the toolbar, which adds the folder behind the button.
    effect = all;
    ASSERT_EQ(target->DragEnter(&files, MK_LBUTTON | MK_ALT, onButton, &effect), S_OK);
    effect = all;
    EXPECT_EQ(target->Drop(&files, MK_ALT, onButton, &effect), S_OK);
    ASSERT_EQ(m_toolbar->Count(), 2);
    EXPECT_EQ(m_toolbar->Button(1)->Kind(), kKindFolder);
    target->Release();
}

TEST_F(DragBetweenToolbarsTest, DraggedButtonMovesUnlessTheSourceProtectsRemoving)
{
    // OLE's own drag loop, with no mouse button held, drops at once where
    // the cursor is: over the other toolbar's free space.
    m_target->Show(TRUE);
    // The target fits itself to its buttons after each drop.
    // Wine may ignore a warp back to a point the cursor was warped to before,
    // so the cursor is moved until it is really there, a pixel further each try.
    auto pointAtTarget = [this] {
        const POINTL freeSpace = FreeSpace();
        for (int attempt = 0; attempt < 5; ++attempt) {
            const POINT wanted{freeSpace.x + attempt, freeSpace.y + attempt % 2};
            SetCursorPos(wanted.x, wanted.y);
            driver::WaitUntil([] { return false; }, 50);
            POINT actual{};
            GetCursorPos(&actual);
            if (actual.x == wanted.x && actual.y == wanted.y && WindowFromPoint(wanted) == m_target->Handle())
                return true;
        }
        return false;
    };

    ASSERT_TRUE(pointAtTarget());
    m_toolbar->ChangeSettings([](ToolbarSettings& settings) {
        settings.protection.enabled = TRUE;
        settings.protection.level = kProtectRemove;
    });
    EXPECT_TRUE(m_toolbar->DragStart(m_button));
    EXPECT_EQ(m_toolbar->Count(), 1) << "copied: the source may not lose its button";
    EXPECT_EQ(m_target->Count(), 1);

    ASSERT_TRUE(pointAtTarget());
    m_toolbar->ChangeSettings([](ToolbarSettings& settings) { settings.protection.enabled = FALSE; });
    EXPECT_TRUE(m_toolbar->DragStart(m_button));
    EXPECT_EQ(m_toolbar->Count(), 0) << "moved";
    ASSERT_EQ(m_target->Count(), 2);
    auto* moved = dynamic_cast<CExecButton*>(m_target->Button(1));
    ASSERT_NE(moved, nullptr);
    EXPECT_STREQ(moved->FileName().c_str(), m_program.c_str());
}
