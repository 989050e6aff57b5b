// CFileButton: the base of every button whose target lives in the shell's name
// space - a program or document, a folder, another toolbar's file or an
// Internet address.  It holds the target (its path and its item identifiers),
// the icon choice, the show state and the virtual desktop; it builds the target
// from a path, an item identifier pair or a shortcut, starts it, offers the
// target's own context menu, and reads and writes the record fields all these
// kinds share.  Never created by itself: each kind derives from it.
#pragma once

#include "ButtonRecord.h"
#include "ToolButton.h"
#include "../common/ComPtr.h"
#include "../common/ItemId.h"
#include "../common/ScopedHandle.h"

#include <shellapi.h>

class CShellFolder;

// How the target's window opens (stored as a 32-bit value).
enum ShowState : int {
    kShowMinimized = 0,
    kShowMaximized = 1,
    kShowNormal = 2,
};

class CFileButton : public CToolButton
{
public:
    ~CFileButton() override;

    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnInitMenu(HMENU menu) override;

    // Each variant first takes the creation data (mode 3 also makes the
    // window), then the target.
    using CToolButton::Create;
    BOOL Create(IShellLinkA* link, const CreationData& data, int mode) override;
    BOOL Create(LPCITEMIDLIST itemList, const CreationData& data, int mode) override;
    BOOL Create(const char* fileName, const CreationData& data, int mode) override;
    // The target as its folder's list and its own id inside that folder.
    virtual BOOL Create(LPCITEMIDLIST folderList, LPCITEMIDLIST item, const CreationData& data, int mode);

    void Activate(BOOL flag) override;
    void OnRightClick(BOOL flag) override;
    BOOL Read2(IStorage* storage, DWORD version, int mode) override;
    BOOL Write2(IStorage* storage, DWORD version) override;
    void ShowProperties() override;
    BOOL SetIconSize(int sizeIndex, BOOL reload) override;
    BOOL ReloadIcons() override;
    void SetDropHighlight(BOOL highlight) override;
    void DragEnter(IDataObject* data, DWORD keys, POINTL point, int kind, DWORD allowed, BOOL allPrograms,
                   DWORD* effect) override;
    void DragOver(DWORD keys, POINTL point, DWORD* effect) override;
    void DragLeave() override;
    BOOL Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

    // The target.
    virtual BOOL GetAssociatedFileInfo(const CreationData& data, const char* path);
    virtual BOOL GetObjectData(const CreationData& data);
    virtual BOOL GetShortcutData(const CreationData& data, IShellLinkA* link);
    virtual BOOL SetFile(const char* path);
    virtual BOOL CheckFileOk();
    virtual BOOL CanAcceptDrops();
    virtual DWORD_PTR GetFileInfo(SHFILEINFOA& info, UINT flags) const;

    // Starting the target; parameters and start-in may be null.
    virtual BOOL Execute(const char* parameters, const char* startIn);

    // The target's own context menu inside the button menu.
    virtual BOOL AddTargetMenu(HMENU menu, const CShellFolder& folder);
    virtual BOOL InvokeTargetCommand(UINT command, HWND window);
    virtual void ShowContextMenu();
    // The button menu as ShowContextMenu tracks it: the loaded menu, whose
    // first submenu is the one shown.
    CMenuHandle BuildContextMenu();

    // Icons: the target's own or the chosen one, into the toolbar's lists.
    virtual BOOL UpdateIcon(int sizeIndex, BOOL reload);
    virtual BOOL GetDefaultIcon();
    // A new icon of the target at 16, 32 or 48 pixels, or null.
    virtual HICON GetTargetIcon(int pixels);

    // Stored fields.
    const CText& FileName() const { return m_fileName; }
    const CItemId& FolderId() const { return m_folderId; }
    const CItemId& ItemId() const { return m_itemId; }
    BOOL IsFileSystem() const { return m_fileSystem; }
    BOOL IsDefaultIcon() const { return m_defaultIcon; }
    const CText& IconFile() const { return m_iconFile; }
    int IconIndex() const { return m_iconIndex; }
    int GetShowState() const { return m_showState; }
    BOOL UseCurrentDesktop() const { return m_useCurrentDesktop; }
    DWORD DesktopX() const { return m_desktopX; }
    DWORD DesktopY() const { return m_desktopY; }

    // The setters mark the button modified.
    void SetIconFile(const char* path);
    void SetIconIndex(int index);
    void SetDefaultIcon(BOOL useDefault);
    void SetShowState(int state);
    void SetAllowDrops(BOOL allow);
    void SetUseCurrentDesktop(BOOL useCurrent);
    void SetDesktop(DWORD x, DWORD y);

    // The one button properties sheet of the program: the button it belongs
    // to, null while none is open.
    static CFileButton* PropertiesButton();
    static void SetPropertiesButton(CFileButton* button);

protected:
    CFileButton(IButtonHost* host, CApplication* application, void* owner);

    // The record fields the kinds share, each under its version's condition.
    void WriteTarget(CRecordWriter& out, DWORD version) const;
    void ReadTarget(CRecordReader& in, DWORD version);
    void WriteIconChoice(CRecordWriter& out) const;
    void ReadIconChoice(CRecordReader& in);
    void WriteDesktop(CRecordWriter& out, DWORD version) const;
    void ReadDesktop(CRecordReader& in, DWORD version);
    // After the fields: what older records leave out is rebuilt.
    BOOL FinishRead(DWORD version, int mode);

    // The target's identifiers from the file name (empty when it names nothing
    // the shell can find); FALSE when there is no such target.
    BOOL SetTargetFromFileName();
    BOOL HasTargetList() const { return !m_itemId.IsDesktop(); }
    // The button menu's target submenu is never offered for these.
    virtual BOOL OffersTargetMenu() const;
    void ShowStartError(INT_PTR instanceResult);
    // Hands a prepared start to the shell, on the button's chosen desktop
    // when it has one, and sets target ok; a failure is reported to the user
    // unless it is a refusal to be forgiven.
    BOOL StartWithShell(SHELLEXECUTEINFOA& execute, BOOL forgiveAccessDenied);
    // The show command of the stored show state.
    int ShowCommand() const;
    // Puts one icon in each size into the toolbar's lists at the button's
    // index; takes the icons, whatever it answers.
    BOOL PutIconHandles(HICON large, HICON normal, HICON small);

    CText m_fileName;
    CItemId m_folderId;
    CItemId m_itemId;
    int m_fileSystem = 1;
    int m_defaultIcon = 1;
    CText m_iconFile;
    int m_iconIndex = 0;
    int m_showState = kShowNormal;
    int m_useCurrentDesktop = 1;
    DWORD m_desktopX = 0;
    DWORD m_desktopY = 0;
    // The target's context menu while the button menu is up.
    CComPtr<IContextMenu> m_targetMenu;
    // While files are dragged over the button: the target's own drop target
    // (locked while held) and the drop kind the drag came with.
    CComPtr<IDropTarget> m_targetDropTarget;
    int m_dragKind = -1;

private:
    struct IconSet;
    BOOL ExtractTargetIcons(IconSet& icons);
    BOOL ExtractChosenIcons(IconSet& icons);
    // Fills the sizes the set lacks from the index'th icon of a file.
    void ExtractAtListSides(const char* file, int index, IconSet& icons) const;
    BOOL PutIcons(IconSet& icons);
    // The shell's icon of the target at about side pixels (see ShellIconAtSide).
    HICON ShellIcon(int side) const;
    BOOL ReadStoredIcons(IStorage* storage);
    BOOL ClipboardOffersButton() const;
};
