#include "ScreenStrip.h"

#include "ToolbarSettings.h"
#include "../common/RegistryKey.h"
#include "../common/ScopedHandle.h"
#include "../common/TraceLog.h"

#include <vector>

namespace {

const char kStripKey[] = "\\ScreenStrip";

APPBARDATA StripData(HWND window)
{
    APPBARDATA data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uCallbackMessage = kScreenStripMessage;
    return data;
}

} // namespace

UINT StripEdge(int dockCorner, int orientation)
{
    const bool horizontal = orientation == kHorizontal;
    switch (dockCorner) {
    case kCornerTopLeft: return horizontal ? ABE_TOP : ABE_LEFT;
    case kCornerTopRight: return horizontal ? ABE_TOP : ABE_RIGHT;
    case kCornerBottomLeft: return horizontal ? ABE_BOTTOM : ABE_LEFT;
    case kCornerBottomRight: return horizontal ? ABE_BOTTOM : ABE_RIGHT;
    default: return kNoStripEdge;
    }
}

RECT StripRequest(UINT edge, const RECT& monitor, SIZE size)
{
    RECT strip = monitor;
    switch (edge) {
    case ABE_TOP: strip.bottom = strip.top + size.cy; break;
    case ABE_BOTTOM: strip.top = strip.bottom - size.cy; break;
    case ABE_LEFT: strip.right = strip.left + size.cx; break;
    case ABE_RIGHT: strip.left = strip.right - size.cx; break;
    default: break;
    }
    return strip;
}

POINT StripPosition(UINT edge, int dockCorner, const RECT& granted, SIZE size)
{
    const bool right = dockCorner == kCornerTopRight || dockCorner == kCornerBottomRight;
    const bool bottom = dockCorner == kCornerBottomLeft || dockCorner == kCornerBottomRight;
    if (edge == ABE_TOP || edge == ABE_BOTTOM)
        return POINT{right ? granted.right - size.cx : granted.left, edge == ABE_TOP ? granted.top : granted.bottom - size.cy};
    return POINT{edge == ABE_LEFT ? granted.left : granted.right - size.cx, bottom ? granted.bottom - size.cy : granted.top};
}

namespace {

CText StripKey(const char* programKey)
{
    CText key(programKey);
    key += kStripKey;
    return key;
}

} // namespace

BOOL ReadScreenStripOption(const char* programKey, const char* toolbarFile)
{
    if (!programKey || !toolbarFile || !*toolbarFile)
        return FALSE;
    CRegistryKey key;
    DWORD value = 0;
    if (!key.OpenKey(HKEY_CURRENT_USER, StripKey(programKey), CRegistryKey::kRead)
        || !key.GetLongValue(CText(toolbarFile), value))
        return FALSE;
    return value != 0;
}

BOOL WriteScreenStripOption(const char* programKey, const char* toolbarFile, BOOL on)
{
    if (!programKey || !toolbarFile || !*toolbarFile)
        return FALSE;
    if (on) {
        CRegistryKey key;
        return key.CreateKey(HKEY_CURRENT_USER, StripKey(programKey), nullptr, CRegistryKey::kWrite)
               && key.SetLongValue(CText(toolbarFile), 1);
    }
    HKEY raw = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, StripKey(programKey).c_str(), 0, KEY_SET_VALUE, &raw) != ERROR_SUCCESS)
        return TRUE;   // no key, no option
    CRegKeyHandle key(raw);
    const LONG result = RegDeleteValueA(key.Get(), toolbarFile);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

void PruneScreenStripOptions(const char* programKey)
{
    if (!programKey)
        return;
    HKEY raw = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, StripKey(programKey).c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &raw)
        != ERROR_SUCCESS)
        return;
    CRegKeyHandle key(raw);
    std::vector<CText> gone;
    for (DWORD index = 0;; ++index) {
        char name[MAX_PATH + 1]{};
        DWORD length = sizeof name;
        const LONG result = RegEnumValueA(key.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA)
            continue;   // no path of ours is that long: not a value this program wrote
        if (result != ERROR_SUCCESS)
            break;
        if (GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES)
            continue;
        CText folder(name);
        const int slash = folder.ReverseFind('\\');
        if (slash <= 0)
            continue;
        folder.Left(slash);
        if (folder.Length() == 2 && folder.c_str()[1] == ':')
            folder += "\\";
        if (GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES)
            gone.push_back(CText(name));
    }
    // Deleted after the walk: deleting during it would renumber the values.
    for (const CText& name : gone)
        RegDeleteValueA(key.Get(), name.c_str());
}

bool CScreenStrip::Claim(UINT edge, const RECT& monitor, SIZE size, RECT& granted)
{
    APPBARDATA data = StripData(m_window);
    if (!m_registered) {
        if (!SHAppBarMessage(ABM_NEW, &data)) {
            if (TraceOn())
                LogText("CScreenStrip::Claim: the shell refused the registration");
            return false;
        }
        m_registered = true;
    }
    data.uEdge = edge;
    data.rc = StripRequest(edge, monitor, size);
    SHAppBarMessage(ABM_QUERYPOS, &data);
    // The shell moves the strip off other desktop toolbars on the same edge;
    // the toolbar's own thickness is put back from the side it grows from.
    switch (edge) {
    case ABE_TOP: data.rc.bottom = data.rc.top + size.cy; break;
    case ABE_BOTTOM: data.rc.top = data.rc.bottom - size.cy; break;
    case ABE_LEFT: data.rc.right = data.rc.left + size.cx; break;
    case ABE_RIGHT: data.rc.left = data.rc.right - size.cx; break;
    default: break;
    }
    if (edge != m_edge || !EqualRect(&data.rc, &m_granted))
        SHAppBarMessage(ABM_SETPOS, &data);
    m_edge = edge;
    m_granted = data.rc;
    granted = data.rc;
    return true;
}

void CScreenStrip::Release()
{
    if (!m_registered)
        return;
    APPBARDATA data = StripData(m_window);
    SHAppBarMessage(ABM_REMOVE, &data);
    m_registered = false;
    m_edge = kNoStripEdge;
    SetRectEmpty(&m_granted);
}

void CScreenStrip::Activated()
{
    if (!m_registered)
        return;
    APPBARDATA data = StripData(m_window);
    SHAppBarMessage(ABM_ACTIVATE, &data);
}

void CScreenStrip::WindowPosChanged()
{
    if (!m_registered)
        return;
    APPBARDATA data = StripData(m_window);
    SHAppBarMessage(ABM_WINDOWPOSCHANGED, &data);
}
