// CDataObject and CEnumFormatEtc: the program's own IDataObject, which carries
// one button (its stored record in a temporary compound storage) or one file
// name between toolbars, through the clipboard and by drag and drop, and
// offers it to other programs as a shell ID list array and a file drop list.
#pragma once

#include "../common/ComObject.h"
#include "../common/ComPtr.h"
#include "../common/ItemId.h"
#include "../common/Text.h"

#include <objidl.h>

#include <string>
#include <vector>

class CApplication;

// The transfer formats by index, in the order a drop tries them.
enum TransferFormat : int {
    kFormatNone = -1,
    kFormatButton = 0,   // "CExecButton", TYMED_ISTORAGE
    kFormatIdList = 1,   // "Shell IDList Array", TYMED_HGLOBAL
    kFormatHdrop = 2,    // CF_HDROP, TYMED_HGLOBAL
    kFormatCount = 3,
};

// The clipboard format of an index, and the FORMATETC it is offered and
// accepted with (content aspect, no target device, lindex -1, its medium).
CLIPFORMAT TransferClipFormat(int index);
FORMATETC TransferFormatEtc(int index);

// A new nameless compound file that vanishes with its last release.
HRESULT CreateTemporaryStorage(IStorage** storage);

// The file behind a stored button record: for kinds 2, 3 and 5 the counted
// name right after the kind in the "DATA" stream; FALSE for other kinds.
BOOL GetFileOfButtonStorage(IStorage* storage, CText& file);

// A DROPFILES block naming one file, wide on the NT family; null on failure.
HGLOBAL CreateHdropObject(const CText& file);
// A "Shell IDList Array" of one item: the folder's list and the item's
// relative list; null on failure.
HGLOBAL CreateIdListObject(const CItemId& folder, const CItemId& item);

// Reads a DROPFILES block from another program.  Every offset and every
// name is checked against the real size of the memory; FALSE when the block
// is damaged (an offset outside it, a name or a list without its end).
// A wide name the code page cannot hold comes as its short path; one with
// no short form either is left out and counted in refused.
BOOL ReadDropFileList(HGLOBAL memory, std::vector<std::string>& files, size_t* refused = nullptr);

class CDataObject final : public CComObject<CDataObject, IDataObject>
{
public:
    explicit CDataObject(CApplication* app);

    // IDataObject
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP QueryGetData(FORMATETC* format) override;
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC* format, FORMATETC* canonical) override;
    STDMETHODIMP SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) override;
    STDMETHODIMP DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
    STDMETHODIMP DUnadvise(DWORD connection) override;
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA** enumerator) override;

    BOOL HoldsButton() const { return m_holdsButton; }

private:
    ~CDataObject() override = default;
    // The text the shell formats are made from: the file behind the held
    // button, or the text given with SetData.
    BOOL GetTransferText(CText& text);
    HRESULT GetIdList(STGMEDIUM* medium);
    HRESULT GetHdrop(STGMEDIUM* medium);

    CApplication* m_app;
    BOOL m_holdsButton = FALSE;
    CComPtr<IStorage> m_storage;
    CText m_text;
};

class CEnumFormatEtc final : public CComObject<CEnumFormatEtc, IEnumFORMATETC>
{
public:
    static constexpr ULONG kMaxFormats = 2;

    CEnumFormatEtc(CApplication* app, BOOL holdsButton, BOOL isUrlButton);

    // IEnumFORMATETC
    STDMETHODIMP Next(ULONG wanted, FORMATETC* formats, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumFORMATETC** copy) override;

private:
    ~CEnumFormatEtc() override = default;

    ULONG m_position = 0;
    ULONG m_count = 0;
    CApplication* m_app;
    FORMATETC m_formats[kMaxFormats] = {};
    BOOL m_holdsButton;
    BOOL m_isUrlButton;
};
