// The toolbar file: an OLE compound file with a version stream, the toolbar
// record and one storage (or, in old files, one stream) per button.
#include "Toolbar.h"

#include "OpenProgressDialog.h"
#include "ToolbarSet.h"
#include "../common/Application.h"
#include "../buttons/ButtonFactory.h"
#include "../buttons/IconListSnapshot.h"
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

// A field the record cannot give counts as out of range, so that Sanitise
// gives it the value of a damaged field: all ones is outside the range of
// every checked field of the record.
template <class T>
T FieldOrUnreadable(IStream* stream)
{
    T value{};
    return ReadField(stream, value) ? value : static_cast<T>(~T{});
}

DWORD Flag32(BOOL value)
{
    return value ? 1 : 0;
}

// What Read reports to the trace, in the order of its checks.
enum ReadResult : unsigned long {
    kReadDone = 1,
    kReadNoStorage = 2,
    kReadNoRecord = 3,
    kReadNoCount = 4,
    kReadNoPassword = 5,       // a required password that cannot be read
    kReadEmptyPassword = 6,
};

enum WriteResult : unsigned long {
    kWriteDone = 1,
    kWriteNoStorage = 2,
    kWriteNoVersion = 3,
    kWriteNoRecordStream = 4,
    kWriteRecordFailed = 5,
    kWriteBadElementName = 6,
    kWriteButtonFailed = 7,
};

enum WriteToFileResult : unsigned long {
    kSavedToFile = 1,
    kSaveOldFormatCannotHold = 2,
    kSaveNoTemporaryFile = 3,
    kSaveNameNotUnicode = 4,
    kSaveNoCompoundFile = 5,
    kSaveWriteFailed = 6,
};

// The toolbar record after its name, as far as the version holds it.
struct RecordFields {
    DWORD count = 0;
    bool havePosition = false;
    DWORD position = 0;
};

// Reads fields 2 on of the record into settings, which keep what the
// version does not hold.  Every value read is range-checked, also when the
// read fails part way.
ReadResult ReadRecordFields(IStream* record, DWORD version, ToolbarSettings& settings, RecordFields& fields)
{
    auto settle = [&] {
        settings.Sanitise();
        if (version > kVersion11000)
            settings.FollowSystemColours(GetSysColor(COLOR_BTNFACE));
    };
    fields.havePosition = ReadField(record, fields.position);
    settings.docked = static_cast<BOOL>(FieldOrUnreadable<DWORD>(record));
    DWORD corner = 0;
    if (ReadField(record, corner))
        settings.dockCorner = static_cast<int>(corner);
    settings.orientation = static_cast<int>(FieldOrUnreadable<DWORD>(record));
    settings.buttonsPerLine = FieldOrUnreadable<BYTE>(record);
    settings.alwaysOnTop = static_cast<BOOL>(FieldOrUnreadable<DWORD>(record));
    settings.hidden = static_cast<BOOL>(FieldOrUnreadable<DWORD>(record));
    if (!ReadField(record, fields.count)) {
        settle();
        return kReadNoCount;
    }

    if (version > kVersion11000) {
        settings.useGradient = static_cast<BOOL>(FieldOrUnreadable<DWORD>(record));
        settings.startIsSystem = static_cast<BOOL>(FieldOrUnreadable<DWORD>(record));
        settings.endIsSystem = static_cast<BOOL>(FieldOrUnreadable<DWORD>(record));
        settings.startColour = 0;
        settings.endColour = 0;
        ReadField(record, settings.startColour);
        ReadField(record, settings.endColour);
        settings.buttonSize = static_cast<int>(FieldOrUnreadable<DWORD>(record));
        settings.border = FieldOrUnreadable<WORD>(record);
        settings.showDescription = static_cast<BOOL>(FieldOrUnreadable<DWORD>(record));
        settings.showButtonBackground = static_cast<BOOL>(FieldOrUnreadable<DWORD>(record));
        settings.showMenuButtons = static_cast<BOOL>(FieldOrUnreadable<DWORD>(record));
        settings.autohide = static_cast<BOOL>(FieldOrUnreadable<DWORD>(record));
    }
    ToolbarProtection& protection = settings.protection;
    if (version > kVersion21000) {
        protection.enabled = static_cast<BOOL>(FieldOrUnreadable<DWORD>(record));
        protection.passwordRequired = static_cast<BOOL>(FieldOrUnreadable<DWORD>(record));
        CText password;
        if (password.Read(record)) {
            protection.password = password;
        } else if (protection.passwordRequired == TRUE) {   // not range-checked yet: only 1 counts
            settle();
            return kReadNoPassword;
        } else {
            protection.password = "";
        }
        protection.level = FieldOrUnreadable<DWORD>(record);
        protection.quickUnlockOption = static_cast<BOOL>(FieldOrUnreadable<DWORD>(record));
    } else {
        protection = ToolbarProtection{};
    }
    settle();
    return settings.LocksOwnerOut() ? kReadEmptyPassword : kReadDone;
}

