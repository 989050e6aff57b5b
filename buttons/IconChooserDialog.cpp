#include "IconChooserDialog.h"

#include "AskForFile.h"
#include "FileButton.h"
#include "../common/Application.h"
#include "../common/Associations.h"
#include "../common/ScopedHandle.h"
#include "../common/TraceLog.h"
#include "../resources/lintel/resource.h"

#include <shellapi.h>

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kFileLimit = MAX_PATH;

BOOL CALLBACK CollectGroup(HMODULE, LPCSTR, LPSTR name, LONG_PTR param)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<int>*>(param)->push_back(static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

// The 32-pixel image of an icon group of a module loaded as a data file,
// made from the group's resources rather than by LoadImage, which cannot
// always reach the resources of such a module.
HICON GroupIcon(HMODULE module, int id)
{
    HRSRC groupInfo = FindResourceA(module, MAKEINTRESOURCEA(id), RT_GROUP_ICON);
    HGLOBAL groupData = groupInfo ? LoadResource(module, groupInfo) : nullptr;
    auto* group = groupData ? static_cast<PBYTE>(LockResource(groupData)) : nullptr;
    // The directory header alone is six bytes.
    if (!group || SizeofResource(module, groupInfo) < 6)
        return nullptr;
    const int iconId = LookupIconIdFromDirectoryEx(group, TRUE, 32, 32, LR_DEFAULTCOLOR);
    if (iconId <= 0)
        return nullptr;
    HRSRC iconInfo = FindResourceA(module, MAKEINTRESOURCEA(iconId), RT_ICON);
    HGLOBAL iconData = iconInfo ? LoadResource(module, iconInfo) : nullptr;
    auto* bits = iconData ? static_cast<PBYTE>(LockResource(iconData)) : nullptr;
    const DWORD size = iconInfo ? SizeofResource(module, iconInfo) : 0;
    if (!bits || size == 0)
        return nullptr;
    return CreateIconFromResourceEx(bits, size, TRUE, 0x00030000, 32, 32, LR_DEFAULTCOLOR);
}

} // namespace

IconFileKind KindOfIconFile(const char* name)
{
    const size_t length = name ? strlen(name) : 0;
    if (length < 4)
        return kIconFileUnknown;
    char ending[4]{};
    for (int i = 0; i < 3; ++i)
        ending[i] = static_cast<char>(tolower(static_cast<unsigned char>(name[length - 3 + i])));
    if (strcmp(ending, "ico") == 0)
        return kIconFileIco;
    if (strcmp(ending, "dll") == 0)
        return kIconFileDll;
    if (strcmp(ending, "exe") == 0)
        return kIconFileExe;
    return kIconFileUnknown;
}

std::vector<int> NumericIconGroups(HMODULE module)
{
    std::vector<int> ids;
    if (module)
        EnumResourceNamesA(module, RT_GROUP_ICON, CollectGroup, reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

int PreselectedIcon(const std::vector<int>& storedIndexes, int currentIndex)
{
    for (size_t i = 0; i < storedIndexes.size(); ++i) {
        if (storedIndexes[i] == currentIndex)
            return static_cast<int>(i);
    }
    if (currentIndex > 0 && static_cast<size_t>(currentIndex) < storedIndexes.size())
        return currentIndex;
    return 0;
}

CIconChooserDialog::CIconChooserDialog(CFileButton* button, const CText& iconFile, int iconIndex, HWND owner)
    : CDialogBase(IDD_CHOOSE_ICON, nullptr, owner), m_button(button), m_iconFile(iconFile), m_iconIndex(iconIndex)
{
}

// The list view, made without LVS_SHAREIMAGELISTS, destroys the image list
// it holds when it goes.
CIconChooserDialog::~CIconChooserDialog() = default;

CText CIconChooserDialog::StartingFile() const
{
    if (!m_iconFile.IsEmpty())
        return m_iconFile;
    if (m_button && !m_button->FileName().IsEmpty()) {
        SHFILEINFOA info{};
        if (SHGetFileInfoA(m_button->FileName().c_str(), 0, &info, sizeof info, SHGFI_EXETYPE))
            return m_button->FileName();
        CText program;
        if (GetAssociatedExe(m_button->FileName(), program) && !program.IsEmpty())
            return program;
    }
    char system[MAX_PATH]{};
    const UINT length = GetSystemDirectoryA(system, MAX_PATH);
    CText path(length > 0 && length < MAX_PATH ? system : "");
    path += "\\SHELL32.DLL";
    return path;
}

BOOL CIconChooserDialog::OnInitDialog()
{
    SendDlgItemMessageA(m_handle, IDC_ICON_FILE, EM_LIMITTEXT, kFileLimit, 0);
    SetDlgItemTextA(m_handle, IDC_ICON_FILE, StartingFile().c_str());
    m_fileEdited = FALSE;
    FillList(FALSE);
    return TRUE;
}

INT_PTR CIconChooserDialog::DialogProc(HWND handle, UINT message, WPARAM first, LPARAM second)
{
    if (message == WM_HELP) {
        Help();
        return TRUE;
    }
    return CDialogBase::DialogProc(handle, message, first, second);
}

BOOL CIconChooserDialog::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDC_ICON_FILE:
        if (code == EN_CHANGE) {
            m_fileEdited = TRUE;
        } else if (code == EN_KILLFOCUS && m_fileEdited) {
            m_fileEdited = FALSE;
            FillList(TRUE);
        }
        return TRUE;
    case IDC_ICON_BROWSE:
        if (code == BN_CLICKED)
            Browse();
        return TRUE;
    case IDC_ICON_HELP:
        if (code == BN_CLICKED)
            Help();
        return TRUE;
    default:
        return CDialogBase::OnCommand(id, code, control);
    }
}

