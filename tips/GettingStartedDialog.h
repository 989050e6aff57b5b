// CGettingStartedDialog: the five lessons of the getting-started tour.  A
// lesson is played by the main program as training cards; while it runs the
// dialog is hidden, and it comes back when the main program says the cards
// closed, or when the main program's window goes away before it says so.  A
// lesson whose cards cannot play (no intro help where WinHelp looks for it)
// leaves the dialog up and is not marked as taken.
#pragma once

#include "TipStore.h"
#include "../common/DialogBase.h"
#include "../common/ScopedHandle.h"

class CTipsWindow;

class CGettingStartedDialog : public CDialogBase
{
public:
    explicit CGettingStartedDialog(CTipsWindow* window);

    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    INT_PTR DialogProc(HWND handle, UINT message, WPARAM first, LPARAM second) override;
    BOOL OnOK() override;
    BOOL OnCancel() override;

    // The main program's cards closed: show the dialog again.
    void LessonEnded();

    // The request that starts lesson k (0..4): a training card whose closing
    // the main program reports back.
    static WPARAM LessonRequestKind();
    static LPARAM LessonItem(int lesson);

private:
    void StartLesson(int lesson);
    void ShowTaken(int lesson);
    void Close(INT_PTR result);

    static constexpr UINT_PTR kWatchTimer = 1;

    CTipsWindow* m_window;
    CTipSettings m_settings;
    LessonFlags m_taken{};
    HWND m_lessonMain = nullptr;   // the main program playing a lesson
    CFontHandle m_headingFont;
    CFontHandle m_welcomeFont;
    CFontHandle m_hintFont;
    CFontHandle m_lessonFont;
    CFontHandle m_titleFont;
    CBitmapHandle m_lessonPicture;
    CBitmapHandle m_takenPicture;
    HCURSOR m_hotCursor = nullptr;
    CBrushHandle m_background;
};
