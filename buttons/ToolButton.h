// CToolButton: what every button of a toolbar shares.  A button is at once a
// small child window of its toolbar (class "CToolButtonWindow") and a record in
// the toolbar file; the kinds with a shell target derive from it.
#pragma once

#include "ButtonHost.h"
#include "../common/ComPtr.h"
#include "../common/ScopedHandle.h"
#include "../common/WindowBase.h"

#include <objidl.h>
#include <shlobj.h>

class CApplication;

// The first field of every stored button record.
enum ButtonKind : DWORD {
    kKindNone = 0,
    kKindSpace = 1,
    kKindProgram = 2,
    kKindFolder = 3,
    kKindShortcut = 4,   // only a request to the toolbar; no button carries it
    kKindGroup = 5,
    kKindUrl = 6,
};

class CToolButton : public CWindowBase
{
public:
    static constexpr UINT_PTR kHoldTimer = 669;
    static constexpr UINT kHoldDelay = 500;
    static constexpr int kDragDistance = 3;
    // The sides of the icons the file stores for size index 0, 1 and 2.
    static constexpr int kStoredIconSides[3] = {16, 32, 48};
    // Entries 0 and 1 of every image list are the toolbar's overlays.
    static constexpr int kOverlayImages = 2;

    CToolButton(IButtonHost* host, CApplication* application, void* owner);
    ~CToolButton() override;

    BOOL OnLButtonDown(UINT flags, int x, int y) override;
    BOOL OnLButtonUp(UINT flags, int x, int y) override;
    BOOL OnRButtonDown(UINT flags, int x, int y) override;
    BOOL OnRButtonUp(UINT flags, int x, int y) override;
    BOOL OnMouseMove(UINT flags, int x, int y) override;
    BOOL OnTimer(UINT_PTR timerId) override;
    BOOL OnPaint(PAINTSTRUCT& paint) override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnHelp(HELPINFO* helpInfo) override;
    BOOL OnDestroy() override;
    LRESULT WindowProc(UINT message, WPARAM first, LPARAM second) override;

    using CWindowBase::Create;
    virtual BOOL Create(IShellLinkA* link, const CreationData& data, int mode);
    virtual BOOL Create(LPCITEMIDLIST itemList, const CreationData& data, int mode);
    virtual BOOL Create(IStorage* storage, const CreationData& data, int mode);
    virtual BOOL Create(IStream* stream, const CreationData& data, int mode);
    virtual BOOL Create(const char* fileName, const CreationData& data, int mode);
    // Modes 2 and 3 take the record's values; mode 3 also makes the window.
    virtual BOOL Create(const CreationData& data, int mode);

    virtual void Activate(BOOL flag);
    virtual BOOL OnHold();
    virtual void OnRightClick(BOOL flag);
    virtual BOOL Read(IStream* stream, DWORD version, int mode);
    virtual BOOL Read2(IStorage* storage, DWORD version, int mode);
    virtual BOOL Write(IStream* stream, DWORD version);
    virtual BOOL Write2(IStorage* storage, DWORD version);
    virtual void ShowProperties();
    virtual void Move(int x, int y, int cx, int cy);
    virtual void GetDescription(CText& text) const;
    virtual int GetWidth() const;
    virtual SIZE GetSize() const;
    virtual BOOL SetIconSize(int sizeIndex, BOOL reload);
    virtual void SetDescription(const char* text);
    virtual void SetPressed(BOOL pressed);
    virtual void GetTooltipText(NMTTDISPINFOA* request);
    virtual void SetDropHighlight(BOOL highlight);
    virtual void SetColour(COLORREF colour);

