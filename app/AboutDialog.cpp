#include "AboutDialog.h"

#include "MainApp.h"
#include "MainWindow.h"
#include "TextControl.h"
#include "../common/Application.h"
#include "../common/Companions.h"
#include "../common/DllSearch.h"
#include "../resources/lintel/resource.h"

#include <vector>

namespace {

struct CLibraryTraits
{
    using Handle = HMODULE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::FreeLibrary(h); }
};
using CLibrary = CScopedHandle<CLibraryTraits>;

// The version calls live in version.dll, which the program does not link:
// they are fetched when the box needs them.
using GetSizeFunction = DWORD(WINAPI*)(LPCSTR, LPDWORD);
using GetInfoFunction = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
using QueryFunction = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);

// Links in the blue every browser of the time showed them in.
constexpr COLORREF kLinkColour = RGB(0, 0, 255);

template <class Function>
Function Entry(HMODULE library, const char* name)
{
    // Through the one function type that converts to any other without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

CFontHandle MakeFont(HWND dialog, BOOL italic, BOOL underline)
{
    HDC dc = GetDC(dialog);
    const int height = dc ? -MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72) : -11;
    if (dc)
        ReleaseDC(dialog, dc);
    return CFontHandle(CreateFontA(height, 0, 0, 0, FW_NORMAL, italic, underline, FALSE, ANSI_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_SWISS, "MS Sans Serif"));
}

} // namespace

HWND CAboutDialog::s_open = nullptr;

CAboutDialog::CAboutDialog(CMainWindow* mainWindow) : CDialogBase(IDD_ABOUT, mainWindow), m_mainWindow(mainWindow)
{
}

INT_PTR CAboutDialog::DoModal()
{
    if (s_open && IsWindow(s_open)) {
        SetForegroundWindow(s_open);
        return IDCANCEL;
    }
    const INT_PTR result = CDialogBase::DoModal();
    s_open = nullptr;
    return result;
}

BOOL CAboutDialog::ReadVersionLine(CText& line)
{
    CLibrary library(LoadLibraryFrom("version.dll", kLibraryInSystemFolder));
    if (!library)
        return FALSE;
    auto getSize = Entry<GetSizeFunction>(library.Get(), "GetFileVersionInfoSizeA");
    auto getInfo = Entry<GetInfoFunction>(library.Get(), "GetFileVersionInfoA");
    auto query = Entry<QueryFunction>(library.Get(), "VerQueryValueA");
    if (!getSize || !getInfo || !query)
        return FALSE;

    char program[MAX_PATH]{};
    const DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    if (length == 0 || length >= sizeof program)
        return FALSE;
    DWORD ignored = 0;
    const DWORD size = getSize(program, &ignored);
    if (size == 0)
        return FALSE;
    std::vector<char> block(size);
    if (!getInfo(program, 0, size, block.data()))
        return FALSE;
    void* value = nullptr;
    UINT valueLength = 0;
    if (!query(block.data(), "\\StringFileInfo\\040904B0\\ProductVersion", &value, &valueLength) || !value
        || valueLength == 0)
        return FALSE;

    if (!line.LoadString(AppInstance(), IDS_VERSION_PREFIX))
        line = "Version ";
    line += static_cast<const char*>(value);
    return TRUE;
}

BOOL CAboutDialog::OnInitDialog()
{
    s_open = Handle();
    CText version;
    if (ReadVersionLine(version))
        SetDlgItemTextA(Handle(), IDC_ABOUT_VERSION, version.c_str());

    m_italicFont = MakeFont(Handle(), TRUE, FALSE);
    m_underlinedFont = MakeFont(Handle(), FALSE, TRUE);
    SendDlgItemMessageA(Handle(), IDC_ABOUT_DESCRIPTION, TXM_SETFONT, 0,
                        reinterpret_cast<LPARAM>(m_italicFont.Get()));

    // A shared cursor from the program's resources: the system frees it.
    HCURSOR hand = LoadCursorA(AppInstance(), MAKEINTRESOURCEA(IDCUR_HAND));
    for (int link : {IDC_ABOUT_HELP_LINK, IDC_ABOUT_TIP_LINK}) {
        SendDlgItemMessageA(Handle(), link, TXM_SETFONT, 0, reinterpret_cast<LPARAM>(m_underlinedFont.Get()));
        SendDlgItemMessageA(Handle(), link, TXM_SETTEXTCOLOR, 0, static_cast<LPARAM>(kLinkColour));
        SendDlgItemMessageA(Handle(), link, TXM_SETCURSOR, 0, reinterpret_cast<LPARAM>(hand));
    }

    // Owned by a hidden window, the box would open behind the user's work.
    SetForegroundWindow(Handle());
    return TRUE;
}

BOOL CAboutDialog::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDC_ABOUT_HELP_LINK:
        if (m_mainWindow)
            m_mainWindow->Help(HELP_FINDER, 0);
        return TRUE;
    case IDC_ABOUT_TIP_LINK:
        LaunchLTLApp(IDS_REG_TIPS_PATH, IDS_REG_TIPS_EXE, TRUE, nullptr);
        return TRUE;
    default:
        return CDialogBase::OnCommand(id, code, control);
    }
}