void CIconChooserDialog::Message(UINT textId) const
{
    CApplication* application = m_button ? m_button->Application() : nullptr;
    if (application)
        application->DisplayMessage(m_handle, textId, nullptr, MB_OK | MB_ICONINFORMATION, kCaptionProgramName);
}

void CIconChooserDialog::Help() const
{
    if (m_button && m_button->Host())
        m_button->Host()->Help(HELP_CONTEXT, IDH_CHOOSE_ICON);
}

BOOL CIconChooserDialog::FillList(BOOL report)
{
    HWND list = GetDlgItem(m_handle, IDC_ICON_LIST);
    ListView_DeleteAllItems(list);
    m_indexes.clear();
    HIMAGELIST images = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 4, 4);
    // The list view destroys the list it held when it is given another.
    HIMAGELIST old = ListView_SetImageList(list, images, LVSIL_NORMAL);
    if (old)
        ImageList_Destroy(old);

    char file[kFileLimit + 1]{};
    GetDlgItemTextA(m_handle, IDC_ICON_FILE, file, sizeof file);
    if (!*file) {
        if (report)
            Message(IDS_MSG_ICON_NO_FILE);
        return FALSE;
    }

    std::vector<CIconHandle> icons;
    switch (KindOfIconFile(file)) {
    case kIconFileIco: {
        HICON icon = static_cast<HICON>(LoadImageA(nullptr, file, IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE));
        if (!icon) {
            if (report)
                Message(IDS_MSG_ICON_INVALID);
            return FALSE;
        }
        icons.emplace_back(icon);
        m_indexes.push_back(0);
        break;
    }
    case kIconFileDll:
    case kIconFileExe: {
        HMODULE module = LoadLibraryExA(file, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (!module) {
            if (report)
                Message(IDS_MSG_ICON_NOT_32BIT);
            return FALSE;
        }
        for (int id : NumericIconGroups(module)) {
            HICON icon = GroupIcon(module, id);
            if (!icon)
                continue;
            icons.emplace_back(icon);
            // The shell's icon extraction takes a negative index for a resource id.
            m_indexes.push_back(-id);
        }
        FreeLibrary(module);
        break;
    }
    default:
        if (report)
            Message(IDS_MSG_ICON_FILE_TYPE);
        return FALSE;
    }

    const int selected = PreselectedIcon(m_indexes, m_iconIndex);
    for (size_t i = 0; i < icons.size(); ++i) {
        char label[32];
        snprintf(label, sizeof label, "Icon %d", static_cast<int>(i) + 1);
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = static_cast<int>(i);
        item.pszText = label;
        item.iImage = ImageList_AddIcon(images, icons[i].Get());
        item.lParam = m_indexes[i];
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    if (!icons.empty()) {
        ListView_SetItemState(list, selected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(list, selected, FALSE);
    }
    return TRUE;
}

void CIconChooserDialog::Browse()
{
    char file[MAX_PATH]{};
    if (!AskForFile(m_handle, IDS_ICON_FILTER, "DLLs (*.dll)|*.dll|Applications (*.exe)|*.exe|Icons (*.ico)|*.ico|", file))
        return;
    const IconFileKind kind = KindOfIconFile(file);
    if (kind == kIconFileUnknown) {
        Message(IDS_MSG_ICON_FILE_TYPE);
        return;
    }
    if (kind != kIconFileIco) {
        HMODULE module = LoadLibraryExA(file, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (!module) {
            Message(IDS_MSG_ICON_NOT_32BIT);
            return;
        }
        FreeLibrary(module);
    }
    SetDlgItemTextA(m_handle, IDC_ICON_FILE, file);
    m_fileEdited = FALSE;
    FillList(TRUE);
}

BOOL CIconChooserDialog::OnOK()
{
    // A file typed in and confirmed with Enter has not been read yet.
    if (m_fileEdited) {
        m_fileEdited = FALSE;
        FillList(TRUE);
        return TRUE;
    }
    HWND list = GetDlgItem(m_handle, IDC_ICON_LIST);
    const int selected = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    if (selected < 0 || static_cast<size_t>(selected) >= m_indexes.size()) {
        Message(IDS_MSG_ICON_NONE_CHOSEN);
        return TRUE;
    }
    char file[kFileLimit + 1]{};
    GetDlgItemTextA(m_handle, IDC_ICON_FILE, file, sizeof file);
    if (!*file) {
        Message(IDS_MSG_ICON_NO_FILE);
        return TRUE;
    }
    m_iconFile = file;
    m_iconIndex = m_indexes[static_cast<size_t>(selected)];
    return CDialogBase::OnOK();
}
