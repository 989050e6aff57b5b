// What the toolbars and their set ask of the program's hidden main window.
// The main window implements IToolbarHost and hands itself to the set, which
// hands it on to every toolbar; toolbars never see the main window's class.
#pragma once

#include <windows.h>

class IToolbarHost
{
public:
    // The hotkeys the main window registers, as the set passes them on.
    enum Hotkey : int {
        kMenuHotkey = 2,
        kToolbarHotkey = 3,
        kShowAllHotkey = 4,
    };

    // The hidden main window: owner of progress dialogs and target of hotkeys.
    virtual HWND Window() const = 0;
    virtual BOOL ShowProgramMenu() = 0;
    virtual BOOL Help(UINT command, ULONG_PTR data, HWND window) = 0;
    // Whether every toolbar is hidden by the "hide all" command.
    virtual BOOL IsHidden() const = 0;
    virtual void SetHidden(BOOL hidden) = 0;

protected:
    ~IToolbarHost() = default;
};
