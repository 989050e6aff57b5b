#include "UrlButton.h"

#include "ExistingFile.h"
#include "../common/Application.h"
#include "../common/TraceLog.h"
#include "../resources/lintel/resource.h"

#include <commdlg.h>

#include <cstring>

namespace {

enum UrlExecuteResult : unsigned long { kUrlStarted = 1, kUrlFailed = 3 };

// An icon resource of the program at one size; the "no icon" picture stands
// in for one that cannot be loaded.
HICON LoadAddressIcon(UINT resource, int pixels)
{
    HICON icon = static_cast<HICON>(
        LoadImageA(AppInstance(), MAKEINTRESOURCEA(resource), IMAGE_ICON, pixels, pixels, LR_DEFAULTCOLOR));
    if (!icon)
        icon = static_cast<HICON>(
            LoadImageA(AppInstance(), MAKEINTRESOURCEA(IDI_NO_ICON), IMAGE_ICON, pixels, pixels, LR_DEFAULTCOLOR));
    return icon;
}

} // namespace

AddressKind AddressKindOf(const char* address)
{
    if (!address || !*address)
        return kAddressEmpty;
    if (std::strchr(address, ' '))
        return kAddressInvalid;
    // In this order: "news" anywhere (a news server's host name) is news only
    // when nothing before it in the list matched.
    static const struct {
        const char* text;
        AddressKind kind;
    } kinds[] = {
        {"http", kAddressWeb},      {"www", kAddressWeb},    {"ftp", kAddressFtp},
        {"mailto", kAddressMail},   {"file:", kAddressFile}, {"news", kAddressNews},
        {"javascript:", kAddressScript}, {"gopher:", kAddressGopher},
    };
    for (const auto& entry : kinds) {
        if (std::strstr(address, entry.text))
            return entry.kind;
    }
    return kAddressOther;
}

UINT AddressIconOf(AddressKind kind)
{
    switch (kind) {
    case kAddressWeb: return IDI_ADDRESS_WEB;
    case kAddressFtp: return IDI_ADDRESS_FTP;
    case kAddressMail: return IDI_ADDRESS_MAIL;
    case kAddressNews: return IDI_ADDRESS_NEWS;
    default: return IDI_ADDRESS_OTHER;
    }
}

CUrlButton::CUrlButton(IButtonHost* host, CApplication* application, void* owner)
    : CFileButton(host, application, owner)
{
    if (TraceOn())
        LogMethod(TR_CURLBUTTON, TR_CURLBUTTON, TRUE);
    m_kind = kKindUrl;
    // Addresses take no drops, whatever the record says.
    m_allowDrops = 0;
}

CUrlButton::~CUrlButton()
{
    if (TraceOn())
        LogMethod(TR_CURLBUTTON, TR_CURLBUTTON_DTOR, TRUE);
}

BOOL CUrlButton::CanAcceptDrops()
{
    return FALSE;
}

// ---------------------------------------------------------------- creation

BOOL CUrlButton::Create(IShellLinkA* link, const CreationData& data, int mode)
{
    if (!link)
        return FALSE;
    // An address shortcut's identifiers name nothing the shell can bind; its
    // path is what the button keeps.
    char path[MAX_PATH]{};
    WIN32_FIND_DATAA found{};
    const HRESULT hr = link->GetPath(path, sizeof path, &found, 0);
    if (FAILED(hr) || !path[0]) {
        if (FAILED(hr) && TraceOn())
            LogHResult(hr);
        return FALSE;
    }
    return CFileButton::Create(path, data, mode);
}

BOOL CUrlButton::GetAssociatedFileInfo(const CreationData& data, const char* address)
{
    SetFile(address);
    m_defaultIcon = 1;
    if (!UpdateIcon(data.sizeIndex, TRUE))
        return FALSE;
    char title[MAX_PATH]{};
    if (!address || GetFileTitleA(address, title, sizeof title) != 0)
        return FALSE;
    SetDescription(title);
    return TRUE;
}

