// companion_standin.exe: plays the main program and its toolbars for the
// tests of the companion programs, which must find them and hand them work
// without a real Lintel.exe behind the windows.
//
//   companion_standin [--main LOGFILE] [--help-answer N] [--toolbar NAME]...
//
// --main makes the hidden main window (class "LintelMainWindow", title
// "Lintel") and appends one JSON line per message it takes to LOGFILE;
// --toolbar makes one small visible window of class "CToolbarWindow" titled
// NAME.  tests/driver/StandIns.h documents the lines and reads them.  The
// message numbers are written out here rather than taken from the programs'
// header, so that a wrong number there shows up as a message nobody records.
// Everything that arrives comes from another process and is read within the
// sizes the system reports for it: a stale atom, an empty clipboard or a
// malformed block is recorded as such, never trusted.
#include "common/ComPtr.h"
#include "common/ScopedHandle.h"

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using nlohmann::ordered_json;

constexpr UINT kAddButton = WM_USER + 191;
constexpr UINT kShowAbout = WM_USER + 192;
constexpr UINT kHelpRequest = WM_USER + 193;
constexpr UINT kCreateToolbar = WM_USER + 194;

// Below this a message parameter is a slot number, not an atom.
constexpr ULONG_PTR kFirstStringAtom = 0xC000;
// What a clipboard enumerator or a copy-data block may make us record.
constexpr int kMaxFormats = 64;
constexpr DWORD kMaxCopyDataBytes = 4096;

std::string g_logPath;
LRESULT g_helpAnswer = 1;
unsigned g_sequence = 0;
unsigned g_createCount = 0;

std::string Utf8(const wchar_t* text, size_t length)
{
    if (length == 0)
        return std::string();
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}

std::string Utf8(const char* ansi, size_t length)
{
    if (length == 0)
        return std::string();
    const int chars = MultiByteToWideChar(CP_ACP, 0, ansi, static_cast<int>(length), nullptr, 0);
    std::wstring wide(chars > 0 ? chars : 0, L'\0');
    if (chars > 0)
        MultiByteToWideChar(CP_ACP, 0, ansi, static_cast<int>(length), &wide[0], chars);
    return Utf8(wide.data(), wide.size());
}

std::string Utf8(const std::string& ansi) { return Utf8(ansi.data(), ansi.size()); }

std::string Hex(const BYTE* bytes, size_t count)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) {
        text.push_back(digits[bytes[i] >> 4]);
        text.push_back(digits[bytes[i] & 15]);
    }
    return text;
}

ordered_json NewRecord(const char* event, WPARAM wParam, LPARAM lParam)
{
    ordered_json record;
    record["seq"] = ++g_sequence;
    record["event"] = event;
    record["wparam"] = static_cast<unsigned long long>(wParam);
    record["lparam"] = static_cast<unsigned long long>(static_cast<ULONG_PTR>(lParam));
    return record;
}

