#include "RecentList.h"

#include "ExistingFile.h"
#include "../common/ComPtr.h"
#include "../common/RegistryKey.h"
#include "../common/TraceLog.h"

#include <cstdio>
#include <utility>

namespace {

const char kRecentKey[] = "Recent";
const char kNumRecentValue[] = "NumRecent";

CText RecentValueName(int number)
{
    char name[16]{};
    std::snprintf(name, sizeof name, "Recent%02d", number);
    return CText(name);
}

// Bytes left between the stream's position and its end; 0 when unknown.
ULONGLONG BytesLeft(IStream* stream)
{
    STATSTG stat{};
    LARGE_INTEGER zero{};
    ULARGE_INTEGER position{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || FAILED(stream->Seek(zero, STREAM_SEEK_CUR, &position)))
        return 0;
    return stat.cbSize.QuadPart > position.QuadPart ? stat.cbSize.QuadPart - position.QuadPart : 0;
}

} // namespace

BOOL RecentFileExists(const char* path)
{
    return IsExistingFile(path);
}

CText ShortenedPath(const char* path, int maximum)
{
    CText whole(path ? path : "");
    if (whole.Length() <= maximum)
        return whole;
    const int first = whole.Find('\\');
    const int second = first >= 0 ? whole.Find('\\', first + 1) : -1;
    const int last = whole.ReverseFind('\\');
    if (first < 0 || second < 0 || last <= second)
        return whole;
    CText head(whole);
    head.Left(second + 1);
    CText tail(whole);
    tail.Right(whole.Length() - last);
    head += "...";
    head += tail;
    return head;
}

BOOL CRecentList::Add(const char* path, BOOL checkExists)
{
    if (!path || !*path)
        return FALSE;
    if (checkExists && !RecentFileExists(path))
        return FALSE;
    if (!m_entries)
        m_entries = std::make_unique<Entries>();
    CText* paths = m_entries->paths;
    CText* menuTexts = m_entries->menuTexts;
    int found = -1;
    for (int i = 0; i < m_count; ++i) {
        if (paths[i].Compare(path) == 0) {
            found = i;
            break;
        }
    }
    if (found >= 0) {
        // The entry keeps its own spelling and its menu text.
        for (int i = found; i > 0; --i) {
            std::swap(paths[i], paths[i - 1]);
            std::swap(menuTexts[i], menuTexts[i - 1]);
        }
        return TRUE;
    }
    const int last = m_count < kMaxEntries ? m_count : kMaxEntries - 1;
    for (int i = last; i > 0; --i) {
        paths[i] = std::move(paths[i - 1]);
        menuTexts[i] = std::move(menuTexts[i - 1]);
    }
    paths[0] = path;
    menuTexts[0] = "";
    if (m_count < kMaxEntries)
        ++m_count;
    return TRUE;
}

void CRecentList::Remove(int index)
{
    if (index < 0 || index >= m_count)
        return;
    CText* paths = m_entries->paths;
    CText* menuTexts = m_entries->menuTexts;
    for (int i = index; i + 1 < m_count; ++i) {
        paths[i] = std::move(paths[i + 1]);
        menuTexts[i] = std::move(menuTexts[i + 1]);
    }
    --m_count;
    paths[m_count] = "";
    menuTexts[m_count] = "";
}

void CRecentList::Clear()
{
    m_entries.reset();
    m_count = 0;
}

BOOL CRecentList::GetEntry(int index, CText& path) const
{
    if (index < 0 || index >= m_count) {
        path = "";
        return FALSE;
    }
    path = m_entries->paths[index];
    return TRUE;
}

BOOL CRecentList::GetMenuText(int index, CText& text, int maximum) const
{
    if (index < 0 || index >= m_count) {
        text = "";
        return FALSE;
    }
    CText& cached = m_entries->menuTexts[index];
    if (cached.IsEmpty() || cached.Length() >= maximum)
        cached = ShortenedPath(m_entries->paths[index].c_str(), maximum);
    text = cached;
    return TRUE;
}

