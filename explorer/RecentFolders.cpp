#include "RecentFolders.h"

#include "../common/Application.h"
#include "../common/RegistryKey.h"
#include "../common/ShellFolder.h"

#include <vector>

namespace {

// Far more than any real id list; a bigger value is not one of ours.
constexpr DWORD kMaxStoredList = 32 * 1024;

CText ValueName(UINT formatId, int number)
{
    CText format;
    if (!format.LoadString(AppInstance(), formatId))
        format = "Recent%02d";
    char name[32]{};
    wsprintfA(name, format.c_str(), number);
    return CText(name);
}

} // namespace

const CItemId* CRecentFolders::At(int slot) const
{
    if (slot < 0 || slot >= kSlots)
        return nullptr;
    return m_slots[slot].get();
}

void CRecentFolders::Add(const CItemId& folder)
{
    if (!folder.List())
        return;
    for (int i = 0; i < kSlots; ++i) {
        if (m_slots[i] && m_slots[i]->Length() == folder.Length() && m_slots[i]->Compare(folder) == 0) {
            std::unique_ptr<CItemId> found = std::move(m_slots[i]);
            for (int j = i; j > 0; --j)
                m_slots[j] = std::move(m_slots[j - 1]);
            m_slots[0] = std::move(found);
            return;
        }
    }
    auto copy = std::make_unique<CItemId>(folder);
    if (!copy->List())
        return;
    if (!m_slots[kSlots - 1])
        ++m_count;
    for (int j = kSlots - 1; j > 0; --j)
        m_slots[j] = std::move(m_slots[j - 1]);
    m_slots[0] = std::move(copy);
}

void CRecentFolders::Clear()
{
    for (auto& slot : m_slots)
        slot.reset();
    m_count = 0;
}

CText CRecentFolders::DisplayName(int slot) const
{
    const CItemId* folder = At(slot);
    CText name;
    if (!folder)
        return name;
    CItemId parent(*folder);
    CItemId last;
    if (parent.Split(&last)) {
        CShellFolder shellFolder(parent);
        if (shellFolder.IsValid())
            shellFolder.GetDisplayName(last, name);
    } else {
        // The desktop itself, or a folder right on it.
        CShellFolder desktop;
        if (desktop.IsValid())
            desktop.GetDisplayName(*folder, name);
    }
    return name;
}

void CRecentFolders::Read(CRegistryKey& key, UINT countNameId, UINT valueFormatId)
{
    CText countName;
    if (!countName.LoadString(AppInstance(), countNameId))
        return;
    DWORD count = 0;
    if (!key.GetLongValue(countName, count) || count == 0)
        return;
    // Oldest first, so that number 1 ends in slot 0.
    for (int number = kSlots; number >= 1; --number) {
        std::vector<BYTE> data;
        if (!key.GetBinaryValue(ValueName(valueFormatId, number), data, kMaxStoredList) || data.empty())
            continue;
        const UINT length = CItemId::CheckedLength(data.data(), data.size());
        if (length == 0)
            continue;
        CItemId folder(reinterpret_cast<LPCITEMIDLIST>(data.data()));
        Add(folder);
    }
}

void CRecentFolders::Write(CRegistryKey& key, UINT countNameId, UINT valueFormatId) const
{
    CText countName;
    if (!countName.LoadString(AppInstance(), countNameId))
        return;
    key.SetLongValue(countName, static_cast<DWORD>(m_count));
    for (int slot = 0; slot < kSlots; ++slot) {
        const CItemId* folder = m_slots[slot].get();
        if (!folder || !folder->List())
            continue;
        key.SetBinaryValue(ValueName(valueFormatId, slot + 1), folder->List(), folder->Length());
    }
}

void CRecentFolders::AddDefaults(UINT programFilesNameId, UINT windowsKeyId)
{
    char windows[MAX_PATH]{};
    const UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length > 0 && length < sizeof windows) {
        CItemId folder;
        if (folder.Set(CText(windows)))
            Add(folder);
    }
    CItemId documents(CSIDL_PERSONAL);
    if (documents.List() && !documents.IsDesktop())
        Add(documents);
    CText keyName;
    CText valueName;
    CRegistryKey key;
    CText programFiles;
    if (keyName.LoadString(AppInstance(), windowsKeyId) && valueName.LoadString(AppInstance(), programFilesNameId)
        && key.OpenKey(HKEY_LOCAL_MACHINE, keyName, CRegistryKey::kRead) && key.GetStringValue(valueName, programFiles)) {
        CItemId folder;
        if (folder.Set(programFiles))
            Add(folder);
    }
}
