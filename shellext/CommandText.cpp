#include "CommandText.h"

#include <shlobj.h>

#include <cstring>

HRESULT WriteCommandText(UINT request, const char* text, LPSTR buffer, UINT size)
{
    if (!buffer || size == 0 || !text)
        return E_INVALIDARG;
    const size_t length = std::strlen(text);
    if (request & GCS_UNICODE) {
        auto* wide = reinterpret_cast<WCHAR*>(buffer);
        const int needed = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length) + 1, nullptr, 0);
        if (needed <= 0) {
            wide[0] = L'\0';
            return E_FAIL;
        }
        if (static_cast<UINT>(needed) <= size) {
            MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length) + 1, wide, needed);
            return S_OK;
        }
        // The cut text: as many characters as the buffer holds, then the zero.
        const int written = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(size - 1), wide,
                                                static_cast<int>(size - 1));
        wide[written > 0 ? written : 0] = L'\0';
        return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    }
    if (length < size) {
        std::memcpy(buffer, text, length + 1);
        return S_OK;
    }
    std::memcpy(buffer, text, size - 1);
    buffer[size - 1] = '\0';
    return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
}

CCommandRequest CommandRequestOf(UINT request)
{
    switch (request & ~static_cast<UINT>(GCS_UNICODE)) {
    case GCS_VERBA: return CCommandRequest::kVerb;
    case GCS_HELPTEXTA: return CCommandRequest::kHelpText;
    case GCS_VALIDATEA: return CCommandRequest::kValidate;
    default: return CCommandRequest::kOther;
    }
}
