#include "WizardSearch.h"

#include "../common/Application.h"
#include "../common/ComPtr.h"
#include "../common/Error.h"
#include "../common/RegistryKey.h"
#include "../common/ShellFolder.h"
#include "../common/TraceLog.h"
#include "../resources/wizard/wizard_res.h"

#include <shlwapi.h>

namespace {

constexpr DWORD kStopWaitStep = 1000;
// A namespace deeper than this loops (a junction to an ancestor); the
// recursion must not run out of stack on it.
constexpr int kDepthGuard = 64;

BOOL NextItem(IEnumIDList* items, CItemId& item)
{
    LPITEMIDLIST fetched = nullptr;
    ULONG count = 0;
    if (items->Next(1, &fetched, &count) != S_OK || count != 1 || !fetched) {
        CItemId::FreeShellMemory(fetched);
        return FALSE;
    }
    item.Set(fetched);
    CItemId::FreeShellMemory(fetched);
    return TRUE;
}

BOOL DisplayName(IShellFolder* folder, const CItemId& item, DWORD flags, CText& name)
{
    STRRET returned{};
    if (FAILED(folder->GetDisplayNameOf(item.List(), flags, &returned)))
        return FALSE;
    char* text = nullptr;
    if (FAILED(StrRetToStrA(&returned, item.List(), &text)) || !text)
        return FALSE;
    name = text;
    CoTaskMemFree(text);
    return TRUE;
}

// The extension from the last dot, which must not be the name's first
// character (nor lie before the last backslash).
const char* ExtensionOf(const char* path)
{
    const char* dot = strrchr(path, '.');
    const char* slash = strrchr(path, '\\');
    if (!dot || dot == path || (slash && dot < slash))
        return nullptr;
    return dot;
}

// The type name the shell gives shortcuts: the class named by ".lnk", and
// that class's own default value.
BOOL ShortcutTypeName(CText& typeName)
{
    char className[260]{};
    LONG size = sizeof className;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, ".lnk", className, &size) != ERROR_SUCCESS || !className[0])
        return FALSE;
    char name[260]{};
    size = sizeof name;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, className, name, &size) != ERROR_SUCCESS || !name[0])
        return FALSE;
    typeName = name;
    return TRUE;
}

BOOL StartMenuFromRegistry(HKEY root, const char* value, CItemId& folder)
{
    CText keyName;
    CText valueName;
    keyName.LoadString(AppInstance(), IDS_REG_SHELL_FOLDERS);
    valueName.LoadString(AppInstance(), value == nullptr ? IDS_REG_START_MENU : IDS_REG_COMMON_START);
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, keyName.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return FALSE;
    char path[MAX_PATH + 1]{};
    DWORD size = MAX_PATH;
    DWORD type = 0;
    const LONG read = RegQueryValueExA(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(path), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || !path[0])
        return FALSE;
    return folder.Set(CText(path));
}

} // namespace

CWizardSearch::CWizardSearch(ISearchProgress& progress) : m_progress(progress)
{
}

CWizardSearch::~CWizardSearch()
{
    Stop();
}

BOOL CWizardSearch::Start(WizardSearchRequest request)
{
    Trace("Starting search");
    Stop();
    m_request = std::move(request);
    if (m_request.found)
        m_request.found->clear();
    m_completed = false;
    // Raised before the thread exists: a Stop that comes before the thread's
    // first step must not be lost.
    m_searching = true;
    DWORD threadId = 0;
    m_thread.Reset(CreateThread(nullptr, 0, ThreadMain, this, 0, &threadId));
    if (!m_thread) {
        m_searching = false;
        return FALSE;
    }
    return TRUE;
}

void CWizardSearch::Stop()
{
    if (!m_thread)
        return;
    Trace("Stopping search");
    m_searching = false;
    const HANDLE thread = m_thread.Get();
    for (;;) {
        // The thread reports by sent messages to this thread's windows; only
        // those are served, so no click can start or stop a search in here.
        MSG message{};
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        const DWORD waited = MsgWaitForMultipleObjects(1, &thread, FALSE, kStopWaitStep, QS_SENDMESSAGE);
        if (waited == WAIT_OBJECT_0 || waited == WAIT_FAILED)
            break;
        if (waited == WAIT_TIMEOUT)
            Trace("Waiting...");
    }
    m_thread.Reset();
}

DWORD WINAPI CWizardSearch::ThreadMain(void* parameter)
{
    auto* self = static_cast<CWizardSearch*>(parameter);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    RunWithoutEscape([self] { self->Run(); });
    const bool completed = self->m_searching.exchange(false);
    self->m_completed = completed;
    if (self->m_request.notify)
        PostMessageA(self->m_request.notify, UM_SEARCH_ENDED, completed ? 1 : 0, 0);
    if (SUCCEEDED(com))
        CoUninitialize();
    return 0;
}

