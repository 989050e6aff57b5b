// CToolbar: one toolbar, at once a document (a named, savable list of buttons
// with its display settings) and its top-level window of class
// "CToolbarWindow".  The toolbar set creates, owns and destroys every toolbar;
// each toolbar owns its buttons and lays them out in a grid.
#pragma once

#include "ScreenStrip.h"
#include "ToolbarGrid.h"
#include "ToolbarHost.h"
#include "ToolbarSettings.h"
#include "../buttons/ButtonHost.h"
#include "../common/ComPtr.h"
#include "../common/RepeatNotice.h"
#include "../common/SafeStorage.h"
#include "../common/ScopedHandle.h"
#include "../common/WindowBase.h"

#include <commctrl.h>
#include <oleidl.h>

#include <memory>
#include <vector>

class CApplication;
class CToolbarSet;
class CToolButton;
class COpenProgressDialog;
class CItemId;

// Where the keyboard focus can stand besides the buttons' own indices.
enum FocusPosition : int {
    kFocusToolbarMenuButton = -2,
    kFocusProgramMenuButton = -1,
};

// How much of a toolbar file Read takes; the mode is passed on to every button.
enum ReadMode : int {
    kReadRecordOnly = 1,    // the toolbar record alone
    kReadButtonsOnly = 2,   // record and buttons into the object, its window untouched
    kReadAndShow = 3,       // a full open of a visible toolbar: buttons, then the window's place
};

class CToolbar : public CWindowBase, public IButtonHost
{
public:
    static constexpr int kMaxButtons = 256;
    static constexpr UINT_PTR kHoverTimer = 389;
    static constexpr UINT kHoverPeriod = 100;
    static constexpr int kMenuButtonSize = kMenuButtonStrip;
    static constexpr UINT kToolbarMenuButtonId = 101;
    static constexpr UINT kProgramMenuButtonId = 102;

    CToolbar(CApplication* application, CToolbarSet* set, IToolbarHost* host);
    ~CToolbar() override;

    // Window and document.
    BOOL Create(const char* fileName, COpenProgressDialog* progress);
    BOOL OnCreate(HWND handle) override;
    BOOL OnLButtonDown(UINT flags, int x, int y) override;
    BOOL OnLButtonDblClk(UINT flags, int x, int y) override;
    BOOL OnContextMenu(HWND window, int x, int y) override;
    BOOL OnMouseMove(UINT flags, int x, int y) override;
    BOOL OnKeyDown(UINT key, LPARAM data) override;
    BOOL OnKeyUp(UINT key, LPARAM data) override;
    BOOL OnChar(UINT character, LPARAM data) override;
    BOOL OnTimer(UINT_PTR timerId) override;
    BOOL OnPaint(PAINTSTRUCT& paint) override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnHelp(HELPINFO* helpInfo) override;
    BOOL OnClose() override;
    BOOL OnDestroy() override;
    LRESULT WindowProc(UINT message, WPARAM first, LPARAM second) override;

    // Buttons.
    // The one way a new button joins the toolbar, after `after` (null: at
    // the end).  The inserted button, or null: then the button and its
    // window are gone.
    CToolButton* InsertNewButton(std::unique_ptr<CToolButton> button, CToolButton* after);
    // A full toolbar tells so (once a burst) and is TRUE; a refused
    // hand-over asks first, so that nothing is read or made for it.
    BOOL RefuseWhenFull();
    BOOL Remove(int index);
    BOOL Remove(CToolButton* button) override;
    // Exchanges two buttons' places and lays them out again without
    // resizing the toolbar.
    BOOL SwapButtons(int first, int second);
    // A button that goes gives its entry in the image lists back; the
    // buttons whose entries were behind it learn their new ones.
    void ReleaseImage(CToolButton* button);
    CToolButton* AddButton(int kind, CToolButton* after);
    // A button for a shell object (its folder and its own item) or a path,
    // of the kind the object calls for, appended at the end.
    BOOL AddButtonFromItemIds(const CItemId& folder, const CItemId& item);
    BOOL AddButtonFromPath(const char* path);
    // Adds the clipboard's buttons, files or shell objects after `after`
    // (null: at the end) and empties the clipboard on success.  With report
    // set a failure shows its message; the companions' hand-over leaves that
    // to its own message.
    BOOL Paste(CToolButton* after = nullptr, BOOL report = FALSE) override;
    int IndexOf(const CToolButton* button) const;
    int Count() const { return static_cast<int>(m_buttons.size()); }
    CToolButton* Button(int index) const { return index >= 0 && index < Count() ? m_buttons[static_cast<size_t>(index)].get() : nullptr; }
    void StoreCreationData(CreationData& data) const;
    // How a new button is created: with its window when the toolbar has one
    // (mode 3), as a record only when it has none (a toolbar read by ltltool).
    int ButtonCreationMode() const { return Handle() ? kCreateWithWindow : kCreateRecordOnly; }

