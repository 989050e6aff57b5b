#include "GroupButton.h"

#include "../common/Application.h"
#include "../common/TraceLog.h"
#include "../resources/lintel/resource.h"

#include <memory>
#include <new>

namespace {

// The full, long form of a path, so that two spellings of one file compare
// equal; the path as given when the system cannot say.
CText CanonicalPath(const CText& path)
{
    char full[MAX_PATH]{};
    const DWORD fullLength = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    if (fullLength == 0 || fullLength >= sizeof full)
        return path;
    char longForm[MAX_PATH]{};
    const DWORD longLength = GetLongPathNameA(full, longForm, sizeof longForm);
    return CText(longLength > 0 && longLength < sizeof longForm ? longForm : full);
}

} // namespace

CGroupButton::CGroupButton(IButtonHost* host, CApplication* application, void* owner)
    : CFileButton(host, application, owner)
{
    if (TraceOn())
        LogMethod(TR_CGROUPBUTTON, TR_CGROUPBUTTON, TRUE);
    m_kind = kKindGroup;
}

CGroupButton::~CGroupButton()
{
    if (TraceOn())
        LogMethod(TR_CGROUPBUTTON, TR_CGROUPBUTTON_DTOR, TRUE);
}

BOOL CGroupButton::CanAcceptDrops()
{
    return FALSE;
}

void CGroupButton::SetDropHighlight(BOOL)
{
    CToolButton::SetDropHighlight(m_startEvery);
}

void CGroupButton::SetStartEvery(BOOL startEvery)
{
    m_startEvery = startEvery ? 1 : 0;
    m_modified = 1;
    SetDropHighlight(m_startEvery);
}

// ---------------------------------------------------------------- creation

BOOL CGroupButton::TargetIsOwnToolbar() const
{
    if (!m_host || m_fileName.IsEmpty() || m_host->FileName().IsEmpty())
        return FALSE;
    return CanonicalPath(m_fileName) == CanonicalPath(m_host->FileName());
}

BOOL CGroupButton::FinishCreate(BOOL created)
{
    if (!created)
        return FALSE;
    if (TargetIsOwnToolbar()) {
        // The refused button's window must not stay behind on the toolbar.
        Destroy();
        CApplication* app = Application();
        if (app)
            app->DisplayMessage(nullptr, IDS_MSG_OWN_TOOLBAR, nullptr, MB_OK | MB_ICONINFORMATION,
                                kCaptionProgramName);
        return FALSE;
    }
    SetDropHighlight(m_startEvery);
    return TRUE;
}

BOOL CGroupButton::Create(IShellLinkA* link, const CreationData& data, int mode)
{
    return FinishCreate(CFileButton::Create(link, data, mode));
}

BOOL CGroupButton::Create(LPCITEMIDLIST itemList, const CreationData& data, int mode)
{
    return FinishCreate(CFileButton::Create(itemList, data, mode));
}

BOOL CGroupButton::Create(const char* fileName, const CreationData& data, int mode)
{
    return FinishCreate(CFileButton::Create(fileName, data, mode));
}

BOOL CGroupButton::Create(LPCITEMIDLIST folderList, LPCITEMIDLIST item, const CreationData& data, int mode)
{
    return FinishCreate(CFileButton::Create(folderList, item, data, mode));
}

BOOL CGroupButton::Create(IStorage* storage, const CreationData& data, int mode)
{
    const BOOL created = CFileButton::Create(storage, data, mode);
    // A toolbar reading its own file keeps what it stored: a group that names
    // its own file (a toolbar saved under its target's name) only opens it.
    if (m_host && m_host->IsLoading())
        return created;
    return FinishCreate(created);
}

BOOL CGroupButton::Create(IStream* stream, const CreationData& data, int mode)
{
    const BOOL created = CFileButton::Create(stream, data, mode);
    if (m_host && m_host->IsLoading())
        return created;
    return FinishCreate(created);
}

// ---------------------------------------------------------------- the target toolbar

std::unique_ptr<IGroupTarget> CGroupButton::OpenTarget()
{
    if (!m_host || m_fileName.IsEmpty())
        return nullptr;
    return m_host->OpenGroupTarget(m_fileName.c_str());
}

void CGroupButton::TargetFailed(UINT style)
{
    m_targetOk = 0;
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
    CApplication* app = Application();
    if (app)
        app->DisplayMessage(Handle(), IDS_MSG_OPEN_TOOLBAR, nullptr, style, kCaptionProgramName);
}

void CGroupButton::ActivateTargetButton(CToolButton* button)
{
    if (!button)
        return;
    switch (button->Kind()) {
    case kKindProgram:
    case kKindFolder:
    case kKindUrl:
        button->Activate(0);
        break;
    case kKindGroup:
        // Opens that group's toolbar and never starts its buttons, so groups
        // of groups cannot recurse.
        button->Activate(1);
        break;
    default:
        break;
    }
}

CGroupButton::TargetState CGroupButton::TargetWithButtons(std::unique_ptr<IGroupTarget>& target)
{
    target = OpenTarget();
    if (!target) {
        TargetFailed(MB_OK | MB_ICONEXCLAMATION);
        return kNoTarget;
    }
    // The target could be had again: the button is no longer broken.
    if (!m_targetOk) {
        m_targetOk = 1;
        if (Handle())
            InvalidateRect(Handle(), nullptr, TRUE);
    }
    if (target->Count() == 0) {
        // An empty target is opened instead; a copy read only for this is done with.
        target.reset();
        return kEmptyTarget;
    }
    return kTargetWithButtons;
}

