#include "AnsiPath.h"

#include <commdlg.h>

#include <cstring>

#include <vector>

BOOL ConvertsExactly(const wchar_t* wide, CText& text)
{
    if (!wide)
        return FALSE;
    if (!*wide) {
        text = "";
        return TRUE;
    }
    // WC_NO_BEST_FIT_CHARS: "α" must not quietly become "a", which would name
    // another file.  The way back catches what the flag cannot on DBCS pages.
    BOOL defaulted = FALSE;
    const int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, nullptr, 0, nullptr, &defaulted);
    if (bytes <= 0 || defaulted)
        return FALSE;
    std::vector<char> narrow(static_cast<size_t>(bytes));
    defaulted = FALSE;
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, narrow.data(), bytes, nullptr, &defaulted) != bytes
        || defaulted)
        return FALSE;
    const int back = MultiByteToWideChar(CP_ACP, 0, narrow.data(), -1, nullptr, 0);
    if (back <= 0)
        return FALSE;
    std::vector<wchar_t> again(static_cast<size_t>(back));
    if (MultiByteToWideChar(CP_ACP, 0, narrow.data(), -1, again.data(), back) != back || lstrcmpW(again.data(), wide) != 0)
        return FALSE;
    text = narrow.data();
    return TRUE;
}

AnsiPathForm AnsiPathOf(const wchar_t* wide, CText& path, ShortPathSource source)
{
    path = "";
    if (!wide || !*wide)
        return AnsiPathForm::kNoForm;
    if (ConvertsExactly(wide, path))
        return AnsiPathForm::kAsItIs;
    if (!source)
        source = GetShortPathNameW;
    const DWORD needed = source(wide, nullptr, 0);
    if (needed == 0)
        return AnsiPathForm::kNoForm;
    std::vector<wchar_t> shortPath(static_cast<size_t>(needed) + 1);
    const DWORD written = source(wide, shortPath.data(), needed + 1);
    if (written == 0 || written > needed)
        return AnsiPathForm::kNoForm;
    // A volume with short names turned off gives the long name back.
    if (!ConvertsExactly(shortPath.data(), path)) {
        path = "";
        return AnsiPathForm::kNoForm;
    }
    return AnsiPathForm::kShortName;
}

namespace {

// The long form of an 8-bit path that holds a short component; false when the
// path has none (only a short component has a longer name to look up: a long
// path keeps the letters it was given) or the file is not there.
bool LongFormOfShortPath(const char* path, std::vector<wchar_t>& longPath)
{
    const int length = std::strchr(path, '~') ? MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0) : 0;
    if (length <= 0)
        return false;
    std::vector<wchar_t> wide(static_cast<size_t>(length));
    MultiByteToWideChar(CP_ACP, 0, path, -1, wide.data(), length);
    const DWORD needed = GetLongPathNameW(wide.data(), nullptr, 0);
    if (needed == 0)
        return false;
    longPath.assign(static_cast<size_t>(needed) + 1, L'\0');
    const DWORD written = GetLongPathNameW(wide.data(), longPath.data(), needed + 1);
    return written > 0 && written <= needed;
}

} // namespace

BOOL AnsiTitleOf(const char* path, CText& title)
{
    if (!path || !*path)
        return FALSE;
    std::vector<wchar_t> longPath;
    if (LongFormOfShortPath(path, longPath)) {
        wchar_t wideTitle[MAX_PATH]{};
        // GetFileTitle follows the user's choice of showing extensions.
        if (GetFileTitleW(longPath.data(), wideTitle, MAX_PATH) == 0 && ConvertsExactly(wideTitle, title))
            return TRUE;
    }
    char narrowTitle[MAX_PATH]{};
    if (GetFileTitleA(path, narrowTitle, sizeof narrowTitle) != 0)
        return FALSE;
    title = narrowTitle;
    return TRUE;
}

namespace {

// The extension of the last component of path, from its dot; empty when the
// component has no dot or ends with it.
template <typename Char>
const Char* ExtensionIn(const Char* path)
{
    const Char* last = nullptr;
    for (const Char* at = path; *at; ++at) {
        if (*at == Char('\\') || *at == Char('/'))
            last = nullptr;
        else if (*at == Char('.'))
            last = at;
    }
    return last && last[1] ? last : nullptr;
}

} // namespace

CText TypeExtensionOf(const char* path)
{
    if (!path || !*path)
        return CText();
    const char* own = ExtensionIn(path);
    std::vector<wchar_t> longPath;
    if (LongFormOfShortPath(path, longPath)) {
        const wchar_t* longExtension = ExtensionIn(longPath.data());
        if (!longExtension)
            return CText();
        CText extension;
        if (ConvertsExactly(longExtension, extension))
            return extension;
    }
    return CText(own ? own : "");
}
