// CGroupButton: a button whose target is another toolbar's file.  A click
// hands the file to the shell, which opens it as a toolbar, or starts every
// button of that toolbar; press-and-hold drops down a menu of its buttons.
#pragma once

#include <memory>

#include "FileButton.h"

class CGroupButton : public CFileButton
{
public:
    CGroupButton(IButtonHost* host, CApplication* application, void* owner);
    ~CGroupButton() override;

    // Every variant refuses a target that is the toolbar the button is on
    // (message 70).
    using CFileButton::Create;
    BOOL Create(IShellLinkA* link, const CreationData& data, int mode) override;
    BOOL Create(LPCITEMIDLIST itemList, const CreationData& data, int mode) override;
    BOOL Create(const char* fileName, const CreationData& data, int mode) override;
    BOOL Create(LPCITEMIDLIST folderList, LPCITEMIDLIST item, const CreationData& data, int mode) override;
    BOOL Create(IStorage* storage, const CreationData& data, int mode) override;
    BOOL Create(IStream* stream, const CreationData& data, int mode) override;

    // flag 1 always opens the target toolbar: that is how a group started
    // from another group's "start every" keeps from recursing.
    void Activate(BOOL flag) override;
    BOOL OnHold() override;
    BOOL Read(IStream* stream, DWORD version, int mode) override;
    BOOL Write(IStream* stream, DWORD version) override;
    BOOL CanAcceptDrops() override;
    // The mark of a group that starts every button is the drop overlay, shown
    // whatever a drag asks for.
    void SetDropHighlight(BOOL highlight) override;

    // The target toolbar: the open one of the set when there is one, else one
    // read from the file for the moment and never shown.  Null when neither.
    std::unique_ptr<IGroupTarget> OpenTarget();
    // Starts every button of the target; an empty target is opened instead.
    BOOL StartEveryButton();
    // The target toolbar for a click or the hold menu: kNoTarget after the
    // failure was shown, kEmptyTarget when it has no buttons, else the target.
    enum TargetState { kNoTarget, kEmptyTarget, kTargetWithButtons };
    TargetState TargetWithButtons(std::unique_ptr<IGroupTarget>& target);
    // The hold menu for a target: a command per button (its index plus one)
    // and a separator per space, in columns that fit the screen.
    static CMenuHandle BuildButtonMenu(const IGroupTarget& target);
    // What "start every" and the hold menu do with one button of the target.
    static void ActivateTargetButton(CToolButton* button);

    // 0: a click opens the target toolbar; 1: it starts every button on it.
    BOOL StartsEvery() const { return m_startEvery; }
    void SetStartEvery(BOOL startEvery);

private:
    // Whether the target is the file of the toolbar the button is on.
    BOOL TargetIsOwnToolbar() const;
    // After a Create variant: refuses the own toolbar, else shows the mark.
    BOOL FinishCreate(BOOL created);
    void TargetFailed(UINT style);

    int m_startEvery = 0;
};
