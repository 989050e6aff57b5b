// The control messages the companion programs send to the main window.
#include "MainWindow.h"

#include "MainApp.h"
#include "../common/ComPtr.h"
#include "../common/ControlMessages.h"
#include "../common/Help.h"
#include "../common/RepeatNotice.h"
#include "../common/ItemId.h"
#include "../common/SafeStorage.h"
#include "../common/ScopedHandle.h"
#include "../common/TraceLog.h"
#include "../resources/lintel/resource.h"
#include "../toolbars/OpenProgressDialog.h"
#include "../toolbars/Toolbar.h"
#include "../toolbars/ToolbarSet.h"

namespace {

// Atoms hold at most 255 characters; the buffer bounds what is taken.
CText AtomText(ATOM atom)
{
    char text[260]{};
    const UINT length = atom ? GlobalGetAtomNameA(atom, text, sizeof text) : 0;
    text[length < sizeof text ? length : sizeof text - 1] = 0;
    return CText(text);
}

// A companion hands over button after button: a toolbar that takes none of
// them is told about once for the burst, not once a button.  A refusal under
// another name is another sender's, and is told.
CRepeatNotice g_addFailedNotice;
CText g_addFailedCaption;

void TellAddFailed(CApplication* app, const char* caption)
{
    const CText named(caption ? caption : "");
    if (!(named == g_addFailedCaption)) {
        g_addFailedNotice = CRepeatNotice();
        g_addFailedCaption = named;
    }
    if (app)
        g_addFailedNotice.Refused(
            [&] { app->DisplayMessage(nullptr, IDS_MSG_ADD_FAILED, caption, MB_OK | MB_ICONEXCLAMATION, kCaptionText); });
}

constexpr UINT kTrainingCardFlag = 0x8000;   // HELP_TCARD

BOOL IntroHelp(HWND window, UINT command, ULONG_PTR data)
{
    CText helpFile;
    if (!helpFile.LoadString(AppInstance(), IDS_INTRO_HELP_FILE))
        return FALSE;
    return ::ShowHelp(window, helpFile.c_str(), command | kTrainingCardFlag, data);
}

} // namespace

LRESULT CMainWindow::OnAddButton(WPARAM slotOrAtom)
{
    if (TraceOn())
        LogStringIdNumber(TR_UM_ADDBUTTON, static_cast<unsigned long>(slotOrAtom));
    BOOL added = FALSE;
    if (slotOrAtom < CToolbarSet::kMaxToolbars) {
        // A slot out of range or empty fails without a word: the sender posted.
        // A toolbar that blocks adding refuses by slot as it does by name.
        CToolbar* target = m_toolbarSet ? m_toolbarSet->Toolbar(static_cast<int>(slotOrAtom)) : nullptr;
        if (target && (target->IsRestricted(kProtectAdd) || target->RefuseWhenFull()))
            TellAddFailed(Application(), target->Name().c_str());
        else
            added = m_toolbarSet && m_toolbarSet->PasteIntoToolbar(static_cast<int>(slotOrAtom));
        if (added)
            g_addFailedNotice.Taken();
    } else {
        const ATOM atom = static_cast<ATOM>(slotOrAtom);
        const CText name = AtomText(atom);
        GlobalDeleteAtom(atom);
        if (TraceOn())
            LogStringIdText(TR_TOOLBAR_NAME, name.c_str());
        added = m_toolbarSet && m_toolbarSet->AddButtonToToolbar(name.c_str());
    }
    if (TraceOn())
        LogStringIdNumber(TR_UM_ADDBUTTON_RESULT, added);
    return added;
}

BOOL CToolbarSet::AddButtonToToolbar(const char* name)
{
    CTraceMethod trace(TR_CTOOLBARSET, TR_ADD_BUTTON_TO_TOOLBAR);
    const CText wanted(name ? name : "");
    // The first open toolbar of that name, in slot order, letter case aside.
    int match = -1;
    for (int i = 0; i < m_count && match < 0; ++i) {
        if (m_toolbars[i]->Name() == wanted)
            match = i;
    }
    // Older senders send the window title, which carries the protection
    // mark after the name; a toolbar really named so is taken first.
    static const char kProtectedMark[] = " (P)";
    const int markLength = static_cast<int>(sizeof kProtectedMark) - 1;
    CText mark(wanted);
    mark.Right(markLength);
    if (match < 0 && wanted.Length() > markLength && mark == kProtectedMark) {
        CText bare(wanted);
        bare.Left(wanted.Length() - markLength);
        for (int i = 0; i < m_count && match < 0; ++i) {
            if (m_toolbars[i]->Name() == bare)
                match = i;
        }
    }
    if (match < 0) {
        m_application->DisplayMessage(nullptr, IDS_MSG_NO_SUCH_TOOLBAR, name, MB_OK | MB_ICONEXCLAMATION,
                                      kCaptionText);
        trace.Result(TR_ADD_BUTTON_TO_TOOLBAR_RESULT, 2);
        return FALSE;
    }
    // A toolbar that blocks adding takes nothing, by paste or any other way.
    // A full one is refused before the clipboard is read and the button
    // made: in a companion's burst most hand-overs are refused.
    const BOOL blocked = m_toolbars[match]->IsRestricted(kProtectAdd);
    if (blocked || m_toolbars[match]->RefuseWhenFull() || !PasteIntoToolbar(match)) {
        TellAddFailed(m_application, name);
        trace.Result(TR_ADD_BUTTON_TO_TOOLBAR_RESULT, blocked ? 3 : 4);
        return FALSE;
    }
    g_addFailedNotice.Taken();
    trace.Result(TR_ADD_BUTTON_TO_TOOLBAR_RESULT, 1);
    return TRUE;
}

