// The toolbar file: an OLE compound file with a version stream, the toolbar
// record and one storage (or, in old files, one stream) per button.
#include "Toolbar.h"

#include "OpenProgressDialog.h"
#include "ToolbarSet.h"
#include "../common/Application.h"
#include "../buttons/ButtonFactory.h"
#include "../common/SafeStorage.h"
#include "../common/TraceLog.h"
#include "../resources/lintel/resource.h"

#include <commdlg.h>

#include <cstdio>
#include <new>

namespace {

// Reading and writing little-endian fields of a stream; every read checks
// that the whole field arrived.
template <class T>
bool ReadField(IStream* stream, T& value)
{
    T raw{};
    ULONG got = 0;
    if (FAILED(stream->Read(&raw, sizeof raw, &got)) || got != sizeof raw)
        return false;
    value = raw;
    return true;
}

template <class T>
bool WriteField(IStream* stream, T value)
{
    ULONG written = 0;
    return SUCCEEDED(stream->Write(&value, sizeof value, &written)) && written == sizeof value;
}

// A 32-bit boolean: anything but 0 and 1 takes the fallback.
int CheckedFlag(DWORD value, int fallback)
{
    return value == 0 || value == 1 ? static_cast<int>(value) : fallback;
}

bool ElementName(int index, wchar_t (&name)[16])
{
    return swprintf(name, 16, L"BUTTON%03d", index) > 0;
}

// The elements of a compound file are opened share-exclusive, as the
// structured storage requires for elements of a root opened that way.
constexpr DWORD kReadElement = STGM_READ | STGM_SHARE_EXCLUSIVE;
constexpr DWORD kWriteElement = STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_WRITE;

// Whether the old format can hold a button: its reader brings back a space
// as a space and every other kind as a program button, so groups and
// Internet addresses would come back as something else.
bool OldFormatHolds(DWORD kind)
{
    return kind == kKindSpace || kind == kKindProgram || kind == kKindFolder;
}

} // namespace

void CToolbar::SetColours(BOOL useGradient, BOOL startIsSystem, COLORREF start, BOOL endIsSystem, COLORREF end)
{
    m_useGradient = useGradient ? 1 : 0;
    m_startIsSystem = startIsSystem ? 1 : 0;
    m_endIsSystem = endIsSystem ? 1 : 0;
    m_startColour = startIsSystem ? GetSysColor(COLOR_BTNFACE) : start;
    m_endColour = endIsSystem ? GetSysColor(COLOR_BTNFACE) : end;
}

BOOL CToolbar::Open(const char* fileName, int mode)
{
    m_readFailed = FALSE;
    m_fileName = fileName ? fileName : "";
    // Read into memory and checked first: a damaged container must cost a
    // message, never the program.
    CComPtr<IStorage> storage;
    const HRESULT hr = OpenCompoundFile(m_fileName.c_str(), storage.put());
    if (FAILED(hr)) {
        if (TraceOn())
            LogHResult(hr);
        m_fileName = "";
        m_readFailed = TRUE;
        return FALSE;
    }
    const int wasLoading = m_loading;
    m_loading = 1;
    const BOOL read = Read(storage.Get(), mode);
    m_loading = wasLoading;
    if (!read) {
        m_fileName = "";
        m_readFailed = TRUE;
    }
    return read;
}

