// What a button asks of the toolbar it stands on.  The toolbar implements
// IButtonHost and hands itself to every button it creates, so that buttons
// never see the toolbar class itself.
#pragma once

#include "../common/Text.h"

#include <commctrl.h>
#include <oleidl.h>

#include <memory>

class CToolButton;

// What a toolbar hands to every button it creates.  The values that are
// handles are kept at pointer size, so 64-bit Windows loses nothing.
struct CreationData {
    HWND tooltip = nullptr;
    UINT_PTR controlId = 0;
    int x = 0;
    int y = 0;
    int sizeIndex = 1;
    HIMAGELIST largeList = nullptr;
    HIMAGELIST normalList = nullptr;
    HIMAGELIST smallList = nullptr;
    DWORD version = 0;
    COLORREF colour = 0;
};

// Toolbar file versions; buttons write their records in the toolbar's.
enum : DWORD {
    kVersion10000 = 0x10000,
    kVersion11000 = 0x11000,
    kVersion20000 = 0x20000,
    kVersion21000 = 0x21000,
    kVersionCurrent = 0x23000,
};

// Protection bits of a toolbar: a set bit blocks that kind of change.
enum ProtectionFlags : DWORD {
    kProtectAdd = 0x01,
    kProtectRemove = 0x02,
    kProtectDrag = 0x04,
    kProtectButtonProperties = 0x08,
    kProtectClipboard = 0x10,
    kProtectTargetMenu = 0x20,
    kProtectToolbarProperties = 0x40,
};

// Commands whose sheets the program does not have yet stand greyed in the
// menus, never enabled and silent.  The button sheet turns them on.
constexpr bool kHasButtonProperties = true;

// How a button is made: from its record only, or with its window as well.
enum ButtonCreation : int {
    kCreateRecordOnly = 2,   // values of the record, no window (a toolbar read without one)
    kCreateWithWindow = 3,   // values and the button's window on its toolbar
};

// The toolbar a group button names: the open one, or one read for the moment.
class IGroupTarget
{
public:
    virtual ~IGroupTarget() = default;
    virtual int Count() const = 0;
    virtual CToolButton* Button(int index) const = 0;
    // An open toolbar may be closed while a menu or a box is up; a toolbar
    // read for the moment is always there.
    virtual bool StillThere() const = 0;
};

class IButtonHost
{
public:
    // The toolbar's window (null for a toolbar read without one) and file.
    virtual HWND Window() const = 0;
    virtual const CText& FileName() const = 0;
    // Reading its own file: stored buttons are taken as they are.
    virtual BOOL IsLoading() const = 0;
    virtual BOOL IsRestricted(DWORD flags) const = 0;
    // The size of the toolbar's buttons: 0 small, 1 normal, 2 large.
    virtual int ButtonSize() const = 0;
    virtual BOOL ShowDescription() const = 0;
    virtual BOOL ShowButtonBackground() const = 0;
    // The DPI of the monitor the toolbar stands on: the buttons' sizes are
    // 96-dpi sizes drawn scaled to it.
    virtual int ScreenDpi() const { return 96; }
    // Paints the toolbar's background into a button's device context whose
    // origin is at the given toolbar client point.
    virtual void PaintBackground(HDC dc, const RECT& area, POINT origin) const = 0;

    // What the user does with a button.
    virtual void HotTrack(CToolButton* button) = 0;
    virtual BOOL DragStart(CToolButton* button) = 0;
    virtual void ButtonReleased(CToolButton* button) = 0;
    virtual void MenuLoop(BOOL entering) = 0;
    virtual BOOL Help(UINT command, ULONG_PTR data) = 0;
    virtual BOOL Cut(CToolButton* button) = 0;
    virtual BOOL Copy(CToolButton* button) = 0;
    virtual BOOL Paste(CToolButton* after, BOOL report) = 0;
    virtual BOOL Remove(CToolButton* button) = 0;

    // A drag over a button that the button does not take goes to its toolbar.
    virtual void OnDragEnter(IDataObject* object, DWORD keys, POINTL point, int kind, DWORD* effect) = 0;
    virtual void OnDragOver(DWORD keys, POINTL point, DWORD* effect) = 0;
    virtual void OnDragLeave() = 0;
    virtual BOOL OnDrop(IDataObject* object, DWORD keys, POINTL point, DWORD* effect, CToolButton* on) = 0;
    virtual BOOL DropDataObjectOnButton(IDataObject* object, CToolButton* button, DWORD* effect,
                                        BOOL setTarget) = 0;

    // A toolbar opening its file fills the image list of the size it shows
    // and leaves the others waiting: null in the creation data.  This fills
    // them and gives the one of the size index (null from a host without
    // lists).
    virtual HIMAGELIST FilledImageList(int) { return nullptr; }

    // The toolbar a group button opens, or null when it cannot be had.
    virtual std::unique_ptr<IGroupTarget> OpenGroupTarget(const char* fileName) = 0;

protected:
    ~IButtonHost() = default;
};
