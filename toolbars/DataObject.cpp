// The program's data object and its format enumerator.
#include "DataObject.h"

#include "../common/AnsiPath.h"
#include "../common/Application.h"
#include "../common/SafeStorage.h"
#include "../common/TransferFormats.h"
#include "../buttons/ToolButton.h"
#include "../common/ShellFolder.h"
#include "../common/TraceLog.h"

#include <shlobj.h>

#include <cstring>
#include <new>
#include <string>

namespace {

// Windows 95 and its successors take ANSI file lists only.
bool RunningNTFamily()
{
    return (GetVersion() & 0x80000000u) == 0;
}

const TYMED kFormatMedium[kFormatCount] = {TYMED_ISTORAGE, TYMED_HGLOBAL, TYMED_HGLOBAL};

int IndexOfFormat(CLIPFORMAT format)
{
    for (int index = 0; index < kFormatCount; ++index) {
        if (TransferClipFormat(index) == format)
            return index;
    }
    return kFormatNone;
}

// Reads the leading kind of a stored button record.
BOOL ReadStoredKind(IStorage* storage, DWORD& kind, CComPtr<IStream>& data)
{
    if (!storage || FAILED(storage->OpenStream(L"DATA", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, data.put())))
        return FALSE;
    ULONG got = 0;
    return SUCCEEDED(data->Read(&kind, sizeof kind, &got)) && got == sizeof kind;
}

} // namespace

// ---------------------------------------------------------------- helpers

CLIPFORMAT TransferClipFormat(int index)
{
    UINT format = 0;
    switch (index) {
    case kFormatButton:
        format = ButtonClipFormat();
        break;
    case kFormatIdList:
        format = ItemListClipFormat();
        break;
    case kFormatHdrop:
        format = CF_HDROP;
        break;
    default:
        break;
    }
    return static_cast<CLIPFORMAT>(format);
}

FORMATETC TransferFormatEtc(int index)
{
    FORMATETC format{};
    format.cfFormat = TransferClipFormat(index);
    format.ptd = nullptr;
    format.dwAspect = DVASPECT_CONTENT;
    format.lindex = -1;
    format.tymed = index >= 0 && index < kFormatCount ? kFormatMedium[index] : TYMED_NULL;
    return format;
}

HRESULT CreateTemporaryStorage(IStorage** storage)
{
    if (!storage)
        return E_POINTER;
    *storage = nullptr;
    const HRESULT hr = StgCreateDocfile(
        nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE, 0, storage);
    if (FAILED(hr) && TraceOn())
        LogHResult(hr);
    return hr;
}

BOOL GetFileOfButtonStorage(IStorage* storage, CText& file)
{
    CComPtr<IStream> data;
    DWORD kind = 0;
    if (!ReadStoredKind(storage, kind, data))
        return FALSE;
    if (kind != kKindProgram && kind != kKindFolder && kind != kKindGroup)
        return FALSE;
    CText name;
    if (!name.Read(data.Get()))
        return FALSE;
    file = name;
    return TRUE;
}

HGLOBAL CreateHdropObject(const CText& file)
{
    if (file.IsEmpty())
        return nullptr;
    const bool wide = RunningNTFamily();
    int characters = file.Length();
    wchar_t* wideName = nullptr;
    if (wide) {
        if (!file.ToUnicode(&wideName))
            return nullptr;
        characters = static_cast<int>(wcslen(wideName));
    }
    // The list ends with an empty name: two zero characters after the last one.
    const SIZE_T charSize = wide ? sizeof(wchar_t) : sizeof(char);
    const SIZE_T bytes = sizeof(DROPFILES) + (static_cast<SIZE_T>(characters) + 2) * charSize;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    auto* block = memory ? static_cast<BYTE*>(GlobalLock(memory)) : nullptr;
    if (!block) {
        if (memory)
            GlobalFree(memory);
        CText::FreeUnicode(wideName);
        return nullptr;
    }
    auto* header = reinterpret_cast<DROPFILES*>(block);
    header->pFiles = sizeof(DROPFILES);
    header->pt.x = 0;
    header->pt.y = 0;
    header->fNC = FALSE;
    header->fWide = wide ? TRUE : FALSE;
    if (wide)
        std::memcpy(block + sizeof(DROPFILES), wideName, characters * charSize);
    else
        std::memcpy(block + sizeof(DROPFILES), file.c_str(), characters);
    GlobalUnlock(memory);
    CText::FreeUnicode(wideName);
    return memory;
}

