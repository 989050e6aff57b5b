#include "DialogFonts.h"

CFontHandle MakeDialogFont(const char* face, int points, UINT styles)
{
    HDC screen = GetDC(nullptr);
    const int pixelsPerInch = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    LOGFONTA font{};
    font.lfHeight = -MulDiv(points, pixelsPerInch, 72);
    font.lfWeight = (styles & kFontBold) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = (styles & kFontItalic) ? TRUE : FALSE;
    font.lfUnderline = (styles & kFontUnderline) ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
    return CFontHandle(CreateFontIndirectA(&font));
}
