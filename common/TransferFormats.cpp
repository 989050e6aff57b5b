#include "TransferFormats.h"

#include <shlobj.h>

UINT ButtonClipFormat()
{
    static const UINT format = RegisterClipboardFormatA("CExecButton");
    return format;
}

UINT ItemListClipFormat()
{
    static const UINT format = RegisterClipboardFormatA(CFSTR_SHELLIDLIST);
    return format;
}
