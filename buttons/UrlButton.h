// CUrlButton: an Internet address (a web page, a mail recipient, a news
// group) or the path of an Internet shortcut file.  A click hands the address
// to the shell, which opens it with the registered program.
#pragma once

#include "FileButton.h"

class CUrlButton : public CFileButton
{
public:
    CUrlButton(IButtonHost* host, CApplication* application, void* owner);
    ~CUrlButton() override;

    BOOL Read(IStream* stream, DWORD version, int mode) override;
    BOOL Write(IStream* stream, DWORD version) override;
    BOOL CanAcceptDrops() override;
};