// GetGuiResources answers 0 under Wine, so the leak checks ask the program
// itself what its holders hold.
LRESULT CMainWindow::OnLiveHandles(WPARAM kind) const
{
    return CurrentLiveHandles().Of(static_cast<int>(kind));
}

LRESULT CMainWindow::OnHelpRequest(WPARAM kind, LPARAM context)
{
    if (LOWORD(kind) == 0) {
        Help(HELP_CONTEXT, static_cast<ULONG_PTR>(context));
        return 1;
    }
    if (!m_trainingCard) {
        m_trainingCard = std::make_unique<TrainingCard>();
        m_trainingCard->notifyTips = HIWORD(kind) != 0;
    }
    if (IntroHelp(Handle(), HELP_CONTEXT, static_cast<ULONG_PTR>(context)))
        m_trainingCard->active = TRUE;
    return 1;
}

LRESULT CMainWindow::OnTrainingCard(WPARAM action, LPARAM data)
{
    if (!m_trainingCard)
        return 0;
    switch (action) {
    case HELP_TCARD_DATA:
        if (IntroHelp(Handle(), HELP_CONTEXT, static_cast<ULONG_PTR>(data)))
            m_trainingCard->active = TRUE;
        break;
    case IDCLOSE:
    case HELP_TCARD_OTHER_CALLER: {
        IntroHelp(Handle(), HELP_QUIT, 0);
        m_trainingCard->active = FALSE;
        if (m_trainingCard->notifyTips) {
            HWND tips = FindWindowA(LINTEL_TIPS_CLASS, "Lintel Tip of the Day");
            if (tips)
                SendMessageA(tips, UM_TCARDCLOSED, 0, 0);
        }
        m_trainingCard.reset();
        break;
    }
    default:
        break;
    }
    return 0;
}

BOOL CMainWindow::IsWizardDataFile(const char* path)
{
    if (!path || !*path)
        return FALSE;
    // The wizard makes its files with GetTempFileName and the prefix "LTL":
    // "LTL" followed by hexadecimal digits and ".tmp".
    CText name(path);
    const int slash = name.ReverseFind('\\');
    if (slash >= 0)
        name.Right(name.Length() - slash - 1);
    const int length = name.Length();
    if (length < 8 || length > 11)
        return FALSE;
    CText prefix(name);
    prefix.Left(3);
    CText extension(name);
    extension.Right(4);
    if (prefix != "LTL" || extension != ".tmp")
        return FALSE;
    for (int i = 3; i < length - 4; ++i) {
        const char digit = *name.At(i);
        if (!((digit >= '0' && digit <= '9') || (digit >= 'a' && digit <= 'f') || (digit >= 'A' && digit <= 'F')))
            return FALSE;
    }
    // Checked, as every compound file from outside is, before its elements
    // are looked up.
    CComPtr<IStorage> storage;
    if (FAILED(OpenCompoundFile(path, storage.put())))
        return FALSE;
    std::vector<StorageElement> elements;
    return ListStorageElements(storage.Get(), elements) && HasElement(elements, L"DATA", STGTY_STREAM);
}

LRESULT CMainWindow::OnCreateToolbar(ATOM atom)
{
    const CText path = AtomText(atom);
    if (TraceOn()) {
        LogStringIdNumber(TR_UM_CREATETB, atom);
        LogStringIdText(TR_FILE, path.c_str());
    }
    GlobalDeleteAtom(atom);
    // Any program on the desktop can post this message: the file it names is
    // deleted afterwards only when it is a wizard data file.
    const BOOL wizardFile = IsWizardDataFile(path.c_str());
    if (!CreateWizardToolbar(path.c_str()))
        App()->DisplayMessage(nullptr, IDS_MSG_WIZARD_FAILED, nullptr, MB_OK | MB_ICONEXCLAMATION, kCaptionProgramName);
    if (wizardFile)
        DeleteFileA(path.c_str());
    return 0;
}

