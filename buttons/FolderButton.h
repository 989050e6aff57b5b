// CFolderButton: a button that stands for a folder of the shell's name space.
// A click opens the folder in a shell window.
#pragma once

#include "FileButton.h"

class CFolderButton : public CFileButton
{
public:
    CFolderButton(CToolbar* toolbar, CMainApp* application, void* owner);
    ~CFolderButton() override;

    BOOL Read(IStream* stream, DWORD version, int mode) override;
    BOOL Write(IStream* stream, DWORD version) override;
    BOOL CanAcceptDrops() override;
};