BOOL CRecentList::Read(IStream* stream)
{
    Clear();
    DWORD count = 0;
    ULONG got = 0;
    if (!stream || FAILED(stream->Read(&count, sizeof count, &got)) || got != sizeof count) {
        Trace("CRecentList::Read: No #files data present");
        return FALSE;
    }
    // The count comes from the file: never more entries than the list holds,
    // nor than the stream has room for (each needs at least its 2-byte count).
    ULONGLONG entries = count;
    if (entries > kMaxEntries)
        entries = kMaxEntries;
    const ULONGLONG room = BytesLeft(stream) / 2;
    if (entries > room)
        entries = room;
    for (ULONGLONG i = 0; i < entries; ++i) {
        CText path;
        if (!path.Read(stream)) {
            // Nothing after a broken entry can be trusted to start where it should.
            Trace("CRecentList::Read: Failed to read a string");
            break;
        }
        Add(path.c_str(), FALSE);
    }
    Trace("CRecentList::Read: Complete");
    return TRUE;
}

BOOL CRecentList::Write(IStream* stream) const
{
    if (!stream)
        return FALSE;
    const DWORD count = static_cast<DWORD>(m_count);
    ULONG written = 0;
    if (FAILED(stream->Write(&count, sizeof count, &written)) || written != sizeof count) {
        Trace("CRecentList::Write: Failed to write number of recent elements");
        return FALSE;
    }
    for (int i = m_count - 1; i >= 0; --i) {
        if (!m_entries->paths[i].Write(stream)) {
            Trace("CRecentList::Write: Failed to write nth file");
            return FALSE;
        }
    }
    Trace("CRecentList::Write: Complete");
    return TRUE;
}

BOOL CRecentList::ReadFromStorage(IStorage* storage)
{
    Clear();
    CComPtr<IStream> stream;
    const HRESULT hr =
        storage ? storage->OpenStream(L"RECENT", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.put()) : E_POINTER;
    if (FAILED(hr)) {
        Trace("CRecentList::Read: OpenStream failed");
        return FALSE;
    }
    return Read(stream.Get());
}

BOOL CRecentList::WriteToStorage(IStorage* storage) const
{
    if (m_count == 0)
        return TRUE;
    CComPtr<IStream> stream;
    const HRESULT hr =
        storage ? storage->CreateStream(L"RECENT", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, stream.put())
                : E_POINTER;
    if (FAILED(hr)) {
        Trace("CRecentList::WriteToStorage: Failed to create stream");
        if (TraceOn())
            LogHResult(hr);
        return FALSE;
    }
    return Write(stream.Get());
}

BOOL CRecentList::ReadFromRegistry(HKEY root, const CText& parent)
{
    Clear();
    CText path(parent);
    path += "\\";
    path += kRecentKey;
    CRegistryKey key;
    DWORD stored = 0;
    if (!key.OpenKey(root, path, CRegistryKey::kRead) || !key.GetLongValue(kNumRecentValue, stored))
        return FALSE;
    // The oldest first, so that value 1 ends at the top.
    for (int number = kMaxEntries; number >= 1; --number) {
        CText value;
        if (key.GetStringValue(RecentValueName(number), value) && !value.IsEmpty())
            Add(value.c_str(), TRUE);
    }
    return TRUE;
}

BOOL CRecentList::WriteToRegistry(HKEY root, const CText& parent) const
{
    CText path(parent);
    path += "\\";
    path += kRecentKey;
    CRegistryKey key;
    if (!key.CreateKey(root, path, nullptr, CRegistryKey::kWrite)
        || !key.SetLongValue(kNumRecentValue, static_cast<DWORD>(m_count)))
        return FALSE;
    BOOL ok = TRUE;
    for (int number = 1; number <= kMaxEntries; ++number) {
        const CText name = RecentValueName(number);
        if (!key.SetStringValue(name, number <= m_count ? m_entries->paths[number - 1] : CText()))
            ok = FALSE;
    }
    return ok;
}