BOOL CGroupButton::StartEveryButton()
{
    std::unique_ptr<IGroupTarget> target;
    switch (TargetWithButtons(target)) {
    case kNoTarget:
        return FALSE;
    case kEmptyTarget:
        return Execute(nullptr, nullptr);
    default:
        break;
    }
    for (int index = 0; index < target->Count(); ++index) {
        // A start that fails shows a box, whose message loop may let the user
        // close an open target toolbar meanwhile.
        if (!target->StillThere())
            break;
        ActivateTargetButton(target->Button(index));
    }
    return TRUE;
}

// ---------------------------------------------------------------- clicks and the hold menu

void CGroupButton::Activate(BOOL flag)
{
    if (m_startEvery && !flag)
        StartEveryButton();
    else
        Execute(nullptr, nullptr);
}

CMenuHandle CGroupButton::BuildButtonMenu(const IGroupTarget& target)
{
    CMenuHandle menu(CreatePopupMenu());
    if (!menu)
        return menu;
    const int itemHeight = GetSystemMetrics(SM_CYMENU) - 2;
    const int columnLimit = GetSystemMetrics(SM_CYFULLSCREEN);
    CText noDescription;
    if (!noDescription.LoadString(AppInstance(), IDS_NO_DESCRIPTION))
        noDescription = "No description";
    int runningHeight = 0;
    // A toolbar holds at most 256 buttons, which bounds the menu.
    for (int index = 0; index < target.Count(); ++index) {
        const CToolButton* button = target.Button(index);
        if (!button)
            continue;
        UINT flags = 0;
        runningHeight += itemHeight;
        if (runningHeight > columnLimit - itemHeight) {
            flags |= MF_MENUBARBREAK;
            runningHeight = 0;
        }
        if (button->Kind() == kKindSpace) {
            AppendMenuA(menu.Get(), MF_SEPARATOR | flags, 0, nullptr);
        } else {
            CText text;
            button->GetDescription(text);
            AppendMenuA(menu.Get(), MF_STRING | flags, static_cast<UINT_PTR>(index + 1),
                        text.IsEmpty() ? noDescription.c_str() : text.c_str());
        }
    }
    return menu;
}

BOOL CGroupButton::OnHold()
{
    std::unique_ptr<IGroupTarget> target;
    switch (TargetWithButtons(target)) {
    case kNoTarget:
        return FALSE;
    case kEmptyTarget:
        Execute(nullptr, nullptr);
        return TRUE;
    default:
        break;
    }
    CMenuHandle menu = BuildButtonMenu(*target);
    if (!menu)
        return FALSE;
    SetMenuContextHelpId(menu.Get(), HELP_GROUP_MENU);
    POINT cursor{};
    GetCursorPos(&cursor);
    const auto alive = AliveToken();
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_RIGHTALIGN, cursor.x, cursor.y, 0, Handle(), nullptr));
    menu.Reset();
    if (!*alive)
        return TRUE;
    // An open target may have been closed while the menu was up.
    if (command > 0 && target->StillThere())
        ActivateTargetButton(target->Button(static_cast<int>(command) - 1));
    return TRUE;
}

// ---------------------------------------------------------------- records

BOOL CGroupButton::Write(IStream* stream, DWORD version)
{
    CTraceMethod trace(TR_CGROUPBUTTON, TR_WRITE);
    if (!CToolButton::Write(stream, version)) {
        trace.Result(TR_WRITE_RESULT, kRecordNoKind);
        return FALSE;
    }
    CRecordWriter out(stream);
    WriteTarget(out, version);
    out.Text(m_description);
    if (version >= kVersion11000)
        WriteIconChoice(out);
    out.Long(m_allowDrops);
    out.Long(static_cast<DWORD>(m_showState));
    out.Long(m_startEvery);
    WriteDesktop(out, version);
    trace.Result(TR_WRITE_RESULT, out.Ok() ? kRecordWritten : kRecordFieldsFailed);
    return out.Ok();
}

BOOL CGroupButton::Read(IStream* stream, DWORD version, int mode)
{
    CTraceMethod trace(TR_CGROUPBUTTON, TR_READ);
    CRecordReader in(stream);
    ReadTarget(in, version);
    in.Text(m_description);
    if (version >= kVersion11000) {
        ReadIconChoice(in);
    } else {
        m_defaultIcon = 1;
        m_iconFile = m_fileName;
    }
    in.Flag(m_allowDrops);
    in.ShowState(m_showState);
    in.Flag(m_startEvery);
    ReadDesktop(in, version);
    if (!in.Ok()) {
        trace.Result(TR_READ_RESULT, kRecordDamaged);
        return FALSE;
    }
    SetDropHighlight(m_startEvery);
    if (!FinishRead(version, mode)) {
        trace.Result(TR_READ_RESULT, kRecordNoIcon);
        return FALSE;
    }
    trace.Result(TR_READ_RESULT, kRecordRead);
    return TRUE;
}