HGLOBAL CreateIdListObject(const CItemId& folder, const CItemId& item)
{
    const UINT folderBytes = folder.Length();
    const UINT itemBytes = item.Length();
    if (folderBytes == 0 || itemBytes == 0)
        return nullptr;
    // The count, then the offsets of the folder's list and of the one item.
    const UINT header = sizeof(UINT) * 3;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, header + folderBytes + itemBytes);
    auto* block = memory ? static_cast<BYTE*>(GlobalLock(memory)) : nullptr;
    if (!block) {
        if (memory)
            GlobalFree(memory);
        return nullptr;
    }
    auto* array = reinterpret_cast<CIDA*>(block);
    array->cidl = 1;
    array->aoffset[0] = header;
    array->aoffset[1] = header + folderBytes;
    std::memcpy(block + header, folder.List(), folderBytes);
    std::memcpy(block + header + folderBytes, item.List(), itemBytes);
    GlobalUnlock(memory);
    return memory;
}

BOOL ReadDropFileList(HGLOBAL memory, std::vector<std::string>& files, size_t* refused)
{
    files.clear();
    if (refused)
        *refused = 0;
    const SIZE_T size = memory ? GlobalSize(memory) : 0;
    if (size < sizeof(DROPFILES))
        return FALSE;
    const auto* block = static_cast<const BYTE*>(GlobalLock(memory));
    if (!block)
        return FALSE;
    DROPFILES header;
    std::memcpy(&header, block, sizeof header);
    const SIZE_T charSize = header.fWide ? sizeof(wchar_t) : sizeof(char);
    BOOL ok = header.pFiles >= sizeof(DROPFILES) && header.pFiles <= size;
    SIZE_T offset = header.pFiles;
    bool ended = false;
    while (ok && !ended) {
        // One name: characters up to a zero that lies inside the memory.
        std::string name;
        std::wstring wideName;
        bool terminated = false;
        while (offset + charSize <= size) {
            wchar_t character = 0;
            if (header.fWide)
                std::memcpy(&character, block + offset, sizeof character);
            else
                character = static_cast<unsigned char>(block[offset]);
            offset += charSize;
            if (character == 0) {
                terminated = true;
                break;
            }
            if (header.fWide)
                wideName.push_back(character);
            else
                name.push_back(static_cast<char>(character));
        }
        if (!terminated) {
            ok = FALSE;
        } else if (name.empty() && wideName.empty()) {
            ended = true;
        } else if (!header.fWide) {
            files.push_back(name);
        } else {
            // The whole name at once: a letter the code page lacks turns the
            // path into its short form rather than into a question mark.
            CText path;
            if (AnsiPathOf(wideName.c_str(), path) != AnsiPathForm::kNoForm)
                files.push_back(path.c_str());
            else if (refused)
                ++*refused;
        }
    }
    GlobalUnlock(memory);
    if (!ok) {
        files.clear();
        if (refused)
            *refused = 0;
    }
    return ok;
}

// ---------------------------------------------------------------- CDataObject

namespace {

const CComInterface kDataObjectInterfaces[] = {COM_INTERFACE(CDataObject, IDataObject)};
const CComTraceTexts kDataObjectTexts = {nullptr, "AddRef called on data object", "Release called on data object",
                                         "Deleting data object"};

} // namespace

CDataObject::CDataObject(CApplication* app) : CComObject(kDataObjectInterfaces, kDataObjectTexts), m_app(app) {}

BOOL CDataObject::GetTransferText(CText& text)
{
    if (m_holdsButton) {
        Trace("Getting data from button");
        if (!GetFileOfButtonStorage(m_storage.Get(), text))
            return FALSE;
    } else {
        Trace("Getting data from filename");
        text = m_text;
    }
    Trace("Data got");
    return !text.IsEmpty();
}