void CWizardSearch::Run()
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    const bool nt4 = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT
                     && version.dwMajorVersion > 3;

    const CItemId desktop;
    CItemId startMenu(static_cast<LPCITEMIDLIST>(nullptr));
    if (!StartMenuFromRegistry(HKEY_CURRENT_USER, nullptr, startMenu))
        startMenu.Set(CSIDL_STARTMENU);
    CItemId commonStartMenu(static_cast<LPCITEMIDLIST>(nullptr));
    const bool haveCommon = nt4 && StartMenuFromRegistry(HKEY_LOCAL_MACHINE, "common", commonStartMenu);

    m_progress.ShowStatus(IDS_INITIALIZING);
    m_foldersCounted = 0;
    m_foldersSearched = 0;
    m_itemsFound = 0;
    m_progress.ShowProgress(0);
    m_progress.ShowFound(0);

    const int mask = m_request.mask;
    if (mask & kSearchDrives)
        CountFolders(desktop, 0, 2);
    if (mask & kSearchApplications) {
        if (startMenu.List())
            CountFolders(startMenu, 0, -1);
        if (haveCommon)
            CountFolders(commonStartMenu, 0, -1);
    }
    if (mask & kSearchControlPanel)
        ++m_foldersCounted;
    if (mask & kSearchPrinters)
        ++m_foldersCounted;

    m_progress.ShowStatus(IDS_SEARCHING);
    if ((mask & kSearchDrives) && m_searching)
        SearchFolder(desktop, nullptr, 0, 2, SFGAO_FOLDER);
    if ((mask & kSearchApplications) && m_searching) {
        CText typeName;
        if (ShortcutTypeName(typeName)) {
            if (startMenu.List())
                SearchFolder(startMenu, typeName.c_str(), 0, -1, 0);
            if (haveCommon && m_searching)
                SearchFolder(commonStartMenu, typeName.c_str(), 0, -1, 0);
        } else {
            Trace("No shortcut type name: applications not searched");
        }
    }
    if ((mask & kSearchControlPanel) && m_searching) {
        CItemId controls(static_cast<LPCITEMIDLIST>(nullptr));
        if (controls.Set(CSIDL_CONTROLS))
            SearchFolder(controls, nullptr, 0, -1, 0);
    }
    if ((mask & kSearchPrinters) && m_searching) {
        CItemId printers(static_cast<LPCITEMIDLIST>(nullptr));
        if (printers.Set(CSIDL_PRINTERS))
            SearchFolder(printers, nullptr, 0, -1, 0);
    }
    if (m_searching) {
        m_progress.ShowStatus(IDS_SEARCH_DONE);
        m_progress.ShowProgress(100);
    }
    Trace("Search complete");
}

void CWizardSearch::CountFolders(const CItemId& folderId, int depth, int maxDepth)
{
    if (depth > kDepthGuard)
        return;
    CShellFolder folder(folderId);
    if (!folder.IsValid())
        return;
    CComPtr<IEnumIDList> items;
    // Printers and some namespace extensions cannot be listed at all
    // (E_NOTIMPL under Wine): such a folder simply counts nothing.
    if (folder.Interface()->EnumObjects(nullptr, SHCONTF_FOLDERS, items.put()) != S_OK || !items)
        return;
    while (m_searching) {
        CItemId item;
        if (!NextItem(items.Get(), item))
            break;
        LPCITEMIDLIST list = item.List();
        ULONG attributes = SFGAO_FOLDER;
        if (!list || FAILED(folder.Interface()->GetAttributesOf(1, &list, &attributes)) || !(attributes & SFGAO_FOLDER))
            continue;
        if (maxDepth == -1 || depth < maxDepth)
            ++m_foldersCounted;
        if (maxDepth == -1 || depth < maxDepth - 1) {
            CItemId child(folderId);
            if (child.Append(item))
                CountFolders(child, depth + 1, maxDepth);
        }
    }
}

