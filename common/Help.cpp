#include "Help.h"

#include "DllSearch.h"

#include <htmlhelp.h>

#include <cstring>

namespace {

constexpr UINT kTrainingCardFlag = 0x8000;   // HELP_TCARD

using HtmlHelpProc = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

class CSystemHelp final : public IHelpBackend
{
public:
    bool FileExists(const std::string& path) override
    {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    BOOL ShowWinHelp(HWND owner, const char* file, UINT command, ULONG_PTR data) override
    {
        return WinHelpA(owner, file, command, data);
    }

    BOOL ShowHtmlHelp(HWND owner, const std::string& file, UINT command, DWORD_PTR data) override
    {
        // Closing needs no viewer that was never loaded.
        if (command == HH_CLOSE_ALL && !m_htmlHelp)
            return TRUE;
        if (!m_htmlHelp) {
            // The viewer stays loaded for the life of the process: its
            // windows run on the library's code.  It is a system library,
            // and only the system folder's copy is taken.
            HMODULE viewer = LoadLibraryFrom("hhctrl.ocx", kLibraryInSystemFolder);
            if (viewer)
                m_htmlHelp = reinterpret_cast<HtmlHelpProc>(
                    reinterpret_cast<void*>(GetProcAddress(viewer, "HtmlHelpA")));
            if (!m_htmlHelp)
                return FALSE;
        }
        const HWND shown = m_htmlHelp(owner, command == HH_CLOSE_ALL ? nullptr : file.c_str(), command, data);
        return command == HH_CLOSE_ALL || shown != nullptr;
    }

    void ReportMissing(HWND owner, const std::string& helpFile, const std::string& htmlFile) override
    {
        const std::string text = "Help is not installed on this computer.\n\nIt was expected in\n" + helpFile +
                                 "\nor in\n" + htmlFile + "\n\nInstall the program again to restore its help.";
        MessageBoxA(owner, text.c_str(), "Help", MB_OK | MB_ICONINFORMATION);
    }

private:
    HtmlHelpProc m_htmlHelp = nullptr;
};

CSystemHelp g_systemHelp;
IHelpBackend* g_backend = &g_systemHelp;

std::string ProgramFolder()
{
    char path[MAX_PATH]{};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    char* slash = std::strrchr(path, '\\');
    if (!slash)
        return std::string();
    *slash = '\0';
    return path;
}

std::string WindowsFolder()
{
    char path[MAX_PATH]{};
    const UINT length = GetWindowsDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    if (path[length - 1] == '\\')
        path[length - 1] = '\0';
    return path;
}

bool HasFolder(const std::string& name)
{
    return name.find_first_of("\\/:") != std::string::npos;
}

// The folders WinHelp itself looks in for a bare name, in its order.
std::string Locate(IHelpBackend& backend, const std::string& name)
{
    if (HasFolder(name))
        return backend.FileExists(name) ? name : std::string();
    const std::string windows = WindowsFolder();
    for (const std::string& folder : {ProgramFolder(), windows + "\\Help", windows}) {
        if (folder.empty() || folder == "\\Help")
            continue;
        const std::string path = folder + "\\" + name;
        if (backend.FileExists(path))
            return path;
    }
    return std::string();
}

std::string ExpectedPath(const std::string& name)
{
    return HasFolder(name) ? name : ProgramFolder() + "\\" + name;
}

std::string HtmlHelpName(const std::string& helpName)
{
    const size_t dot = helpName.find_last_of('.');
    const size_t slash = helpName.find_last_of("\\/");
    const std::string stem = dot == std::string::npos || (slash != std::string::npos && dot < slash)
                                 ? helpName
                                 : helpName.substr(0, dot);
    return stem + ".chm";
}

// "Lintel.hlp>Popup" names the file and the WinHelp window it opens in.
std::string HelpFileName(const char* file)
{
    const std::string request = file ? file : "";
    return request.substr(0, request.find('>'));
}

} // namespace

IHelpBackend* SetHelpBackend(IHelpBackend* backend)
{
    IHelpBackend* previous = g_backend;
    g_backend = backend ? backend : &g_systemHelp;
    return previous;
}

bool HtmlHelpRequest(HWND owner, UINT command, ULONG_PTR data, UINT* htmlCommand, DWORD_PTR* htmlData)
{
    *htmlCommand = HH_DISPLAY_TOPIC;
    *htmlData = 0;
    switch (command & ~kTrainingCardFlag) {
    case HELP_QUIT:
        *htmlCommand = HH_CLOSE_ALL;
        return true;
    case HELP_CONTEXT:
    case HELP_CONTEXTPOPUP:
    case HELP_TCARD_DATA:
        *htmlCommand = HH_HELP_CONTEXT;
        *htmlData = data;
        return true;
    case HELP_WM_HELP:
    case HELP_CONTEXTMENU: {
        // The table pairs control ids with context ids and ends with a zero
        // control id; a control not in it has no topic of its own.
        const DWORD* table = reinterpret_cast<const DWORD*>(data);
        const int control = owner ? GetDlgCtrlID(owner) : 0;
        for (; table && table[0]; table += 2) {
            if (static_cast<int>(table[0]) == control) {
                if (!table[1])
                    break;
                *htmlCommand = HH_HELP_CONTEXT;
                *htmlData = table[1];
                return true;
            }
        }
        return true;
    }
    case HELP_TCARD_OTHER_CALLER:
    case HELP_SETCONTENTS:
    case HELP_SETWINPOS:
        return false;
    default:
        // Contents, finder, index, keyword and anything older: the contents.
        return true;
    }
}

bool HelpFileFound(const char* file)
{
    const std::string name = HelpFileName(file);
    return !name.empty() && !Locate(*g_backend, name).empty();
}

BOOL ShowHelp(HWND owner, const char* file, UINT command, ULONG_PTR data)
{
    IHelpBackend& backend = *g_backend;
    const std::string name = HelpFileName(file);
    if (name.empty())
        return FALSE;
    if (!Locate(backend, name).empty())
        return backend.ShowWinHelp(owner, file, command, data);

    UINT htmlCommand = 0;
    DWORD_PTR htmlData = 0;
    if (!HtmlHelpRequest(owner, command, data, &htmlCommand, &htmlData))
        return FALSE;
    // HTML Help windows belong to a top-level window, not to a control.
    HWND topLevel = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    if (!topLevel)
        topLevel = owner;
    const std::string htmlName = HtmlHelpName(name);
    const std::string htmlFile = Locate(backend, htmlName);
    if (htmlCommand == HH_CLOSE_ALL)
        return backend.ShowHtmlHelp(topLevel, htmlFile, htmlCommand, 0);
    if (htmlFile.empty()) {
        backend.ReportMissing(topLevel, ExpectedPath(name), ExpectedPath(htmlName));
        return FALSE;
    }
    return backend.ShowHtmlHelp(topLevel, htmlFile, htmlCommand, htmlData);
}