HRESULT CDataObject::GetIdList(STGMEDIUM* medium)
{
    CText name;
    if (!GetTransferText(name))
        return E_UNEXPECTED;
    CShellFolder desktop;
    if (!desktop.IsValid()) {
        Trace("IShellFolder invalid");
        return E_UNEXPECTED;
    }
    CItemId folder;
    if (!desktop.ParseDisplayName(name, folder)) {
        Trace("ParseDisplayName failed");
        return E_UNEXPECTED;
    }
    CItemId item(static_cast<LPCITEMIDLIST>(nullptr));
    // An item right on the desktop leaves the desktop's list as its folder.
    folder.Split(&item);
    HGLOBAL memory = CreateIdListObject(folder, item);
    if (!memory) {
        Trace("CreateIdListObject failed");
        return E_UNEXPECTED;
    }
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT CDataObject::GetHdrop(STGMEDIUM* medium)
{
    CText name;
    HGLOBAL memory = GetTransferText(name) ? CreateHdropObject(name) : nullptr;
    if (!memory) {
        Trace("CreateHdropObject failed");
        return E_UNEXPECTED;
    }
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

STDMETHODIMP CDataObject::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    Trace("DO::GetData");
    if (!format || !medium)
        return E_INVALIDARG;
    if (!(format->dwAspect & DVASPECT_CONTENT)) {
        Trace("Invalid aspect");
        return DV_E_FORMATETC;
    }
    try {
        switch (IndexOfFormat(format->cfFormat)) {
        case kFormatButton: {
            Trace("ExecButton requested");
            if (!m_holdsButton || !m_storage) {
                Trace("Button requsted when no button passed");
                return DV_E_FORMATETC;
            }
            if (!(format->tymed & TYMED_ISTORAGE))
                return DV_E_TYMED;
            Trace("Copying supplied storage");
            // Each caller gets a storage of its own, so none can change what
            // the next one receives.
            CComPtr<IStorage> copy;
            if (FAILED(CreateTemporaryStorage(copy.put())) || FAILED(m_storage->CopyTo(0, nullptr, nullptr, copy.Get()))) {
                Trace("CREATE FAIL");
                return E_UNEXPECTED;
            }
            medium->tymed = TYMED_ISTORAGE;
            medium->pstg = copy.Detach();
            medium->pUnkForRelease = nullptr;
            return S_OK;
        }
        case kFormatIdList:
            Trace("Id List requested");
            if (!(format->tymed & TYMED_HGLOBAL))
                return DV_E_TYMED;
            return GetIdList(medium);
        case kFormatHdrop:
            Trace("HDrop requested");
            if (!(format->tymed & TYMED_HGLOBAL))
                return DV_E_TYMED;
            return GetHdrop(medium);
        default:
            Trace("Unsupported format");
            Trace("Invalid data format");
            return DV_E_FORMATETC;
        }
    } catch (...) {
        // Nothing may escape into the caller, which is OLE or another program.
        return E_UNEXPECTED;
    }
}

STDMETHODIMP CDataObject::GetDataHere(FORMATETC*, STGMEDIUM*)
{
    return E_NOTIMPL;
}

STDMETHODIMP CDataObject::QueryGetData(FORMATETC* format)
{
    Trace("DO::QueryGetData");
    if (!format)
        return E_INVALIDARG;
    if (!(format->dwAspect & DVASPECT_CONTENT)) {
        Trace("Invalid aspect");
        return DV_E_FORMATETC;
    }
    const int index = IndexOfFormat(format->cfFormat);
    if (index == kFormatNone) {
        Trace("Invalida data format");
        return DV_E_FORMATETC;
    }
    if (index == kFormatButton && !m_holdsButton) {
        Trace("Cannot supply button");
        return DV_E_FORMATETC;
    }
    return (format->tymed & kFormatMedium[index]) ? S_OK : S_FALSE;
}

STDMETHODIMP CDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* canonical)
{
    if (!canonical)
        return E_INVALIDARG;
    canonical->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

STDMETHODIMP CDataObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release)
{
    Trace("DO::SetData");
    if (!format || !medium)
        return E_INVALIDARG;
    if (format->cfFormat == TransferClipFormat(kFormatButton)) {
        if (!(format->tymed & TYMED_ISTORAGE) || medium->tymed != TYMED_ISTORAGE || !medium->pstg) {
            Trace("NOT STORAGE");
            Trace("TYMED");
            return DV_E_TYMED;
        }
        // The storage is someone else's: copied within a deadline, so that a
        // damaged one cannot hold the program.
        CComPtr<IStorage> copy;
        HRESULT hr = CopyForeignStorage(medium->pstg, copy.put());
        if (FAILED(hr)) {
            if (TraceOn())
                LogHResult(hr);
            return hr;
        }
        if (release)
            ReleaseStgMedium(medium);
        m_storage = std::move(copy);
        m_holdsButton = TRUE;
        Trace("SetData OK");
        return S_OK;
    }
    if (format->cfFormat == CF_TEXT) {
        Trace("Sent data as text");
        if (!(format->tymed & TYMED_HGLOBAL) || medium->tymed != TYMED_HGLOBAL || !medium->hGlobal) {
            Trace("NOT HGLOBAL");
            return DV_E_TYMED;
        }
        // The text may come from anywhere: it ends at its terminator or at
        // the end of its memory, whichever comes first.
        const SIZE_T size = GlobalSize(medium->hGlobal);
        const char* text = static_cast<const char*>(GlobalLock(medium->hGlobal));
        if (!text)
            return E_UNEXPECTED;
        SIZE_T length = 0;
        while (length < size && text[length])
            ++length;
        const std::string copy(text, length);
        GlobalUnlock(medium->hGlobal);
        if (release)
            ReleaseStgMedium(medium);
        m_text = copy.c_str();
        m_holdsButton = FALSE;
        m_storage.Reset();
        Trace("SetData OK (Text)");
        return S_OK;
    }
    Trace("INVALID FORMAT");
    return DV_E_FORMATETC;
}