bool WriteRecord(IStream* record, DWORD version, const ToolbarSettings& settings, DWORD count)
{
    const DWORD position = MAKELONG(static_cast<WORD>(settings.position.x), static_cast<WORD>(settings.position.y));
    bool ok = settings.name.Write(record) && WriteField<DWORD>(record, position)
              && WriteField<DWORD>(record, Flag32(settings.docked))
              && WriteField<DWORD>(record, static_cast<DWORD>(settings.dockCorner))
              && WriteField<DWORD>(record, static_cast<DWORD>(settings.orientation))
              && WriteField<BYTE>(record, static_cast<BYTE>(settings.buttonsPerLine))
              && WriteField<DWORD>(record, Flag32(settings.alwaysOnTop))
              && WriteField<DWORD>(record, Flag32(settings.hidden)) && WriteField<DWORD>(record, count);
    if (ok && version > kVersion11000) {
        ok = WriteField<DWORD>(record, Flag32(settings.useGradient))
             && WriteField<DWORD>(record, Flag32(settings.startIsSystem))
             && WriteField<DWORD>(record, Flag32(settings.endIsSystem))
             && WriteField<DWORD>(record, settings.startColour) && WriteField<DWORD>(record, settings.endColour)
             && WriteField<DWORD>(record, static_cast<DWORD>(settings.buttonSize))
             && WriteField<WORD>(record, static_cast<WORD>(settings.border))
             && WriteField<DWORD>(record, Flag32(settings.showDescription))
             && WriteField<DWORD>(record, Flag32(settings.showButtonBackground))
             && WriteField<DWORD>(record, Flag32(settings.showMenuButtons))
             && WriteField<DWORD>(record, Flag32(settings.autohide));
    }
    if (ok && version > kVersion21000) {
        const ToolbarProtection& protection = settings.protection;
        ok = WriteField<DWORD>(record, Flag32(protection.enabled))
             && WriteField<DWORD>(record, Flag32(protection.passwordRequired)) && protection.password.Write(record)
             && WriteField<DWORD>(record, protection.level)
             && WriteField<DWORD>(record, Flag32(protection.quickUnlockOption));
    }
    return ok;
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

BOOL CToolbar::Open(const char* fileName, int mode)
{
    m_readFailed = FALSE;
    m_fileName = fileName ? fileName : "";
    // Taken before the read, so that a write by another program while the
    // file is read counts as a change.
    StoredIconSource source;
    source.file = m_fileName;
    source.known = GetFileAttributesExA(m_fileName.c_str(), GetFileExInfoStandard, &source.stood) != FALSE;
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
    m_openingFile = true;
    const BOOL read = Read(storage.Get(), mode);
    m_openingFile = false;
    m_loading = wasLoading;
    // The lists left waiting take their icons from the file as it was read.
    if (read && !(m_listFilled[0] && m_listFilled[1] && m_listFilled[2]))
        m_iconSource = source;
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
        trace.Result(TR_READ_RESULT, kReadNoStorage);
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
        trace.Result(TR_READ_RESULT, kReadNoRecord);
        return FALSE;
    }
    IStream* record = stream.Get();

    CText name;
    if (name.Read(record)) {
        m_settings.name = name;
        if (mode == kReadAndShow) {
            SetTitle(nullptr);
            if (m_progress)
                m_progress->SetItem(m_settings.name.c_str());
        }
    }

    RecordFields fields;
    const ReadResult result = ReadRecordFields(record, m_version, m_settings, fields);
    if (result == kReadNoCount) {
        trace.Result(TR_READ_RESULT, result);
        return FALSE;
    }
    int count = fields.count <= static_cast<DWORD>(kMaxButtons) ? static_cast<int>(fields.count) : 0;
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
    if (result != kReadDone) {
        trace.Result(TR_READ_RESULT, result);
        return FALSE;
    }
    stream.Reset();

    if (mode != kReadRecordOnly) {
        DestroyButtons();
        // The lists of the sizes not shown wait (see FillImageLists); the
        // buttons put their stored icons into the shown size's list alone.
        if (m_openingFile) {
            for (int i = 0; i < 3; ++i)
                m_listFilled[i] = i == m_settings.buttonSize;
        }
        m_readingStorage = storage;
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
                    App()->DisplayMessage(nullptr, IDS_MSG_BAD_BUTTON, Name().c_str(), MB_OK | MB_ICONEXCLAMATION,
                                          Name().IsEmpty() ? kCaptionProgramName : kCaptionText);
            }
        }
        m_readingStorage = nullptr;
    }

    if (fields.havePosition)
        m_settings.position = POINT{static_cast<short>(LOWORD(fields.position)), static_cast<short>(HIWORD(fields.position))};
    if (mode == kReadAndShow && Handle()) {
        // The caption was set when the name was read, before the protection
        // that adds its mark.
        SetTitle(nullptr);
        if (fields.havePosition) {
            m_displaced = FALSE;
            SetWindowPos(Handle(), nullptr, m_settings.position.x, m_settings.position.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        int index = -1;
        if (m_set && m_set->FindToolbar(this, index)) {
            m_set->SetHiddenState(index, m_settings.hidden);
            Reposition();
            if (m_settings.hidden)
                Hide(FALSE);
            else
                Show(TRUE);
            m_dirty = 0;
            InvalidateRect(Handle(), nullptr, TRUE);
            if (m_settings.autohide)
                SetCollapsed(TRUE);
        } else {
            Relayout(TRUE);
            ShowWindow(Handle(), SW_SHOWNA);
            m_dirty = 0;
            UpdateWindow(Handle());
        }
    } else {
        m_dirty = 0;
    }
    trace.Result(TR_READ_RESULT, kReadDone);
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
        button->SetStoredElement(index);
    }
    return InsertNewButton(std::move(button), nullptr) != nullptr;
}

