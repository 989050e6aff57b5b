#include "WizardData.h"

#include "../common/ComPtr.h"
#include "../common/ControlMessages.h"
#include "../common/TraceLog.h"

#include <ole2.h>

namespace {

BOOL WriteNumber(IStream* stream, DWORD value)
{
    const BYTE bytes[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
                           static_cast<BYTE>(value >> 24)};
    ULONG written = 0;
    return SUCCEEDED(stream->Write(bytes, sizeof bytes, &written)) && written == sizeof bytes;
}

} // namespace

BOOL WriteWizardData(IStream* stream, const WizardAnswers& answers, const FoundItems& found)
{
    if (!stream)
        return FALSE;
    DWORD checked = 0;
    for (const auto& item : found)
        checked += item->Checked() ? 1 : 0;
    if (!answers.name.Write(stream) || !WriteNumber(stream, static_cast<DWORD>(answers.position))
        || !WriteNumber(stream, answers.vertical ? 1 : 0) || !WriteNumber(stream, static_cast<DWORD>(answers.buttonSize))
        || !WriteNumber(stream, answers.showDescriptions ? 1 : 0) || !WriteNumber(stream, checked))
        return FALSE;
    for (const auto& item : found) {
        if (!item->Checked())
            continue;
        // A parent may be the desktop, whose list is the terminator alone;
        // the object itself must have a list of its own.
        if (!item->Parent().List() || item->Item().Length() <= 2)
            return FALSE;
        if (!item->Parent().Write(stream) || !item->Item().Write(stream))
            return FALSE;
    }
    return TRUE;
}

BOOL CreateWizardDataFile(const char* folder, const WizardAnswers& answers, const FoundItems& found, CText& path)
{
    char name[MAX_PATH + 1]{};
    if (!folder || !GetTempFileNameA(folder, "LTL", 0, name))
        return FALSE;
    path = name;
    // The compound file is made over the empty file GetTempFileName left, so
    // that the reserved name is never free for another program to take.
    wchar_t* wide = nullptr;
    if (!path.ToUnicode(&wide)) {
        DeleteFileA(name);
        return FALSE;
    }
    BOOL written = FALSE;
    {
        CComPtr<IStorage> storage;
        HRESULT hr = StgCreateDocfile(wide, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, storage.put());
        if (SUCCEEDED(hr) && storage) {
            CComPtr<IStream> stream;
            hr = storage->CreateStream(L"DATA", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, stream.put());
            if (SUCCEEDED(hr) && stream)
                written = WriteWizardData(stream.Get(), answers, found);
            if (written)
                written = SUCCEEDED(storage->Commit(STGC_DEFAULT));
        }
        if (FAILED(hr) && TraceOn())
            LogFormat("HR=%08lx", static_cast<unsigned long>(hr));
    }
    CText::FreeUnicode(wide);
    if (!written)
        DeleteFileA(name);
    return written;
}

BOOL HandOverToolbar(const WizardAnswers& answers, const FoundItems& found)
{
    char folder[MAX_PATH + 1]{};
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
    if (length == 0 || length > MAX_PATH)
        return FALSE;
    CText path;
    if (!CreateWizardDataFile(folder, answers, found, path))
        return FALSE;
    const ATOM atom = GlobalAddAtomA(path.c_str());
    if (!atom) {
        DeleteFileA(path.c_str());
        return FALSE;
    }
    HWND main = FindWindowA(LINTEL_MAIN_CLASS, "Lintel");
    if (!main || !PostMessageA(main, UM_CREATETB, 0, static_cast<LPARAM>(atom))) {
        GlobalDeleteAtom(atom);
        DeleteFileA(path.c_str());
        return FALSE;
    }
    return TRUE;
}