    // Data transfer: clipboard, drag and drop (DataTransfer.cpp).
    BOOL Copy(CToolButton* button) override;
    BOOL Cut(CToolButton* button) override;
    BOOL AddButtonFromDataObject(IDataObject* object, CToolButton* after, BOOL rightDrag);
    BOOL DropDataObjectOnButton(IDataObject* object, CToolButton* button, DWORD* effect, BOOL setTarget) override;
    // The drop kind: the first transfer format the object offers, or -1.
    int CanAcceptDrag(IDataObject* object) const;
    // Whether the clipboard holds anything a paste can use.
    BOOL ClipboardHasUsableData() const;
    static int GetButtonType(const char* path);
    static int GetButtonType(const CItemId& folder, const CItemId& item);
    // 1 when a shortcut is added as it is, 2 when it is resolved to its target.
    static int GetShortcutType(const char* path);
    CToolButton* AddButton(int kind, const char* path, CToolButton* after);
    CToolButton* AddButton(int kind, const CItemId& folder, const CItemId& item, CToolButton* after);
    CToolButton* ResolveShortcut(const char* path, CToolButton* after);
    // The toolbar's own part of a drag over it; a button passes its calls on
    // here when it does not take them.  `on` names the button dropped on.
    void OnDragEnter(IDataObject* object, DWORD keys, POINTL point, int kind, DWORD* effect) override;
    void OnDragOver(DWORD keys, POINTL point, DWORD* effect) override;
    void OnDragLeave() override;
    BOOL OnDrop(IDataObject* object, DWORD keys, POINTL point, DWORD* effect, CToolButton* on) override;

    // Grid: the arithmetic of ToolbarGrid.h over this toolbar's buttons and settings.
    std::vector<GridCell> GridCells() const;
    GridContext Context() const;
    POINT GetSlotPosition(int index) const;
    SIZE CalcButtonArea(int perLine) const;
    SIZE CalcButtonArea(int perLine, int orientation) const;
    SIZE CalcFrameSize(BOOL vertical, BOOL docked) const;
    SIZE CalcWindowSize();
    void SetPlacement(int x, int y, int width, int height);
    void Relayout(BOOL resize);
    void Reposition();

    // Docking, sizing and autohide.
    BOOL OnMoving(UINT edge, RECT& rect);
    BOOL OnSizing(UINT edge, RECT& rect);
    SIZE FitToSize(int width, int height, UINT edge);
    void CalcDockedRect(RECT& rect);
    void SetCollapsed(BOOL collapse);
    int CornerIndex() const;
    // A toolbar whose place lay on no monitor stands on the nearest one
    // meanwhile; its place is kept, goes into the file and is where it
    // returns when its monitor does.
    BOOL IsDisplaced() const { return m_displaced; }
    POINT StoredPlace() const { return m_storedPlace; }
    void SetDisplaced(BOOL displaced, POINT storedPlace)
    {
        m_displaced = displaced;
        m_storedPlace = storedPlace;
    }
    // The strip of the screen a toolbar docked in a corner may keep
    // (ScreenStrip.h).  An autohide toolbar keeps none: its strip would
    // grow and shrink under the other windows with every hover.
    static constexpr UINT kScreenStripCommand = 40900;
    BOOL ScreenStripOption();
    void SetScreenStripOption(BOOL on);
    BOOL WantsScreenStrip();
    // Claims the strip along the toolbar's edge of the monitor and gives the
    // window's place in it; false when there is no strip to stand in.
    bool PlaceInScreenStrip(const RECT& monitor, SIZE size, POINT& at);
    void ReleaseScreenStrip();
    // Writes the choice for the toolbar's file, as it was just saved.
    void StoreScreenStripOption();
    BOOL HasScreenStrip() const { return m_strip && m_strip->IsRegistered(); }

    // Showing, hiding, focus and hot tracking.
    void Show(BOOL fromHidden);
    void Hide(BOOL markInSet);
    void HotTrack(int index, BOOL restartTimer = TRUE);
    void HotTrack(CToolButton* button) override { HotTrack(IndexOf(button)); }
    void SetFocusIndex(int index);
    void MoveFocus(int dx, int dy);
    int FocusIndex() const { return m_focusIndex; }
    void MenuLoop(BOOL entering) override;
    void ButtonReleased(CToolButton* button) override;
    BOOL DragStart(CToolButton* button) override;
    void RunButton(int index);
    BOOL Help(UINT command, ULONG_PTR data) override;

