// CMainApp: the program object of Lintel.exe.  It checks for the previous
// product and for a running copy, initialises OLE and the window classes,
// creates the hidden main window and reports to the user through DisplayMessage.
#pragma once

#include "../common/Application.h"
#include "../common/ScopedHandle.h"

#include <memory>

class CMainWindow;

// How DisplayMessage finds the box caption.
enum : UINT {
    kCaptionFromId = 1,       // caption is MAKEINTRESOURCE(string id)
    kCaptionText = 2,         // caption is a text (a toolbar's name)
    kCaptionProgramName = 4,  // caption is "Lintel"; wins over the other two
};

class CMainApp : public CApplication
{
public:
    CMainApp(HINSTANCE instance, const char* commandLine, int show);
    ~CMainApp() override;

    void ReadSettings() override;
    BOOL Initialise() override;
    BOOL Create() override;
    void Terminate() override;

    // The one way the program reports to the user: a task-modal box whose text
    // is a string-table entry.  Returns the button pressed (IDOK when the text
    // or a caption id cannot be loaded, and no box is shown).
    int DisplayMessage(HWND owner, UINT textId, LPCSTR caption, UINT style, UINT captionSource);

    static BOOL RunningWindowsNT4();

    // Companion programs: the path from the machine settings, else beside
    // Lintel.exe; and starting one, with or without error messages.
    static BOOL GetLTLAppLocation(UINT valueNameId, UINT fileNameId, CText& path);
    static BOOL LaunchLTLApp(UINT valueNameId, UINT fileNameId, BOOL showErrors, const char* parameters);
    // The program registered to open a document, from its extension's class.
    static BOOL GetAssociatedExe(const CText& document, CText& program);
    // The user's documents folder, or "C:\" when there is none.
    static void GetDefaultFolder(CText& folder);
    // Bitmaps in streams: header, colour table and pixel rows.
    static BOOL ReadBitmapFromStream(IStream* stream, CBitmapHandle& bitmap);
    static BOOL WriteBitmapToStream(HBITMAP bitmap, IStream* stream);
    void OpenFromCommandLine(HWND target);

    CMainWindow* MainWindow() const { return m_mainWindow.get(); }
    UINT ButtonFormat() const { return m_buttonFormat; }
    UINT ItemListFormat() const { return m_itemListFormat; }
    UINT FileDropFormat() const { return m_fileDropFormat; }

    // Registers every window class of the program; a class that exists
    // already (registered earlier in this process) counts as registered.
    BOOL RegisterWindowClasses();

private:
    void CheckQuillet();

    std::unique_ptr<CMainWindow> m_mainWindow;
    UINT m_buttonFormat = 0;
    UINT m_itemListFormat = 0;
    UINT m_fileDropFormat = 0;
    bool m_oleInitialised = false;
};

// The program object of this process (null before it exists).
CMainApp* TheMainApp();