BOOL CToolbar::Write(IStorage* storage)
{
    CTraceMethod trace(TR_CTOOLBAR, TR_WRITE);
    if (!storage) {
        trace.Result(TR_WRITE_RESULT, kWriteNoStorage);
        return FALSE;
    }
    CComPtr<IStream> stream;
    if (m_version >= kVersion11000) {
        if (FAILED(storage->CreateStream(L"VERSION", kWriteElement, 0, 0, stream.put()))
            || !WriteField<DWORD>(stream.Get(), m_version)) {
            trace.Result(TR_WRITE_RESULT, kWriteNoVersion);
            return FALSE;
        }
        stream.Reset();
    }
    if (FAILED(storage->CreateStream(L"TOOLBAR", kWriteElement, 0, 0, stream.put()))) {
        trace.Result(TR_WRITE_RESULT, kWriteNoRecordStream);
        return FALSE;
    }
    // A toolbar with a window is saved where and as it stands now.
    ToolbarSettings stored(m_settings);
    if (Handle()) {
        RECT window{};
        GetWindowRect(Handle(), &window);
        stored.position = m_displaced ? m_storedPlace : POINT{window.left, window.top};
        stored.hidden = !IsWindowVisible(Handle());
    }
    const bool ok = WriteRecord(stream.Get(), m_version, stored, static_cast<DWORD>(Count()));
    stream.Reset();
    if (!ok) {
        trace.Result(TR_WRITE_RESULT, kWriteRecordFailed);
        return FALSE;
    }

    // The buttons copy their icons out of the image lists, read once here.
    FillImageLists();
    CIconListSnapshot icons;
    for (int i = 0; i < Count(); ++i) {
        wchar_t elementName[16];
        if (!ElementName(i, elementName)) {
            trace.Result(TR_WRITE_RESULT, kWriteBadElementName);
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
            trace.Result(TR_WRITE_RESULT, kWriteButtonFailed);
            return FALSE;
        }
    }
    trace.Result(TR_WRITE_RESULT, kWriteDone);
    return TRUE;
}