// One line per record, written in one piece and flushed, so that a reader
// in another process sees whole lines only (a line without its end is one
// still being written).
void Append(const ordered_json& record)
{
    if (g_logPath.empty())
        return;
    const std::string line = record.dump(-1, ' ', false, ordered_json::error_handler_t::replace) + "\n";
    CScopedHandle<CFileHandleTraits> file(CreateFileA(g_logPath.c_str(), FILE_APPEND_DATA,
                                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    DWORD written = 0;
    WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    FlushFileBuffers(file.Get());
}

// Reads and deletes the atom, as the real receiver does, and gives its
// name.  A name that cannot be read (the atom is stale) is recorded as such.
std::string TakeAtom(ULONG_PTR value, ordered_json& record)
{
    if (value < kFirstStringAtom || value > 0xFFFF) {
        record["atomState"] = "none";
        return std::string();
    }
    const ATOM atom = static_cast<ATOM>(value);
    char name[512]{};
    const UINT length = GlobalGetAtomNameA(atom, name, sizeof name - 1);
    std::string text;
    if (length == 0) {
        record["atomState"] = "stale";
    } else {
        text.assign(name, length < sizeof name ? length : sizeof name - 1);
        record["atomState"] = "read";
        record["atom"] = Utf8(text);
    }
    GlobalDeleteAtom(atom);
    return text;
}

std::string FormatName(CLIPFORMAT format)
{
    switch (format) {
    case CF_TEXT: return "CF_TEXT";
    case CF_UNICODETEXT: return "CF_UNICODETEXT";
    case CF_OEMTEXT: return "CF_OEMTEXT";
    case CF_HDROP: return "CF_HDROP";
    case CF_LOCALE: return "CF_LOCALE";
    default: break;
    }
    char name[256]{};
    if (format >= kFirstStringAtom && GetClipboardFormatNameA(format, name, sizeof name) > 0)
        return Utf8(std::string(name));
    return "#" + std::to_string(format);
}

ordered_json FormatsOf(IDataObject* data)
{
    ordered_json names = ordered_json::array();
    CComPtr<IEnumFORMATETC> formats;
    if (FAILED(data->EnumFormatEtc(DATADIR_GET, formats.put())) || !formats)
        return names;
    for (int i = 0; i < kMaxFormats; ++i) {
        FORMATETC format{};
        ULONG fetched = 0;
        if (formats->Next(1, &format, &fetched) != S_OK || fetched != 1)
            break;
        if (format.ptd)
            CoTaskMemFree(format.ptd);
        const std::string name = FormatName(format.cfFormat);
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    return names;
}

// Global memory of a format, locked, with the size the system gives for it.
class CLockedMedium
{
public:
    CLockedMedium(IDataObject* data, CLIPFORMAT format)
    {
        FORMATETC wanted{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        if (FAILED(data->GetData(&wanted, &m_medium)))
            return;
        m_got = true;
        if (m_medium.tymed != TYMED_HGLOBAL || !m_medium.hGlobal)
            return;
        m_size = GlobalSize(m_medium.hGlobal);
        m_bytes = static_cast<const BYTE*>(GlobalLock(m_medium.hGlobal));
        if (!m_bytes)
            m_size = 0;
    }
    ~CLockedMedium()
    {
        if (m_bytes)
            GlobalUnlock(m_medium.hGlobal);
        if (m_got)
            ReleaseStgMedium(&m_medium);
    }
    CLockedMedium(const CLockedMedium&) = delete;
    CLockedMedium& operator=(const CLockedMedium&) = delete;

    const BYTE* Bytes() const { return m_bytes; }
    SIZE_T Size() const { return m_size; }

private:
    STGMEDIUM m_medium{};
    bool m_got = false;
    const BYTE* m_bytes = nullptr;
    SIZE_T m_size = 0;
};

// The file list of a DROPFILES block; a name that runs into the end of the
// block is not a name.
ordered_json FilesOf(IDataObject* data)
{
    ordered_json files = ordered_json::array();
    CLockedMedium block(data, CF_HDROP);
    if (!block.Bytes() || block.Size() < sizeof(DROPFILES))
        return files;
    DROPFILES header{};
    std::memcpy(&header, block.Bytes(), sizeof header);
    const SIZE_T size = block.Size();
    SIZE_T at = header.pFiles;
    if (at > size)
        return files;
    const SIZE_T unit = header.fWide ? sizeof(wchar_t) : 1;
    std::wstring wideName;
    std::string ansiName;
    for (; at + unit <= size; at += unit) {
        if (header.fWide) {
            wchar_t c = 0;
            std::memcpy(&c, block.Bytes() + at, sizeof c);
            if (c != 0) {
                wideName.push_back(c);
                continue;
            }
            if (wideName.empty())
                break;
            files.push_back(Utf8(wideName.data(), wideName.size()));
            wideName.clear();
        } else {
            const char c = static_cast<char>(block.Bytes()[at]);
            if (c != 0) {
                ansiName.push_back(c);
                continue;
            }
            if (ansiName.empty())
                break;
            files.push_back(Utf8(ansiName));
            ansiName.clear();
        }
    }
    return files;
}

// Copies out the item identifier list at an offset of the block when its
// items and terminator all lie inside the block.  Zeros follow the copy, so
// that a shell call that reads a short item a little too far stays in it.
bool CopyIdList(const BYTE* block, SIZE_T size, SIZE_T offset, std::vector<BYTE>& list)
{
    SIZE_T at = offset;
    for (;;) {
        if (at > size || size - at < sizeof(USHORT))
            return false;
        USHORT itemBytes = 0;
        std::memcpy(&itemBytes, block + at, sizeof itemBytes);
        if (itemBytes == 0)
            break;
        if (itemBytes < sizeof(USHORT) || itemBytes > size - at)
            return false;
        at += itemBytes;
    }
    list.assign(block + offset, block + at + sizeof(USHORT));
    list.resize(list.size() + 64, 0);
    return true;
}

std::string ParsingName(IShellFolder* desktop, LPCITEMIDLIST absolute)
{
    char path[MAX_PATH]{};
    if (SHGetPathFromIDListA(absolute, path))
        return Utf8(std::string(path));
    STRRET name{};
    if (!desktop || FAILED(desktop->GetDisplayNameOf(absolute, SHGDN_FORPARSING, &name)))
        return std::string();
    wchar_t* text = nullptr;
    if (FAILED(StrRetToStrW(&name, absolute, &text)) || !text)
        return std::string();
    std::string utf8 = Utf8(text, wcslen(text));
    CoTaskMemFree(text);
    return utf8;
}

// The "Shell IDList Array": a count, count + 1 offsets (the parent folder
// first), then the lists.  Each item is named by its parsing name.
ordered_json ItemsOf(IDataObject* data, bool& readable)
{
    ordered_json items = ordered_json::array();
    readable = false;
    CLockedMedium block(data, static_cast<CLIPFORMAT>(RegisterClipboardFormatA("Shell IDList Array")));
    const SIZE_T size = block.Size();
    if (!block.Bytes() || size < sizeof(UINT))
        return items;
    UINT count = 0;
    std::memcpy(&count, block.Bytes(), sizeof count);
    const SIZE_T offsetRoom = (size - sizeof(UINT)) / sizeof(UINT);
    if (offsetRoom == 0 || count > offsetRoom - 1)
        return items;
    std::vector<std::vector<BYTE>> lists(count + 1);
    for (UINT i = 0; i <= count; ++i) {
        UINT offset = 0;
        std::memcpy(&offset, block.Bytes() + sizeof(UINT) * (i + 1), sizeof offset);
        if (!CopyIdList(block.Bytes(), size, offset, lists[i]))
            return items;
    }
    readable = true;
    CComPtr<IShellFolder> desktop;
    SHGetDesktopFolder(desktop.put());
    const auto* parent = reinterpret_cast<LPCITEMIDLIST>(lists[0].data());
    for (UINT i = 1; i <= count; ++i) {
        LPITEMIDLIST absolute = ILCombine(parent, reinterpret_cast<LPCITEMIDLIST>(lists[i].data()));
        items.push_back(absolute ? ParsingName(desktop.Get(), absolute) : std::string());
        if (absolute)
            ILFree(absolute);
    }
    return items;
}

// What a paste would find on the clipboard right now.
void ReadClipboard(ordered_json& record)
{
    CComPtr<IDataObject> data;
    const HRESULT hr = OleGetClipboard(data.put());
    record["clipboard"] = SUCCEEDED(hr) && data;
    if (FAILED(hr) || !data) {
        char text[16];
        wsprintfA(text, "%08lx", static_cast<unsigned long>(hr));
        record["clipboardHr"] = text;
        record["formats"] = ordered_json::array();
        record["files"] = ordered_json::array();
        record["items"] = ordered_json::array();
        record["button"] = false;
        return;
    }
    const ordered_json formats = FormatsOf(data.Get());
    record["formats"] = formats;
    record["files"] = FilesOf(data.Get());
    bool idListReadable = false;
    record["items"] = ItemsOf(data.Get(), idListReadable);
    record["idListReadable"] = idListReadable;
    FORMATETC button{static_cast<CLIPFORMAT>(RegisterClipboardFormatA("CExecButton")), nullptr, DVASPECT_CONTENT,
                     -1, TYMED_ISTORAGE};
    record["button"] = std::find(formats.begin(), formats.end(), "CExecButton") != formats.end()
                       || data->QueryGetData(&button) == S_OK;
}

void OnAddButton(WPARAM slotOrAtom, LPARAM lParam)
{
    ordered_json record = NewRecord("addbutton", slotOrAtom, lParam);
    TakeAtom(slotOrAtom, record);
    ReadClipboard(record);
    const bool usable = !record["files"].empty() || !record["items"].empty() || record["button"].get<bool>();
    // A successful paste empties the clipboard, so the sender's data is
    // taken once.
    if (usable)
        OleSetClipboard(nullptr);
    Append(record);
}

// The file a wizard names is copied beside the log: the sender may delete
// it as soon as it has posted.  The original is left where it is, so that a
// test can tell whether the sender removed it.
void OnCreateToolbar(WPARAM wParam, LPARAM atom)
{
    ordered_json record = NewRecord("createtb", wParam, atom);
    const std::string path = TakeAtom(static_cast<ULONG_PTR>(atom), record);
    record["copy"] = "";
    if (!path.empty()) {
        const std::string copy = g_logPath + ".createtb" + std::to_string(++g_createCount);
        if (CopyFileA(path.c_str(), copy.c_str(), FALSE))
            record["copy"] = Utf8(copy);
        else
            record["copyError"] = static_cast<unsigned long>(GetLastError());
    }
    Append(record);
}

void OnCopyData(WPARAM sender, const COPYDATASTRUCT* data)
{
    ordered_json record = NewRecord("copydata", sender, 0);
    if (data) {
        record["dataId"] = static_cast<unsigned long long>(data->dwData);
        record["size"] = static_cast<unsigned long>(data->cbData);
        const DWORD shown = data->cbData < kMaxCopyDataBytes ? data->cbData : kMaxCopyDataBytes;
        record["data"] = data->lpData ? Hex(static_cast<const BYTE*>(data->lpData), shown) : std::string();
    }
    Append(record);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Reading another process's data object pumps messages while it waits;
    // a hand-over that arrives meanwhile is taken after this one.
    static bool busy = false;
    switch (message) {
    case kAddButton:
    case kCreateToolbar:
        if (busy) {
            PostMessageA(window, message, wParam, lParam);
            return 0;
        }
        busy = true;
        try {
            if (message == kAddButton)
                OnAddButton(wParam, lParam);
            else
                OnCreateToolbar(wParam, lParam);
        } catch (...) {
            // A record that cannot be made is lost; the window stays.
        }
        busy = false;
        return message == kAddButton ? 1 : 0;
    case kShowAbout:
        Append(NewRecord("showabout", wParam, lParam));
        return 1;
    case kHelpRequest:
        Append(NewRecord("helprequest", wParam, lParam));
        return g_helpAnswer;
    case WM_COPYDATA:
        try {
            OnCopyData(wParam, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        } catch (...) {
        }
        return TRUE;
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

std::string Ansi(const wchar_t* text)
{
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(bytes > 0 ? bytes : 1, '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_ACP, 0, text, -1, &ansi[0], bytes, nullptr, nullptr);
    ansi.resize(std::strlen(ansi.c_str()));
    return ansi;
}

bool RegisterClass(const char* name, HINSTANCE instance)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    return RegisterClassA(&windowClass) != 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv)
        return 2;
    bool asMain = false;
    std::vector<std::string> toolbars;
    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == L"--main" && hasValue) {
            asMain = true;
            g_logPath = Ansi(argv[++i]);
        } else if (option == L"--toolbar" && hasValue) {
            toolbars.push_back(Ansi(argv[++i]));
        } else if (option == L"--help-answer" && hasValue) {
            g_helpAnswer = _wtoi(argv[++i]);
        } else {
            LocalFree(argv);
            return 2;
        }
    }
    LocalFree(argv);
    if (!asMain && toolbars.empty())
        return 2;

    if (FAILED(OleInitialize(nullptr)))
        return 3;
    if ((asMain && !RegisterClass("LintelMainWindow", instance))
        || (!toolbars.empty() && !RegisterClass("CToolbarWindow", instance))) {
        OleUninitialize();
        return 4;
    }
    if (asMain && !CreateWindowExA(0, "LintelMainWindow", "Lintel", WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr,
                                   nullptr, instance, nullptr)) {
        OleUninitialize();
        return 5;
    }
    for (size_t i = 0; i < toolbars.size(); ++i) {
        const int top = 40 + static_cast<int>(i) * 50;
        if (!CreateWindowExA(WS_EX_TOOLWINDOW, "CToolbarWindow", toolbars[i].c_str(), WS_POPUP | WS_CAPTION | WS_VISIBLE,
                             40, top, 180, 44, nullptr, nullptr, instance, nullptr)) {
            OleUninitialize();
            return 6;
        }
    }

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    OleUninitialize();
    return 0;
}
