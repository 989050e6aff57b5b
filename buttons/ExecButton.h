// CExecButton: a program or document button.  On top of its target it keeps
// parameters, a start-in folder and the 8.3 choice for documents handed to the
// program, offers "Open with parameters" on press-and-hold, and stores the
// button's recent documents with its record.
#pragma once

#include "FileButton.h"
#include "RecentList.h"

class CExecButton : public CFileButton
{
public:
    CExecButton(IButtonHost* host, CApplication* application, void* owner);
    ~CExecButton() override;

    void Activate(BOOL flag) override;
    BOOL OnHold() override;
    BOOL Read(IStream* stream, DWORD version, int mode) override;
    BOOL Read2(IStorage* storage, DWORD version, int mode) override;
    BOOL Write(IStream* stream, DWORD version) override;
    BOOL Write2(IStorage* storage, DWORD version) override;

    BOOL GetAssociatedFileInfo(const CreationData& data, const char* path) override;
    BOOL GetObjectData(const CreationData& data) override;
    BOOL GetShortcutData(const CreationData& data, IShellLinkA* link) override;
    BOOL CheckFileOk() override;
    BOOL CanAcceptDrops() override;

    // Starts the program, with a document when one is given.
    using CFileButton::Execute;
    BOOL Execute(const char* document = nullptr);
    // The same with parameters in place of the stored ones ("Open with
    // parameters"); the stored parameters stay as they are.
    BOOL ExecuteWithParameters(const char* parameters, const char* document);

    // "Open with parameters": the dialog, then one start with its text.
    void OpenWithParameters();

    // The hold menu as OnHold tracks it: the loaded menu, whose first submenu
    // is the one shown.
    CMenuHandle BuildHoldMenu();

    // The Windows version the target program expects (the high word of its
    // executable type); 0 for a document or a console program.
    WORD ExpectedWindowsVersion() const;

    const CText& Parameters() const { return m_parameters; }
    const CText& StartIn() const { return m_startIn; }
    BOOL ConvertTo83() const { return m_convertTo83; }
    // The documents recently opened with this button's program.
    const CRecentList& RecentDocuments() const { return m_recent; }
    // Puts a document at the top of the list; the button is then modified.
    BOOL AddRecentDocument(const char* path, BOOL checkExists);
    void ClearRecentDocuments();
    // Starts the program with recent entry index when its file still exists;
    // an entry whose file has gone is taken off the list instead.
    BOOL OpenRecentEntry(int index);

    void SetParameters(const char* text);
    void SetStartIn(const char* text);
    void SetConvertTo83(BOOL convert);

private:
    CText m_parameters;
    CText m_startIn;
    int m_convertTo83 = 0;
    CRecentList m_recent;
};

// What a program is handed for a document: its short (8.3) name when asked
// for, in double quotes for programs that expect Windows 4.0 or later, else
// unchanged.
CText DocumentArgument(const char* document, WORD windowsVersion, BOOL convertTo83);

// The folder a file starts in: the path up to its last backslash (a drive's
// root keeps its backslash); empty when the path has no folder part.
CText FolderOfPath(const char* path);