BOOL CUrlButton::SetFile(const char* text)
{
    const char* address = text ? text : "";
    if (m_fileName.Compare(address) == 0)
        return TRUE;
    if (IsExistingFile(address)) {
        m_fileSystem = 1;
        return CFileButton::SetFile(address);
    }
    // A bare address has no identifiers: the shell gets the text alone.
    m_fileSystem = 0;
    m_folderId = CItemId();
    m_itemId = CItemId();
    m_fileName = address;
    m_modified = 1;
    m_targetOk = CheckFileOk() ? 1 : 0;
    if (m_defaultIcon)
        UpdateIcon(SizeIndex(), TRUE);
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
    return TRUE;
}

BOOL CUrlButton::CheckFileOk()
{
    if (m_fileSystem)
        return IsExistingFile(m_fileName.c_str());
    return AddressKindOf(m_fileName.c_str()) > kAddressInvalid;
}

// ---------------------------------------------------------------- icons

BOOL CUrlButton::GetDefaultIcon()
{
    if (m_fileSystem)
        return CFileButton::GetDefaultIcon();
    const UINT resource = AddressIconOf(Kind());
    const BOOL put = PutIconHandles(LoadAddressIcon(resource, ListSide(2)), LoadAddressIcon(resource, ListSide(1)),
                                    LoadAddressIcon(resource, ListSide(0)));
    m_targetOk = 1;
    return put;
}

HICON CUrlButton::GetTargetIcon(int pixels)
{
    if (m_fileSystem)
        return CFileButton::GetTargetIcon(pixels);
    return LoadAddressIcon(AddressIconOf(Kind()), pixels);
}

// ---------------------------------------------------------------- starting

void CUrlButton::Activate(BOOL)
{
    Execute(nullptr, nullptr);
}

BOOL CUrlButton::Execute(const char*, const char*)
{
    CTraceMethod trace(TR_CURLBUTTON, TR_EXECUTE);
    // The shell finds the program for the address's scheme (or the file's
    // type); no folder and no identifiers go with it.
    SHELLEXECUTEINFOA execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_FLAG_NO_UI;
    execute.hwnd = Handle();
    execute.lpFile = m_fileName.IsEmpty() ? nullptr : m_fileName.c_str();
    execute.nShow = ShowCommand();
    const BOOL started = StartWithShell(execute, FALSE);
    trace.Result(TR_EXECUTE_RESULT, started ? kUrlStarted : kUrlFailed);
    return started;
}

BOOL CUrlButton::OffersTargetMenu() const
{
    return m_fileSystem && CFileButton::OffersTargetMenu();
}

// ---------------------------------------------------------------- records

BOOL CUrlButton::Write(IStream* stream, DWORD version)
{
    CTraceMethod trace(TR_CURLBUTTON, TR_WRITE);
    if (!CToolButton::Write(stream, version)) {
        trace.Result(TR_WRITE_RESULT, kRecordNoKind);
        return FALSE;
    }
    // An address record has its icon fields in every version and no drop
    // switch.
    CRecordWriter out(stream);
    WriteTarget(out, version);
    out.Text(m_description);
    WriteIconChoice(out);
    out.Long(static_cast<DWORD>(m_showState));
    WriteDesktop(out, version);
    trace.Result(TR_WRITE_RESULT, out.Ok() ? kRecordWritten : kRecordFieldsFailed);
    return out.Ok();
}

BOOL CUrlButton::Read(IStream* stream, DWORD version, int mode)
{
    CTraceMethod trace(TR_CURLBUTTON, TR_READ);
    CRecordReader in(stream);
    ReadTarget(in, version);
    in.Text(m_description);
    ReadIconChoice(in);
    in.ShowState(m_showState);
    ReadDesktop(in, version);
    if (!in.Ok()) {
        trace.Result(TR_READ_RESULT, kRecordDamaged);
        return FALSE;
    }
    // Records before 0x21000 store neither identifiers nor the file system
    // flag: a file's are looked up again, a bare address has none.
    if (version <= kVersion20000) {
        if (IsExistingFile(m_fileName.c_str())) {
            SetTargetFromFileName();
            m_fileSystem = 1;
        } else {
            m_fileSystem = 0;
            m_folderId = CItemId();
            m_itemId = CItemId();
        }
    }
    if (version <= kVersion11000 && mode != 0 && !UpdateIcon(SizeIndex(), TRUE)) {
        trace.Result(TR_READ_RESULT, kRecordNoIcon);
        return FALSE;
    }
    trace.Result(TR_READ_RESULT, kRecordRead);
    return TRUE;
}