    // The toolbar file.
    BOOL Open(const char* fileName, int mode);
    HWND Window() const override { return Handle(); }
    std::unique_ptr<IGroupTarget> OpenGroupTarget(const char* fileName) override;
    BOOL Read(IStorage* storage, int mode);
    BOOL Write(IStorage* storage);
    BOOL WriteToFile(const char* fileName, DWORD newVersion);
    BOOL Save(BOOL askName);
    BOOL SaveAs();
    // A new name for the toolbar's file; the toolbar keeps its screen strip
    // choice, which the next save stores for the new name.
    void SetFileName(const char* fileName);
    // Whether the last Create or Open failed because the file could not be read.
    BOOL ReadFailed() const { return m_readFailed; }
    // The format of the file that was read, and the one the next save writes.
    DWORD Version() const { return m_version; }

    // Document state.
    BOOL QueryClose();
    BOOL IsModified();
    void SetTitle(const char* newName);
    const CText& Name() const { return m_settings.name; }
    const CText& FileName() const override { return m_fileName; }
    BOOL IsRestricted(DWORD flags) const override;
    // Protection (ToolbarProtection.cpp).  Passwords are always scrambled.
    // Sets protection and level; while a password is required the given
    // one must be the stored one, or nothing changes.
    BOOL SetProtection(BOOL enabled, DWORD level, const CText& password);
    // The password, whether it is required and the quick-unlock option, as
    // the Protection page hands them over.
    void SetPasswordSettings(const CText& password, BOOL required, BOOL quickUnlockOption);
    // Asks for the password (dialog 165); a wrong one is told, and FALSE.
    BOOL ConfirmPassword(HWND owner);
    // Quick Lock / Quick Unlock, behind the password.
    BOOL ToggleQuickLock(HWND owner);
    BOOL IsQuickUnlocked() const { return m_quickUnlocked; }
    // The toolbar's menus and their commands (ToolbarMenu.cpp).
    void ShowToolbarMenu(HWND owner, BOOL forHiddenToolbar);
    void ShowAddMenu();
    // The toolbar's part of the program menu: an item per button (ids from
    // base), then its own commands (base + 300 to 303).
    void AddToMenu(HMENU menu, UINT base, BOOL hidden) const;
    void SetDirty() { m_dirty = 1; }
    void ClearDirty() { m_dirty = 0; }
    BOOL IsDirty() const { return m_dirty != 0; }

    // The stored settings: what the toolbar record of the file holds.  The
    // position and hidden flag in them are those of the file read last; a
    // save takes both from the window when there is one.
    const ToolbarSettings& Settings() const { return m_settings; }
    // Takes new settings as one edit: range-checked, the buttons follow a
    // new size or colour, the caption a new name or protection, and the
    // toolbar is marked changed and laid out again.
    void ApplySettings(const ToolbarSettings& settings);
    template <class Edit>
    void ChangeSettings(Edit edit)
    {
        ToolbarSettings changed(m_settings);
        edit(changed);
        ApplySettings(changed);
    }
    // Stores the button size and asks every button to change size.
    void SetButtonSize(int size);

    // What the buttons ask of their toolbar.
    int ButtonSize() const override { return m_settings.buttonSize; }
    BOOL ShowDescription() const override { return m_settings.showDescription; }
    BOOL ShowButtonBackground() const override { return m_settings.showButtonBackground; }
    HWND Tooltip() const { return m_tooltip; }
    // The image list of a size index, filled (see FillImageLists).
    HIMAGELIST ImageList(int sizeIndex);
    HIMAGELIST FilledImageList(int sizeIndex) override { return ImageList(sizeIndex); }
    // The DPI of the monitor the toolbar stands on; every size the toolbar
    // works out is its 96-dpi size scaled to it, and the settings keep the
    // 96-dpi sizes.
    int ScreenDpi() const override { return m_dpi; }
    // The toolbar stands on a monitor of another DPI: image lists and
    // buttons at the new size, the toolbar laid out again, a floating one at
    // the suggested rectangle (when there is one), a docked one docked again.
    void ChangeDpi(int dpi, const RECT* suggested);
    BOOL IsCollapsed() const { return m_collapsed; }
    BOOL IsLoading() const override { return m_loading != 0; }
    CToolbarSet* Set() const { return m_set; }
    CApplication* App() const;
    // Paints the toolbar's background (solid or gradient) into a device
    // context whose origin is at the given toolbar client point.
    void PaintBackground(HDC dc, const RECT& area, POINT origin) const override;
    // Hands the buttons the colour they are drawn on: the given toolbar
    // colour, or the gradient's average when neither end is black.
    void SetButtonBackground(COLORREF colour);

