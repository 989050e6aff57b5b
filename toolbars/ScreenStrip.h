// A toolbar docked along an edge may keep a strip of the screen for itself,
// as the taskbar does: it registers as an application desktop toolbar, and
// the shell takes the strip out of the work area other programs get, so
// maximised windows stop at it.  The choice is the user's per toolbar file,
// kept in the registry beside the program's options: the toolbar record of
// the file is left exactly as older versions read it.
#pragma once

#include <windows.h>
#include <shellapi.h>

// The shell's message to a registered toolbar, with ABN_* in wParam.
constexpr UINT kScreenStripMessage = WM_APP + 40;
// The edge a toolbar in a corner runs along: a horizontal one along the top
// or bottom, a vertical one along the left or right; kNoStripEdge for a
// fixed or floating toolbar.
constexpr UINT kNoStripEdge = 0xFFFFFFFFu;
UINT StripEdge(int dockCorner, int orientation);
// The strip of the monitor a toolbar of size asks for along edge.
RECT StripRequest(UINT edge, const RECT& monitor, SIZE size);
// Where the toolbar stands inside the strip it was granted: at the end of
// the strip its corner names.
POINT StripPosition(UINT edge, int dockCorner, const RECT& granted, SIZE size);

// The option per toolbar file; a toolbar not yet saved has none.  Off is
// kept as no value at all, so the key holds only the files that want a strip.
BOOL ReadScreenStripOption(const char* programKey, const char* toolbarFile);
BOOL WriteScreenStripOption(const char* programKey, const char* toolbarFile, BOOL on);
// Drops the options of files that are gone from folders that are still
// there (deleted or renamed by someone else); a file on a drive that is
// away keeps its option.
void PruneScreenStripOptions(const char* programKey);

// One registration with the shell; it goes when the object does, and the
// shell also drops it when the window is destroyed.
class CScreenStrip
{
public:
    explicit CScreenStrip(HWND window) : m_window(window) {}
    ~CScreenStrip() { Release(); }
    CScreenStrip(const CScreenStrip&) = delete;
    CScreenStrip& operator=(const CScreenStrip&) = delete;

    // Asks for the strip and takes what the shell grants; false when the
    // shell refuses the registration.
    bool Claim(UINT edge, const RECT& monitor, SIZE size, RECT& granted);
    void Release();
    bool IsRegistered() const { return m_registered; }
    // What the shell wants to hear of the window's activation and moves.
    void Activated();
    void WindowPosChanged();

private:
    HWND m_window;
    bool m_registered = false;
    UINT m_edge = kNoStripEdge;
    RECT m_granted{0, 0, 0, 0};
};
