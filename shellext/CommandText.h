// The answers of IContextMenu::GetCommandString.
#pragma once

#include <windows.h>

// Writes text into the caller's buffer in the character set the request asks
// for (GCS_UNICODE set: size counts WCHARs), never more than size characters
// with the terminator.  A text that does not fit is cut and reported as
// HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER), as the shell's own string
// copies do; no buffer gives E_INVALIDARG.
HRESULT WriteCommandText(UINT request, const char* text, LPSTR buffer, UINT size);

// What a request asks for once its character set is set aside.
enum class CCommandRequest { kVerb, kHelpText, kValidate, kOther };
CCommandRequest CommandRequestOf(UINT request);