void CWizardSearch::SearchFolder(const CItemId& folderId, const char* typeFilter, int depth, int maxDepth,
                                 ULONG attributeMask)
{
    if (depth > kDepthGuard)
        return;
    Trace("Binding...");
    CShellFolder folder(folderId);
    if (!folder.IsValid())
        return;
    CComPtr<IEnumIDList> items;
    const HRESULT listed = folder.Interface()->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, items.put());
    if (listed != S_OK || !items) {
        TraceResult(listed);
        return;
    }
    while (m_searching) {
        CItemId item;
        if (!NextItem(items.Get(), item))
            break;
        LPCITEMIDLIST list = item.List();
        if (!list)
            continue;
        ULONG attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_LINK | attributeMask;
        if (FAILED(folder.Interface()->GetAttributesOf(1, &list, &attributes)))
            attributes = 0;
        CItemId absolute(folderId);
        if (!absolute.Append(item))
            continue;

        bool accepted = false;
        if (typeFilter) {
            if (attributes & SFGAO_FILESYSTEM) {
                SHFILEINFOA info{};
                if (SHGetFileInfoA(reinterpret_cast<LPCSTR>(absolute.List()), 0, &info, sizeof info,
                                   SHGFI_PIDL | SHGFI_TYPENAME)
                    && lstrcmpiA(info.szTypeName, typeFilter) == 0) {
                    CText path;
                    accepted = DisplayName(folder.Interface(), item, SHGDN_FORPARSING, path)
                               && ShortcutPasses(path.c_str(), m_request.companies);
                }
            }
        } else {
            accepted = attributeMask == 0 || (attributes & attributeMask) != 0;
        }
        if (accepted) {
            Trace("Matched");
            AddFound(folder.Interface(), folderId, item, absolute);
        }

        if ((attributes & SFGAO_FOLDER) && (typeFilter || !(attributes & SFGAO_FILESYSTEM))
            && (maxDepth == -1 || depth <= maxDepth) && m_searching) {
            ++m_foldersSearched;
            m_progress.ShowFound(m_itemsFound);
            ShowProgress();
            SearchFolder(absolute, typeFilter, depth + 1, maxDepth, attributeMask);
        }
    }
    m_progress.ShowFound(m_itemsFound);
}

void CWizardSearch::ShowProgress()
{
    const unsigned percent = m_foldersCounted ? m_foldersSearched * 100 / m_foldersCounted : 0;
    m_progress.ShowProgress(percent > 100 ? 100 : percent);
}

void CWizardSearch::AddFound(IShellFolder* folder, const CItemId& parent, const CItemId& item,
                             const CItemId& absolute)
{
    if (!m_request.found)
        return;
    SHFILEINFOA info{};
    SHGetFileInfoA(reinterpret_cast<LPCSTR>(absolute.List()), 0, &info, sizeof info,
                   SHGFI_PIDL | SHGFI_ICON | SHGFI_DISPLAYNAME | SHGFI_SMALLICON);
    CIconHandle icon(info.hIcon);
    int image = -1;
    if (icon && m_request.images)
        image = ImageList_AddIcon(m_request.images, icon.Get());
    info.szDisplayName[sizeof info.szDisplayName - 1] = 0;
    CText name(info.szDisplayName);
    if (name.IsEmpty())
        DisplayName(folder, item, SHGDN_NORMAL, name);
    m_request.found->push_back(std::make_unique<CFoundItem>(parent, item, name, image));
    ++m_itemsFound;
}

BOOL CWizardSearch::ShortcutPasses(const char* linkPath, const Companies& companies)
{
    if (!linkPath || !*linkPath)
        return FALSE;
    if (TraceOn())
        LogText(linkPath);
    const char* extension = strrchr(linkPath, '.');
    if (!extension || lstrcmpiA(extension, ".lnk") != 0)
        return FALSE;

    CComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put_void()))
        || !link)
        return FALSE;
    CComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())) || !file)
        return FALSE;
    wchar_t* wide = nullptr;
    if (!CText(linkPath).ToUnicode(&wide))
        return FALSE;
    const HRESULT loaded = file->Load(wide, STGM_READ);
    CText::FreeUnicode(wide);
    if (FAILED(loaded))
        return FALSE;
    char target[MAX_PATH + 1]{};
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, 0)) || !target[0])
        return FALSE;

    CText expanded;
    if (!ExpandTarget(target, expanded))
        return FALSE;
    if (TraceOn())
        LogText(expanded.c_str());
    const char* targetExtension = ExtensionOf(expanded.c_str());
    if (!targetExtension || lstrcmpiA(targetExtension, ".exe") != 0)
        return FALSE;

    if (SelectedCompanies(companies) == static_cast<int>(companies.size()))
        return TRUE;
    CText company;
    if (!ReadCompanyText(expanded.c_str(), company))
        return FALSE;
    if (TraceOn())
        LogText(company.c_str());
    return CompanyMatches(companies, company);
}

BOOL CWizardSearch::ExpandTarget(const char* target, CText& expanded)
{
    if (!target)
        return FALSE;
    // A target whose expansion does not fit the room of a path is skipped,
    // never cut short into the name of some other file.
    char room[MAX_PATH]{};
    const DWORD needed = ExpandEnvironmentStringsA(target, room, MAX_PATH);
    if (needed == 0 || needed > MAX_PATH)
        return FALSE;
    room[MAX_PATH - 1] = 0;
    expanded = room;
    return TRUE;
}
