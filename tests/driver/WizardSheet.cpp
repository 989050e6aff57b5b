#include "WizardSheet.h"

#include "RemoteControls.h"

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>

namespace driver {

namespace {

constexpr const char* kCompaniesTitle = "Choose companies to find";
constexpr const char* kGroup = "Lintel Wizard Test";
constexpr UINT kToggleCheck = WM_USER + 103;

struct DialogSearch {
    DWORD processId;
    HWND skip;
    HWND found;
};

BOOL CALLBACK FindDialogProc(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || window == search->skip || !IsWindowVisible(window)
        || ClassName(window) != "#32770" || WindowText(window) == kCompaniesTitle)
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindDialog(DWORD processId, HWND skip)
{
    DialogSearch search{processId, skip, nullptr};
    EnumWindows(FindDialogProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

WizardSheet::~WizardSheet()
{
    if (m_process.IsRunning()) {
        Press(PSBTN_CANCEL);
        if (!m_process.WaitForExit(5000))
            m_process.Kill();
    }
}

bool WizardSheet::Start(const std::string& folder)
{
    if (!m_process.Start(ProgramFolder() + "\\Lintel Wizard.exe", "", folder))
        return false;
    return Attach(m_process.Id());
}

bool WizardSheet::Attach(DWORD processId, DWORD timeoutMs)
{
    m_processId = processId;
    WaitUntil([&] { return (m_sheet = FindDialog(processId, nullptr)) != nullptr; }, timeoutMs);
    return m_sheet && WaitForPage(kWelcome, timeoutMs);
}

bool WizardSheet::IsRunning() const
{
    return m_sheet && IsWindow(m_sheet);
}

bool WizardSheet::WaitForExit(DWORD timeoutMs)
{
    if (m_process.Handle())
        return m_process.WaitForExit(timeoutMs);
    return WaitUntil([&] { return !IsWindow(m_sheet); }, timeoutMs);
}

HWND WizardSheet::PageWindow() const
{
    return m_sheet ? reinterpret_cast<HWND>(SendMessageA(m_sheet, PSM_GETCURRENTPAGEHWND, 0, 0)) : nullptr;
}

int WizardSheet::CurrentPage() const
{
    HWND page = PageWindow();
    if (!page)
        return -1;
    return static_cast<int>(SendMessageA(m_sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0));
}

bool WizardSheet::WaitForPage(int page, DWORD timeoutMs) const
{
    return WaitUntil([&] { return CurrentPage() == page; }, timeoutMs);
}

void WizardSheet::Press(int button) const
{
    if (m_sheet)
        PostMessageA(m_sheet, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
}

bool WizardSheet::Next(int expected, DWORD timeoutMs) const
{
    Press(PSBTN_NEXT);
    return WaitForPage(expected, timeoutMs);
}

bool WizardSheet::Back(int expected, DWORD timeoutMs) const
{
    Press(PSBTN_BACK);
    return WaitForPage(expected, timeoutMs);
}

void WizardSheet::Click(int id) const
{
    SendMessageA(Control(id), BM_CLICK, 0, 0);
}

void WizardSheet::ToggleCheck(HWND list, int index)
{
    PostMessageA(GetParent(list), kToggleCheck, static_cast<WPARAM>(index), 0);
}

void WizardSheet::PressSpaceOn(HWND list, int index)
{
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(list, WM_KEYDOWN, VK_SPACE, 0);
}

HWND WizardSheet::FindBox() const
{
    return FindDialog(m_processId, m_sheet);
}

HWND WizardSheet::WaitForBox(DWORD timeoutMs) const
{
    HWND box = nullptr;
    WaitUntil([&] { return (box = FindBox()) != nullptr; }, timeoutMs);
    return box;
}

bool WizardSheet::NoBoxFor(DWORD timeoutMs) const
{
    return !WaitUntil([&] { return FindBox() != nullptr; }, timeoutMs);
}

HWND WizardSheet::OpenCompanies() const
{
    PostMessageA(PageWindow(), WM_COMMAND, MAKEWPARAM(kChooseCompanies, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Control(kChooseCompanies)));
    return WaitForWindow("#32770", kCompaniesTitle, kDefaultTimeout, m_processId);
}

std::vector<std::string> WizardSheet::FoundNames() const
{
    return ListBoxTexts(Control(kFoundList));
}

std::string WizardSheet::SelectedCount() const
{
    return ControlText(Control(kSelectedCount));
}

const std::vector<MakerShortcuts::Entry>& MakerShortcuts::Entries()
{
    static const std::vector<Entry> entries = {
        {"Maker Adobe Systems", "maker_adobe_systems", false},
        {"Maker Microsoft", "maker_microsoft", false},
        {"Maker Acme", "maker_acme", false},
        {"Maker None", "maker_none", false},
        {"Maker Notes", nullptr, false},
        {"Maker ADOBE", "maker_adobe_capitals", true},
        {"Maker Copyright Only", "maker_copyright_only", true},
        {"Maker Empty Company", "maker_empty_company", true},
        {"Maker German Corel", "maker_german_corel", true},
    };
    return entries;
}

MakerShortcuts::~MakerShortcuts()
{
    for (const auto& made : m_made)
        DeleteFileA(made.second.c_str());
    for (const std::string& group : m_groups)
        RemoveDirectoryA(group.c_str());
}

namespace {

std::string StartMenuGroup(bool common)
{
    char menu[MAX_PATH]{};
    if (!SHGetSpecialFolderPathA(nullptr, menu, common ? CSIDL_COMMON_STARTMENU : CSIDL_STARTMENU, TRUE))
        return std::string();
    const std::string group = std::string(menu) + "\\" + kGroup;
    CreateDirectoryA(group.c_str(), nullptr);
    return group;
}

} // namespace

bool MakerShortcuts::Make(const std::string& folder)
{
    const std::string document = folder + "\\maker notes.txt";
    WriteTextFile(document, "notes");
    const std::string saved = folder + "\\saved.lnk";
    for (const Entry& entry : Entries()) {
        const std::string group = StartMenuGroup(entry.common);
        if (group.empty())
            return false;
        if (std::find(m_groups.begin(), m_groups.end(), group) == m_groups.end())
            m_groups.push_back(group);
        const std::string path = group + "\\" + entry.name + ".lnk";
        const std::string target = entry.target ? ProgramFolder() + "\\" + entry.target + ".exe" : document;
        // Saved outside the Start Menu and moved in: Wine hands a shortcut
        // saved inside it to its menu builder, which adds it to the host's
        // own menus.
        if (!SaveShortcut(saved, target) || !MoveFileExA(saved.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
            return false;
        m_made.emplace_back(entry.name, path);
    }
    return true;
}

bool MakerShortcuts::MakeMany(const std::string& prefix, int count, const std::string& target)
{
    const std::string group = StartMenuGroup(false);
    if (group.empty())
        return false;
    if (std::find(m_groups.begin(), m_groups.end(), group) == m_groups.end())
        m_groups.push_back(group);
    // Wine hands every saved shortcut to a menu-builder process of its own;
    // hundreds of them at once fill the X server's clients.  One is saved
    // outside the Start Menu, the rest are copies of it.
    const std::string model = MakeTempFolder("ManyShortcuts") + "\\model.lnk";
    if (!SaveShortcut(model, target))
        return false;
    for (int i = 0; i < count; ++i) {
        char name[64]{};
        std::snprintf(name, sizeof name, "%s %03d", prefix.c_str(), i);
        const std::string path = group + "\\" + name + ".lnk";
        if (!CopyFileA(model.c_str(), path.c_str(), FALSE))
            return false;
        m_made.emplace_back(name, path);
    }
    DeleteFileA(model.c_str());
    return true;
}

std::string MakerShortcuts::PathOf(const std::string& name) const
{
    for (const auto& made : m_made) {
        if (made.first == name)
            return made.second;
    }
    return std::string();
}

std::vector<std::string> MakerShortcuts::Ours(const std::vector<std::string>& listed)
{
    std::vector<std::string> ours;
    for (std::string name : listed) {
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".lnk") == 0)
            name.erase(name.size() - 4);
        for (const Entry& entry : Entries()) {
            if (name == entry.name) {
                ours.push_back(name);
                break;
            }
        }
    }
    std::sort(ours.begin(), ours.end());
    return ours;
}

bool SaveShortcut(const std::string& path, const std::string& target)
{
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return false;
    link->SetPath(target.c_str());
    IPersistFile* file = nullptr;
    bool saved = false;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        const std::wstring wide(path.begin(), path.end());
        saved = SUCCEEDED(file->Save(wide.c_str(), TRUE));
        file->Release();
    }
    link->Release();
    return saved;
}

} // namespace driver
