// CGroupButton: a button whose target is another toolbar's file.  A click
// hands the file to the shell, which opens it as a toolbar.
#pragma once

#include "FileButton.h"

class CGroupButton : public CFileButton
{
public:
    CGroupButton(CToolbar* toolbar, CMainApp* application, void* owner);
    ~CGroupButton() override;

    BOOL Read(IStream* stream, DWORD version, int mode) override;
    BOOL Write(IStream* stream, DWORD version) override;
    BOOL CanAcceptDrops() override;
    // The mark of a group that starts every button is the drop overlay, shown
    // whatever a drag asks for.
    void SetDropHighlight(BOOL highlight) override;

    // 0: a click opens the target toolbar; 1: it starts every button on it.
    BOOL StartsEvery() const { return m_startEvery; }
    void SetStartEvery(BOOL startEvery);

private:
    int m_startEvery = 0;
};