    // The set's options that reach every toolbar.
    void SetAllowTab(BOOL allowTab);
    void SetToolTips(BOOL enabled);

protected:
    void RefreshSystemColours();
    void LoadMenuGlyphs();
    // Image lists of the sides for m_dpi, holding the old lists' entries
    // scaled; the buttons then take their icons again where they can.
    void RescaleImageLists();
    void LayoutMenuButtons();
    void UpdateMenuButtonFocus(int index, BOOL focused);
    int NextNonSpace(int from, int step) const;
    static constexpr UINT_PTR kMenuButtonSubclassId = 1;
    static LRESULT CALLBACK MenuButtonProc(HWND window, UINT message, WPARAM first, LPARAM second, UINT_PTR,
                                           DWORD_PTR data);
    void DestroyButtons();
    // A toolbar opening its file fills only the image list of the size it
    // shows: the other sizes' icons are most of the work of opening, and
    // most toolbars are never shown at another size.  Those lists wait, with
    // the overlays only, until a size change, a save, a menu or a button
    // needs them; this fills them from the stored icons of the file as it
    // was read.
    void FillImageLists();
    BOOL ReadButton(IStorage* storage, const std::vector<StorageElement>& elements, int index, int mode);
    void OnHoverTimer();
    void ArrangeAllDocked();
    // Data transfer helpers (DataTransfer.cpp).
    void RegisterDropTarget();
    void RevokeDropTarget();
    DWORD ToolbarDropEffect(DWORD keys, DWORD allowed) const;
    void TransferMessage(UINT textId);
    int ShowShortcutMenu(const char* path, BOOL single);
    struct DroppedItem;
    BOOL AddDroppedItems(DroppedItem* items, size_t count, CToolButton* after, BOOL rightDrag);
    BOOL AddFromStorage(IStorage* storage, CToolButton* after);

    int m_loading = 0;
    int m_focusIndex = kFocusToolbarMenuButton;
    int m_dirty = 0;
    int m_hotIndex = -1;
    int m_hoverTimerOn = 0;
    int m_collapsed = 0;
    int m_inMenuLoop = 0;
    int m_inSizeMove = 0;
    DWORD m_version = kVersionCurrent;
    std::vector<std::unique_ptr<CToolButton>> m_buttons;
    CText m_fileName;
    ToolbarSettings m_settings;
    // A quick unlock lifts the protection until the next save.
    BOOL m_quickUnlocked = FALSE;
    // The full toolbar's refusals, told once a burst.
    CRepeatNotice m_fullNotice;
    HWND m_tooltip = nullptr;
    CImageListHandle m_imageLists[3];   // 16, 32 and 48 pixels at 96 dpi
    bool m_listFilled[3] = {true, true, true};
    // Where waiting lists take their icons from: the file being read, else
    // the file as it stood when it was read (another program may have
    // written it since).
    IStorage* m_readingStorage = nullptr;
    struct StoredIconSource {
        CText file;
        WIN32_FILE_ATTRIBUTE_DATA stood{};
        bool known = false;
    } m_iconSource;
    bool m_openingFile = false;
    int m_dpi = 96;
    CToolbarSet* m_set;
    IToolbarHost* m_host;
    CComPtr<IDropTarget> m_dropTarget;
    CComPtr<IDataObject> m_clipboardObject;
    COpenProgressDialog* m_progress = nullptr;
    HWND m_toolbarMenuButton = nullptr;
    HWND m_programMenuButton = nullptr;
    CBitmapHandle m_menuBitmaps[2];
    int m_dropKind = -1;
    int m_rightDrag = 0;
    BOOL m_reportTransfer = TRUE;
    BOOL m_saveDialogOpen = FALSE;
    BOOL m_readFailed = FALSE;
    BOOL m_propertiesOpen = FALSE;
    BOOL m_displaced = FALSE;
    POINT m_storedPlace{0, 0};
    RECT m_sizeMoveStart{0, 0, 0, 0};
    std::unique_ptr<CScreenStrip> m_strip;
    CText m_stripOptionFile;
    BOOL m_stripOption = FALSE;
    bool m_stripOptionRead = false;
};