void CToolbar::FillImageLists()
{
    bool waiting[3] = {!m_listFilled[0], !m_listFilled[1], !m_listFilled[2]};
    if (!waiting[0] && !waiting[1] && !waiting[2])
        return;
    // Every entry of a filled list belongs to a button of this toolbar, in
    // the same place as in every other list.
    int filled = m_listFilled[m_settings.buttonSize] ? m_settings.buttonSize : -1;
    for (int i = 0; i < 3 && filled < 0; ++i)
        filled = m_listFilled[i] ? i : -1;
    HIMAGELIST shown = filled >= 0 ? m_imageLists[filled].Get() : nullptr;
    const int count = shown ? ImageList_GetImageCount(shown) : CToolButton::kOverlayImages;
    for (int i = 0; i < 3; ++i) {
        // A list that cannot grow (out of memory) stays waiting rather than
        // put the entries out of step.
        if (waiting[i] && ImageList_SetImageCount(m_imageLists[i].Get(), static_cast<UINT>(count)))
            m_listFilled[i] = true;
        else
            waiting[i] = false;
    }
    if (!waiting[0] && !waiting[1] && !waiting[2])
        return;
    auto given = [this](int i) { return m_listFilled[i] ? m_imageLists[i].Get() : nullptr; };
    for (const auto& button : m_buttons)
        button->SetImageLists(given(2), given(1), given(0), FALSE);

    // The file being read is at hand; one read before is opened again only
    // when it is still as it stood then.
    IStorage* storage = m_readingStorage;
    CComPtr<IStorage> opened;
    if (!storage && m_iconSource.known) {
        WIN32_FILE_ATTRIBUTE_DATA now{};
        const WIN32_FILE_ATTRIBUTE_DATA& stood = m_iconSource.stood;
        if (GetFileAttributesExA(m_iconSource.file.c_str(), GetFileExInfoStandard, &now)
            && CompareFileTime(&now.ftLastWriteTime, &stood.ftLastWriteTime) == 0
            && now.nFileSizeLow == stood.nFileSizeLow && now.nFileSizeHigh == stood.nFileSizeHigh) {
            const HRESULT hr = OpenCompoundFile(m_iconSource.file.c_str(), opened.put());
            if (FAILED(hr) && TraceOn())
                LogHResult(hr);
            storage = opened.Get();
        }
    }
    m_iconSource = StoredIconSource{};
    std::vector<StorageElement> elements;
    if (storage)
        ListStorageElements(storage, elements);
    for (const auto& button : m_buttons) {
        const int entry = button->ImageIndex();
        if (entry < CToolButton::kOverlayImages)
            continue;
        BOOL put = FALSE;
        wchar_t name[16];
        if (storage && button->IconsAsStored() && ElementName(button->StoredElement(), name)
            && HasElement(elements, name, STGTY_STORAGE)) {
            CComPtr<IStorage> element;
            if (SUCCEEDED(storage->OpenStorage(name, nullptr, kReadElement, nullptr, 0, element.put())))
                put = button->PutStoredEntries(element.Get(), waiting);
        }
        if (put || !shown)
            continue;
        // The file is gone or changed, or its icon damaged: the shown
        // icon, scaled, keeps the entry the button's own.
        CIconHandle icon(ImageList_GetIcon(shown, entry, ILD_NORMAL));
        for (int i = 0; i < 3; ++i) {
            if (waiting[i])
                ImageList_ReplaceIcon(m_imageLists[i].Get(), entry, icon ? icon.Get() : LoadIconA(nullptr, IDI_APPLICATION));
        }
    }
}

BOOL CToolbar::WriteToFile(const char* fileName, DWORD newVersion)
{
    CTraceMethod trace(TR_CTOOLBAR, TR_WRITE_TO_FILE);
    const DWORD target = newVersion ? newVersion : m_version;
    CApplication* app = App();
    auto report = [&](UINT message, WriteToFileResult code) {
        if (app)
            app->DisplayMessage(nullptr, message, fileName && *fileName ? fileName : nullptr,
                                MB_OK | MB_ICONEXCLAMATION, fileName && *fileName ? kCaptionText : kCaptionProgramName);
        trace.Result(TR_WRITE_TO_FILE_RESULT, code);
        return FALSE;
    };
    if (target < kVersion20000) {
        for (int i = 0; i < Count(); ++i) {
            if (!OldFormatHolds(m_buttons[i]->Kind()))
                return report(IDS_MSG_OLD_FORMAT, kSaveOldFormatCannotHold);
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
        return report(IDS_MSG_SAVE_FAILED, kSaveNoTemporaryFile);
    CText temporaryName(temporary);
    wchar_t* wideName = nullptr;
    if (!temporaryName.ToUnicode(&wideName)) {
        DeleteFileA(temporary);
        return report(IDS_MSG_INTERNAL_ERROR, kSaveNameNotUnicode);
    }
    CComPtr<IStorage> storage;
    HRESULT hr = StgCreateDocfile(wideName, STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, 0, storage.put());
    CText::FreeUnicode(wideName);
    if (FAILED(hr)) {
        if (TraceOn())
            LogHResult(hr);
        DeleteFileA(temporary);
        return report(IDS_MSG_SAVE_FAILED, kSaveNoCompoundFile);
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
        return report(IDS_MSG_SAVE_FAILED, kSaveWriteFailed);
    }
    m_dirty = 0;
    m_quickUnlocked = 0;
    for (int i = 0; i < Count(); ++i)
        m_buttons[i]->SetModified(FALSE);
    // A file written anew under a name takes this toolbar's strip choice,
    // never one an earlier file of that name left behind.
    if (m_fileName.Compare(fileName) == 0)
        StoreScreenStripOption();
    SetTitle(nullptr);
    trace.Result(TR_WRITE_TO_FILE_RESULT, kSavedToFile);
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
    std::snprintf(title, sizeof title, titleFormat.c_str(), Name().c_str());
    char path[MAX_PATH]{};
    lstrcpynA(path, m_fileName.IsEmpty() ? Name().c_str() : m_fileName.c_str(), sizeof path);

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
    m_settings.name = newName;
    SetFileName(path);
    SetTitle(nullptr);
    const BOOL written = WriteToFile(path, dialog.nFilterIndex <= 1 ? kVersionCurrent : kVersion11000);
    if (written && m_set)
        m_set->AddRecentToolbar(path);
    return written;
}
