// CTipOfTheDayDialog: one tip per run, "Next Tip", the help items of the
// main program and the "Show tips on starting Lintel" switch; on closing it
// stores the tip the next run starts with.
#pragma once

#include "TipStore.h"
#include "../common/DialogBase.h"
#include "../common/ScopedHandle.h"

class CTipsWindow;

class CTipOfTheDayDialog : public CDialogBase
{
public:
    explicit CTipOfTheDayDialog(CTipsWindow* window);

    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnOK() override;
    BOOL OnCancel() override;

    int CurrentTip() const { return m_current; }

private:
    // Shows tip number (reading "CurrentTip" the first time): a number past
    // the last tip starts again at 0.
    void ShowTip(int number);
    void Close(INT_PTR result);

    static constexpr int kNotRead = -1;

    CTipsWindow* m_window;
    CTipSettings m_settings;
    int m_current = kNotRead;
    TipRecord m_tip;
    BOOL m_showTips = TRUE;
    CFontHandle m_headingFont;
    CFontHandle m_textFont;
    CBitmapHandle m_picture;
};