STDMETHODIMP CDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator)
{
    Trace("DO::EnumFormatEtc");
    if (!enumerator)
        return E_INVALIDARG;
    *enumerator = nullptr;
    if (direction != DATADIR_GET && direction != DATADIR_SET)
        return E_NOTIMPL;
    BOOL isUrl = FALSE;
    if (m_holdsButton) {
        CComPtr<IStream> data;
        DWORD kind = 0;
        isUrl = ReadStoredKind(m_storage.Get(), kind, data) && kind == kKindUrl;
    }
    auto* formats = new (std::nothrow) CEnumFormatEtc(m_app, m_holdsButton, isUrl);
    if (!formats)
        return E_OUTOFMEMORY;
    *enumerator = formats;
    return S_OK;
}

STDMETHODIMP CDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*)
{
    return E_NOTIMPL;
}

STDMETHODIMP CDataObject::DUnadvise(DWORD)
{
    return E_NOTIMPL;
}

STDMETHODIMP CDataObject::EnumDAdvise(IEnumSTATDATA**)
{
    return E_NOTIMPL;
}

// ---------------------------------------------------------------- CEnumFormatEtc

namespace {

const CComInterface kEnumFormatEtcInterfaces[] = {COM_INTERFACE(CEnumFormatEtc, IEnumFORMATETC)};
const CComTraceTexts kEnumFormatEtcTexts = {nullptr, "AddRef called on EnumFormatEtc",
                                            "Release called on EnumFormatEtc", "Deleting EnumFormatEtc"};

} // namespace

CEnumFormatEtc::CEnumFormatEtc(CApplication* app, BOOL holdsButton, BOOL isUrlButton)
    : CComObject(kEnumFormatEtcInterfaces, kEnumFormatEtcTexts), m_app(app), m_holdsButton(holdsButton),
      m_isUrlButton(isUrlButton)
{
    if (holdsButton) {
        m_formats[0] = TransferFormatEtc(kFormatButton);
        m_count = 1;
    } else {
        m_formats[0] = TransferFormatEtc(kFormatIdList);
        m_formats[1] = TransferFormatEtc(kFormatHdrop);
        m_count = 2;
    }
}

STDMETHODIMP CEnumFormatEtc::Next(ULONG wanted, FORMATETC* formats, ULONG* fetched)
{
    // COM lets a caller leave out the count only when it asks for one entry.
    if (!formats || (!fetched && wanted != 1)) {
        Trace("Bad Pointer");
        return E_POINTER;
    }
    ULONG copied = 0;
    while (copied < wanted && m_position < m_count)
        formats[copied++] = m_formats[m_position++];
    if (fetched)
        *fetched = copied;
    return copied == wanted ? S_OK : S_FALSE;
}

STDMETHODIMP CEnumFormatEtc::Skip(ULONG count)
{
    Trace("EFE::Skip");
    if (count > m_count - m_position) {
        Trace("Past end");
        m_position = m_count;
        return S_FALSE;
    }
    m_position += count;
    return S_OK;
}

STDMETHODIMP CEnumFormatEtc::Reset()
{
    m_position = 0;
    return S_OK;
}

STDMETHODIMP CEnumFormatEtc::Clone(IEnumFORMATETC** copy)
{
    if (!copy)
        return E_POINTER;
    *copy = nullptr;
    auto* clone = new (std::nothrow) CEnumFormatEtc(m_app, m_holdsButton, m_isUrlButton);
    if (!clone)
        return E_OUTOFMEMORY;
    clone->m_count = m_count;
    clone->m_position = m_position;
    for (ULONG i = 0; i < kMaxFormats; ++i)
        clone->m_formats[i] = m_formats[i];
    *copy = clone;
    return S_OK;
}
