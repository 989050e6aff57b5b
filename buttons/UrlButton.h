// CUrlButton: an Internet address (a web page, a mail recipient, a news
// group) or the path of an Internet shortcut file.  A click hands the address
// to the shell, which opens it with the registered program.
#pragma once

#include "FileButton.h"

// The kind of an address, which chooses the button's picture.
enum AddressKind : int {
    kAddressEmpty = -1,    // no text at all: not an address
    kAddressInvalid = 0,   // has a blank in it
    kAddressOther = 1,
    kAddressWeb = 2,
    kAddressFtp = 3,
    kAddressMail = 4,
    kAddressFile = 5,
    kAddressNews = 6,
    kAddressScript = 7,
    kAddressGopher = 8,
};

// The kind of a bare address.  The scheme texts are looked for anywhere in
// the address, case-sensitively, the first of the list winning, so that
// "www.example.com" is a web address without a scheme.
AddressKind AddressKindOf(const char* address);

// The icon resource that shows a kind (the invalid kind shows "other").
UINT AddressIconOf(AddressKind kind);

class CUrlButton : public CFileButton
{
public:
    CUrlButton(IButtonHost* host, CApplication* application, void* owner);
    ~CUrlButton() override;

    BOOL Read(IStream* stream, DWORD version, int mode) override;
    BOOL Write(IStream* stream, DWORD version) override;
    BOOL CanAcceptDrops() override;

    using CFileButton::Create;
    // The shortcut's target path becomes the address (an address shortcut
    // has no identifiers to take).
    BOOL Create(IShellLinkA* link, const CreationData& data, int mode) override;

    BOOL GetAssociatedFileInfo(const CreationData& data, const char* address) override;
    // Text naming an existing file (an Internet shortcut or any other file)
    // makes a file target; anything else is kept as a bare address.
    BOOL SetFile(const char* text) override;
    // A file must exist; an address must be non-empty and have no blank.
    BOOL CheckFileOk() override;
    BOOL GetDefaultIcon() override;
    HICON GetTargetIcon(int pixels) override;
    void Activate(BOOL flag) override;
    BOOL Execute(const char* parameters, const char* startIn) override;

    // The kind of the stored address (for a file target, the kind its text
    // would have as an address).
    AddressKind Kind() const { return AddressKindOf(m_fileName.c_str()); }

protected:
    BOOL OffersTargetMenu() const override;
};