    // A drag over the button's window, as the toolbar's drop target passes it
    // on: the drop kind, the effects the data allows and whether every item
    // is a program.  A plain button hands each call to its toolbar.
    virtual void DragEnter(IDataObject* data, DWORD keys, POINTL point, int kind, DWORD allowed, BOOL allPrograms,
                           DWORD* effect);
    virtual void DragOver(DWORD keys, POINTL point, DWORD* effect);
    virtual void DragLeave();
    // TRUE when the drop was handled.
    virtual BOOL Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect);

    void ApplyCreationData(const CreationData& data);
    void SetFocused(BOOL focused);
    void SetRaised(BOOL raised);
    CIconHandle GetIcon(int sizeIndex) const;
    // The button's entry leaves the three image lists, whose later entries
    // move down one place; gives the entry it had, or -1 when it had none.
    int ReleaseImage();
    // Another button's entry at that index has left the lists.
    void ImageRemoved(int index);
    BOOL ReadIconFromFile(int sizeIndex, IStorage* storage, HICON& icon);
    // The stored mask and colour bitmaps of one icon size, as they are.
    BOOL ReadIconBitmapsFromFile(int sizeIndex, IStorage* storage, CBitmapHandle& colour, CBitmapHandle& mask);
    // Puts the stored sizes' bitmaps (small, normal, large) into the button's
    // entry of each image list it has, or appends one entry to each; only the
    // sizes those lists take from (StoredSizeFor) need be there.
    BOOL PutIconBitmaps(CBitmapHandle (&colours)[3], CBitmapHandle (&masks)[3]);
    // The stored icon size a list of the size index takes its image from.
    int StoredSizeFor(int sizeIndex) const;
    // Marks in sizes the stored sizes the lists marked take their images from.
    void StoredSizesFor(const bool (&lists)[3], bool (&sizes)[3]) const;
    // Reads the stored sizes marked, largest first; FALSE when one of them is
    // missing or damaged.
    BOOL ReadStoredBitmaps(IStorage* storage, const bool (&sizes)[3], CBitmapHandle (&colours)[3],
                           CBitmapHandle (&masks)[3]);
    // The icons came from the button's stored streams and have not changed
    // since; the toolbar then fills a list it left waiting from the element
    // the button was read from.
    bool IconsAsStored() const { return m_iconsAsStored; }
    int StoredElement() const { return m_storedElement; }
    void SetStoredElement(int element) { m_storedElement = element; }
    // Puts the stored icons of the element's streams into the button's entry
    // of the lists marked, which the toolbar has just made long enough.
    BOOL PutStoredEntries(IStorage* storage, const bool (&lists)[3]);
    BOOL WriteIconToFile(int sizeIndex, IStorage* storage);
    void Destroy();

    // The toolbar's lists take other image lists (of another size), or one
    // it had left waiting is filled; the button keeps its entry.
    void SetImageLists(HIMAGELIST large, HIMAGELIST normal, HIMAGELIST small, BOOL redraw = TRUE);
    // Takes the button's icons again from their source, at the sizes the
    // image lists have now; FALSE (the entries as they were) when the
    // source cannot be read.
    virtual BOOL ReloadIcons() { return FALSE; }
    // The side of the icons in the list of a size index, in pixels.
    int ListSide(int sizeIndex) const;
    int ScreenDpi() const { return m_host ? m_host->ScreenDpi() : 96; }

    ButtonKind Kind() const { return m_kind; }
    // 16, 32 or 48 (4, 8 or 12 for a space) at 96 dpi, whatever the monitor.
    int IconSize() const { return m_iconSize; }
    int SizeIndex() const { return m_iconSize == 16 ? 0 : (m_iconSize == 32 ? 1 : 2); }
    const CText& Description() const { return m_description; }
    BOOL IsModified() const { return m_modified; }
    void SetModified(BOOL modified) { m_modified = modified ? 1 : 0; }
    BOOL IsTargetOk() const { return m_targetOk; }
    void SetTargetOk(BOOL ok) { m_targetOk = ok ? 1 : 0; }
    BOOL AllowsDrops() const { return m_allowDrops; }
    BOOL IsPressed() const { return m_pressed; }
    BOOL IsFocused() const { return m_focused; }
    int ImageIndex() const { return m_imageIndex; }
    IButtonHost* Host() const { return m_host; }

protected:
    // The image list of the button's own icon size.
    HIMAGELIST CurrentList() const;
    HIMAGELIST ListOf(int sizeIndex) const;
    // A toolbar opening its file fills only the list of the size it shows
    // and hands the others out as null.  Icons of any source but the stored
    // streams go into every list, so the waiting ones are asked for first;
    // stored icons wait with the lists while the toolbar reads its file.
    void TakeWaitingLists(bool storedIcons);
    // A 96-dpi size on the toolbar's monitor.
    int Px(int size) const;
    // The side the button's icon is drawn with.
    int IconSide() const { return Px(m_iconSize); }
    void DrawDescription(HDC dc, int iconX);
    void StopHoldTimer();
    void RelayToTooltip(UINT message, WPARAM first, LPARAM second);
    BOOL PointInside(int x, int y) const;

    IButtonHost* m_host;
    void* m_owner;
    ButtonKind m_kind = kKindNone;
    DWORD m_allowDrops = 0;
    CText m_description;
    HWND m_tooltip = nullptr;
    HIMAGELIST m_largeList = nullptr;
    HIMAGELIST m_normalList = nullptr;
    HIMAGELIST m_smallList = nullptr;
    int m_imageIndex = -1;
    int m_storedElement = -1;
    bool m_iconsAsStored = false;
    int m_iconSize = 32;
    COLORREF m_colour;
    int m_modified = 0;
    int m_focused = 0;
    int m_targetOk = 1;
    int m_dropHighlight = 0;
    int m_pressed = 0;
    int m_raised = 0;
    POINT m_pressPoint{-1, -1};
    int m_mouseDown = 0;
    int m_holdDone = 0;
    int m_holdTimerRunning = 0;
};

// A gap between buttons: no window, and its record is its kind alone.
class CSpaceButton : public CToolButton
{
public:
    CSpaceButton(IButtonHost* host, CApplication* application, void* owner);
    ~CSpaceButton() override;
    BOOL SetIconSize(int sizeIndex, BOOL reload) override;
};