namespace {

// What CreateWizardToolbar reports to the trace, in the order of its checks.
enum WizardToolbarResult : unsigned long {
    kWizardToolbarMade = 1,
    kWizardNoToolbarSet = 2,
    kWizardNoPath = 3,
    kWizardNoFile = 4,
    kWizardNoData = 5,
    kWizardNoName = 6,
    kWizardNoToolbar = 7,
    kWizardBadDocking = 8,
    kWizardBadButtonStyle = 9,
    kWizardNoCount = 10,
};

} // namespace

BOOL CMainWindow::CreateWizardToolbar(const char* path)
{
    CTraceMethod trace(TR_CMAINWINDOW, TR_CREATE_WIZARD_TOOLBAR);
    if (!m_toolbarSet) {
        trace.Result(TR_CREATE_WIZARD_TOOLBAR_RESULT, kWizardNoToolbarSet);
        return FALSE;
    }
    COpenProgressDialog progress(App());
    progress.Create(Handle());
    CText caption;
    if (caption.LoadString(App()->Instance(), IDS_CREATING))
        progress.SetCaption(caption.c_str());

    int slot = -1;
    auto fail = [&](WizardToolbarResult code) {
        progress.Destroy();
        if (slot >= 0)
            m_toolbarSet->CompleteNewToolbar(slot, FALSE);
        trace.Result(TR_CREATE_WIZARD_TOOLBAR_RESULT, code);
        return FALSE;
    };

    if (!path || !*path)
        return fail(kWizardNoPath);
    CComPtr<IStorage> storage;
    HRESULT hr = OpenCompoundFile(path, storage.put());
    if (TraceOn())
        LogHResult(hr);
    if (FAILED(hr))
        return fail(kWizardNoFile);
    std::vector<StorageElement> elements;
    ListStorageElements(storage.Get(), elements);
    CComPtr<IStream> stream;
    hr = HasElement(elements, L"DATA", STGTY_STREAM)
             ? storage->OpenStream(L"DATA", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.put())
             : STG_E_FILENOTFOUND;
    if (TraceOn())
        LogHResult(hr);
    if (FAILED(hr))
        return fail(kWizardNoData);

    auto readNumber = [&](DWORD& value) {
        ULONG got = 0;
        return SUCCEEDED(stream->Read(&value, sizeof value, &got)) && got == sizeof value;
    };
    CText name;
    if (!name.Read(stream.Get()))
        return fail(kWizardNoName);
    progress.SetItem(name.c_str());
    slot = m_toolbarSet->CreateBlankToolbar(name.c_str());
    if (slot < 0)
        return fail(kWizardNoToolbar);
    DWORD corner = 0, vertical = 0, size = 0, descriptions = 0, count = 0;
    if (!readNumber(corner) || !readNumber(vertical) || !m_toolbarSet->SetDocking(slot, corner, vertical != 0))
        return fail(kWizardBadDocking);
    // A button size other than small, normal or large fails the whole file.
    if (!readNumber(size) || !readNumber(descriptions) || size > 2
        || !m_toolbarSet->SetButtonStyle(slot, size, descriptions != 0))
        return fail(kWizardBadButtonStyle);
    if (!readNumber(count))
        return fail(kWizardNoCount);

    BOOL anyFailed = FALSE;
    CToolbar* toolbar = m_toolbarSet->Toolbar(slot);
    // The count is only a promise: the loop ends where the stream does, and
    // never goes past what a toolbar can hold.
    progress.SetRange(static_cast<int>(count > 256 ? 256 : count));
    for (DWORD index = 0; index < count; ++index) {
        progress.SetPosition(static_cast<int>(index));
        CItemId folder;
        CItemId item;
        if (!folder.Read(stream.Get()) || !item.Read(stream.Get())) {
            anyFailed = TRUE;
            break;
        }
        if (!toolbar || !toolbar->AddButtonFromItemIds(folder, item))
            anyFailed = TRUE;
        if (toolbar && toolbar->Count() >= CToolbar::kMaxButtons && index + 1 < count) {
            anyFailed = TRUE;
            break;
        }
    }
    m_toolbarSet->CompleteNewToolbar(slot, TRUE);
    progress.Destroy();
    stream.Reset();
    storage.Reset();
    if (anyFailed)
        App()->DisplayMessage(nullptr, IDS_MSG_WIZARD_BUTTONS, nullptr, MB_OK | MB_ICONINFORMATION,
                              kCaptionProgramName);
    trace.Result(TR_CREATE_WIZARD_TOOLBAR_RESULT, kWizardToolbarMade);
    return TRUE;
}