BOOL CToolbar::Read(IStorage* storage, int mode)
{
    CTraceMethod trace(TR_CTOOLBAR, TR_READ);
    if (!storage) {
        trace.Result(TR_READ_RESULT, 2);
        return FALSE;
    }

    // Only elements the storage lists are opened by name: looking up one that
    // a damaged directory no longer reaches is where structured storage can
    // lose itself.
    std::vector<StorageElement> elements;
    ListStorageElements(storage, elements);
    CComPtr<IStream> stream;
    if (!HasElement(elements, L"VERSION", STGTY_STREAM)
        || FAILED(storage->OpenStream(L"VERSION", nullptr, kReadElement, 0, stream.put()))) {
        m_version = kVersion10000;
    } else {
        DWORD version = 0;
        // An empty version stream marks a current file.
        m_version = ReadField(stream.Get(), version) ? version : kVersionCurrent;
    }
    stream.Reset();

    HRESULT hr = HasElement(elements, L"TOOLBAR", STGTY_STREAM)
                     ? storage->OpenStream(L"TOOLBAR", nullptr, kReadElement, 0, stream.put())
                     : STG_E_FILENOTFOUND;
    if (FAILED(hr)) {
        if (TraceOn())
            LogHResult(hr);
        trace.Result(TR_READ_RESULT, 3);
        return FALSE;
    }
    IStream* record = stream.Get();

    CText name;
    if (name.Read(record)) {
        m_name = name;
        if (mode == kReadAndShow) {
            SetTitle(nullptr);
            if (m_progress)
                m_progress->SetItem(m_name.c_str());
        }
    }

    DWORD position = 0;
    const bool havePosition = ReadField(record, position);
    DWORD value = 0;
    m_docked = ReadField(record, value) ? CheckedFlag(value, 0) : 0;
    if (ReadField(record, value))
        m_dockCorner = static_cast<int>(value);
    m_orientation = ReadField(record, value) && (value == kVertical || value == kHorizontal) ? static_cast<int>(value)
                                                                                             : kVertical;
    BYTE perLine = 1;
    m_buttonsPerLine = ReadField(record, perLine) && perLine >= 1 && perLine <= 16 ? perLine : 1;
    m_alwaysOnTop = ReadField(record, value) ? CheckedFlag(value, 0) : 0;
    m_hiddenInFile = ReadField(record, value) ? CheckedFlag(value, 0) : 0;

    DWORD storedCount = 0;
    if (!ReadField(record, storedCount)) {
        trace.Result(TR_READ_RESULT, 4);
        return FALSE;
    }
    int count = storedCount <= static_cast<DWORD>(kMaxButtons) ? static_cast<int>(storedCount) : 0;
    if (m_version == kVersion10000 && count < kMaxButtons) {
        // Writers of this version disagree on whether the field holds the
        // count or the count less one.  The elements themselves settle it:
        // when one more button element than the field says is present, the
        // field was the count less one.  Either way every stored button is
        // read, and this program always writes the true count.
        wchar_t elementName[16];
        if (ElementName(count, elementName) && HasElement(elements, elementName, STGTY_STREAM))
            ++count;
    }
    if (TraceOn())
        LogStringIdNumber(TR_BUTTON_COUNT, static_cast<unsigned long>(count));

    if (m_version > kVersion11000) {
        DWORD startColour = 0;
        DWORD endColour = 0;
        DWORD useGradient = 0;
        DWORD startIsSystem = 0;
        DWORD endIsSystem = 0;
        useGradient = ReadField(record, value) ? CheckedFlag(value, 0) : 0;
        startIsSystem = ReadField(record, value) ? CheckedFlag(value, 0) : 0;
        endIsSystem = ReadField(record, value) ? CheckedFlag(value, 0) : 0;
        ReadField(record, startColour);
        ReadField(record, endColour);
        SetColours(useGradient, startIsSystem, startColour, endIsSystem, endColour);
        m_buttonSize = ReadField(record, value) && value <= 2 ? static_cast<int>(value) : 1;
        WORD border = 3;
        m_border = ReadField(record, border) && border <= 5 ? border : 3;
        m_showDescription = ReadField(record, value) ? CheckedFlag(value, 0) : 0;
        m_showButtonBackground = ReadField(record, value) ? CheckedFlag(value, 1) : 1;
        m_showMenuButtons = ReadField(record, value) ? CheckedFlag(value, 1) : 1;
        m_autohide = ReadField(record, value) ? CheckedFlag(value, 1) : 1;
    }
    if (m_version > kVersion21000) {
        m_protected = ReadField(record, value) ? CheckedFlag(value, 0) : 0;
        m_passwordRequired = ReadField(record, value) ? CheckedFlag(value, 0) : 0;
        CText password;
        if (password.Read(record)) {
            m_password = password;
        } else if (m_passwordRequired) {
            trace.Result(TR_READ_RESULT, 5);
            return FALSE;
        } else {
            m_password = "";
        }
        m_protectionLevel = ReadField(record, value) && value <= 0x7F ? value : kProtectDrag;
        m_quickUnlockOption = ReadField(record, value) ? CheckedFlag(value, 0) : 0;
    } else {
        m_protected = 0;
        m_passwordRequired = 0;
        m_password = "";
        m_protectionLevel = kProtectDrag;
        m_quickUnlockOption = 0;
    }
    // A password that is required but empty would lock the owner out.
    if (m_passwordRequired && m_password.IsEmpty()) {
        trace.Result(TR_READ_RESULT, 6);
        return FALSE;
    }
    if (m_quickUnlockOption && !m_passwordRequired)
        m_quickUnlockOption = 0;
    stream.Reset();

    if (mode != kReadRecordOnly) {
        DestroyButtons();
        if (m_progress)
            m_progress->SetRange(count);
        bool reported = false;
        for (int index = 0; index < count; ++index) {
            if (m_progress)
                m_progress->SetPosition(index);
            if (!ReadButton(storage, elements, index, mode) && !reported) {
                // One report per file: a badly damaged file must not bury the
                // user under a box for every button.
                reported = true;
                if (App())
                    App()->DisplayMessage(nullptr, IDS_MSG_BAD_BUTTON, m_name.c_str(), MB_OK | MB_ICONEXCLAMATION,
                                          m_name.IsEmpty() ? kCaptionProgramName : kCaptionText);
            }
        }
    }

    if (mode == kReadAndShow && Handle()) {
        if (havePosition) {
            m_storedPosition = POINT{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
            SetWindowPos(Handle(), nullptr, m_storedPosition.x, m_storedPosition.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        int index = -1;
        if (m_set && m_set->FindToolbar(this, index)) {
            m_set->SetHiddenState(index, m_hiddenInFile);
            Reposition();
            if (m_hiddenInFile)
                Hide(FALSE);
            else
                Show(TRUE);
            m_dirty = 0;
            InvalidateRect(Handle(), nullptr, TRUE);
            if (m_autohide)
                SetCollapsed(TRUE);
        } else {
            Relayout(TRUE);
            ShowWindow(Handle(), SW_SHOWNA);
            m_dirty = 0;
            UpdateWindow(Handle());
        }
    } else {
        if (havePosition)
            m_storedPosition = POINT{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
        m_dirty = 0;
    }
    trace.Result(TR_READ_RESULT, 1);
    return TRUE;
}

BOOL CToolbar::ReadButton(IStorage* storage, const std::vector<StorageElement>& elements, int index, int mode)
{
    wchar_t elementName[16];
    const bool newFormat = m_version > kVersion11000;
    if (!ElementName(index, elementName)
        || !HasElement(elements, elementName, newFormat ? STGTY_STORAGE : STGTY_STREAM))
        return FALSE;
    CComPtr<IStorage> buttonStorage;
    CComPtr<IStream> buttonStream;
    DWORD kind = 0;
    if (newFormat) {
        if (FAILED(storage->OpenStorage(elementName, nullptr, kReadElement, nullptr, 0, buttonStorage.put())))
            return FALSE;
        CComPtr<IStream> data;
        if (FAILED(buttonStorage->OpenStream(L"DATA", nullptr, kReadElement, 0, data.put()))
            || !ReadField(data.Get(), kind))
            return FALSE;
    } else {
        if (FAILED(storage->OpenStream(elementName, nullptr, kReadElement, 0, buttonStream.put()))
            || !ReadField(buttonStream.Get(), kind))
            return FALSE;
        // The old format knows spaces and program buttons only.
        if (kind != kKindSpace)
            kind = kKindProgram;
    }
    if (kind == kKindShortcut)
        return FALSE;
    std::unique_ptr<CToolButton> button = NewButtonOfKind(kind, this, App());
    if (!button)
        return FALSE;
    if (kind != kKindSpace) {
        CreationData data;
        StoreCreationData(data);
        const BOOL created = newFormat ? button->Create(buttonStorage.Get(), data, mode)
                                       : button->Create(buttonStream.Get(), data, mode);
        if (!created)
            return FALSE;
        // A stored button is as saved; only later edits count as changes.
        button->SetModified(FALSE);
    }
    return InsertNewButton(std::move(button), nullptr) != nullptr;
}

BOOL CToolbar::Write(IStorage* storage)
{
    CTraceMethod trace(TR_CTOOLBAR, TR_WRITE);
    if (!storage) {
        trace.Result(TR_WRITE_RESULT, 2);
        return FALSE;
    }
    CComPtr<IStream> stream;
    if (m_version >= kVersion11000) {
        if (FAILED(storage->CreateStream(L"VERSION", kWriteElement, 0, 0, stream.put()))
            || !WriteField<DWORD>(stream.Get(), m_version)) {
            trace.Result(TR_WRITE_RESULT, 3);
            return FALSE;
        }
        stream.Reset();
    }
    if (FAILED(storage->CreateStream(L"TOOLBAR", kWriteElement, 0, 0, stream.put()))) {
        trace.Result(TR_WRITE_RESULT, 4);
        return FALSE;
    }
    IStream* record = stream.Get();
    RECT window{};
    if (Handle())
        GetWindowRect(Handle(), &window);
    else
        SetRect(&window, m_storedPosition.x, m_storedPosition.y, m_storedPosition.x, m_storedPosition.y);
    const DWORD position = MAKELONG(static_cast<WORD>(window.left), static_cast<WORD>(window.top));
    const BOOL hidden = Handle() ? !IsWindowVisible(Handle()) : m_hiddenInFile;
    bool ok = m_name.Write(record) && WriteField<DWORD>(record, position) && WriteField<DWORD>(record, m_docked)
              && WriteField<DWORD>(record, static_cast<DWORD>(m_dockCorner))
              && WriteField<DWORD>(record, static_cast<DWORD>(m_orientation)) && WriteField<BYTE>(record, m_buttonsPerLine)
              && WriteField<DWORD>(record, m_alwaysOnTop ? 1 : 0) && WriteField<DWORD>(record, hidden ? 1 : 0)
              && WriteField<DWORD>(record, static_cast<DWORD>(Count()));
    if (ok && m_version > kVersion11000) {
        ok = WriteField<DWORD>(record, m_useGradient) && WriteField<DWORD>(record, m_startIsSystem)
             && WriteField<DWORD>(record, m_endIsSystem) && WriteField<DWORD>(record, m_startColour)
             && WriteField<DWORD>(record, m_endColour) && WriteField<DWORD>(record, static_cast<DWORD>(m_buttonSize))
             && WriteField<WORD>(record, m_border) && WriteField<DWORD>(record, m_showDescription)
             && WriteField<DWORD>(record, m_showButtonBackground) && WriteField<DWORD>(record, m_showMenuButtons)
             && WriteField<DWORD>(record, m_autohide);
    }
    if (ok && m_version > kVersion21000) {
        ok = WriteField<DWORD>(record, m_protected ? 1 : 0) && WriteField<DWORD>(record, m_passwordRequired ? 1 : 0)
             && m_password.Write(record) && WriteField<DWORD>(record, m_protectionLevel)
             && WriteField<DWORD>(record, m_quickUnlockOption ? 1 : 0);
    }
    stream.Reset();
    if (!ok) {
        trace.Result(TR_WRITE_RESULT, 5);
        return FALSE;
    }

    for (int i = 0; i < Count(); ++i) {
        wchar_t elementName[16];
        if (!ElementName(i, elementName)) {
            trace.Result(TR_WRITE_RESULT, 6);
            return FALSE;
        }
        CToolButton* button = m_buttons[static_cast<size_t>(i)].get();
        BOOL written = FALSE;
        if (m_version > kVersion11000) {
            CComPtr<IStorage> buttonStorage;
            written = SUCCEEDED(storage->CreateStorage(elementName, kWriteElement, 0, 0, buttonStorage.put()))
                      && button->Write2(buttonStorage.Get(), m_version);
        } else {
            CComPtr<IStream> buttonStream;
            written = SUCCEEDED(storage->CreateStream(elementName, kWriteElement, 0, 0, buttonStream.put()))
                      && button->Write(buttonStream.Get(), m_version);
        }
        if (!written) {
            trace.Result(TR_WRITE_RESULT, 7);
            return FALSE;
        }
    }
    trace.Result(TR_WRITE_RESULT, 1);
    return TRUE;
}

BOOL CToolbar::WriteToFile(const char* fileName, DWORD newVersion)
{
    CTraceMethod trace(TR_CTOOLBAR, TR_WRITE_TO_FILE);
    const DWORD target = newVersion ? newVersion : m_version;
    CApplication* app = App();
    auto report = [&](UINT message, unsigned long code) {
        if (app)
            app->DisplayMessage(nullptr, message, fileName && *fileName ? fileName : nullptr,
                                MB_OK | MB_ICONEXCLAMATION, fileName && *fileName ? kCaptionText : kCaptionProgramName);
        trace.Result(TR_WRITE_TO_FILE_RESULT, code);
        return FALSE;
    };
    if (target < kVersion20000) {
        for (int i = 0; i < Count(); ++i) {
            if (!OldFormatHolds(m_buttons[i]->Kind()))
                return report(IDS_MSG_OLD_FORMAT, 2);
        }
    }

    // The toolbar is written to a new file beside the old one, which is
    // replaced only once everything is on disk: a failed or interrupted
    // save never destroys the toolbar the user already had.
    CText folder(fileName ? fileName : "");
    const int slash = folder.ReverseFind('\\');
    folder.Left(slash > 0 ? slash : 0);
    if (folder.IsEmpty())
        folder = ".";
    char temporary[MAX_PATH]{};
    if (!GetTempFileNameA(folder.c_str(), "ltl", 0, temporary))
        return report(IDS_MSG_SAVE_FAILED, 3);
    CText temporaryName(temporary);
    wchar_t* wideName = nullptr;
    if (!temporaryName.ToUnicode(&wideName)) {
        DeleteFileA(temporary);
        return report(IDS_MSG_INTERNAL_ERROR, 4);
    }
    CComPtr<IStorage> storage;
    HRESULT hr = StgCreateDocfile(wideName, STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, 0, storage.put());
    CText::FreeUnicode(wideName);
    if (FAILED(hr)) {
        if (TraceOn())
            LogHResult(hr);
        DeleteFileA(temporary);
        return report(IDS_MSG_SAVE_FAILED, 5);
    }
    const DWORD previousVersion = m_version;
    if (newVersion)
        m_version = newVersion;
    BOOL written = Write(storage.Get());
    if (written) {
        hr = storage->Commit(STGC_DEFAULT);
        written = SUCCEEDED(hr);
    }
    storage.Reset();
    if (written)
        written = MoveFileExA(temporary, fileName, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!written) {
        DeleteFileA(temporary);
        m_version = previousVersion;
        return report(IDS_MSG_SAVE_FAILED, 6);
    }
    m_dirty = 0;
    m_quickUnlocked = 0;
    for (int i = 0; i < Count(); ++i)
        m_buttons[i]->SetModified(FALSE);
    SetTitle(nullptr);
    trace.Result(TR_WRITE_TO_FILE_RESULT, 1);
    return TRUE;
}

BOOL CToolbar::Save(BOOL askName)
{
    if (!askName && !m_fileName.IsEmpty())
        return WriteToFile(m_fileName.c_str(), 0);
    return SaveAs();
}

BOOL CToolbar::SaveAs()
{
    CText filter;
    if (!filter.LoadString(AppInstance(), IDS_SAVE_FILTER))
        filter = "Lintel toolbar (*.ltl)|*.ltl|";
    filter.Replace('|', '\0');
    CText titleFormat;
    if (!titleFormat.LoadString(AppInstance(), IDS_SAVE_AS_TITLE))
        titleFormat = "Save %s As";
    char title[300]{};
    std::snprintf(title, sizeof title, titleFormat.c_str(), m_name.c_str());
    char path[MAX_PATH]{};
    lstrcpynA(path, m_fileName.IsEmpty() ? m_name.c_str() : m_fileName.c_str(), sizeof path);

    OPENFILENAMEA dialog{};
    // The first-version structure is what the dialog was designed around.
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = Handle();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrTitle = title;
    dialog.lpstrDefExt = "ltl";
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    m_saveDialogOpen = TRUE;
    const BOOL chosen = GetSaveFileNameA(&dialog);
    m_saveDialogOpen = FALSE;
    if (!chosen) {
        if (CommDlgExtendedError() != 0 && App())
            App()->DisplayMessage(nullptr, IDS_MSG_SAVE_FAILED, nullptr, MB_OK | MB_ICONEXCLAMATION,
                                  kCaptionProgramName);
        return FALSE;
    }
    // The toolbar is named after its file.
    CText newName(path + dialog.nFileOffset);
    const int dot = newName.ReverseFind('.');
    if (dot > 0)
        newName.Left(dot);
    m_name = newName;
    m_fileName = path;
    SetTitle(nullptr);
    return WriteToFile(path, dialog.nFilterIndex <= 1 ? kVersionCurrent : kVersion11000);
}
