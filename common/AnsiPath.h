// Toolbar files keep their texts as 8-bit text of the ANSI code page.  A file
// or folder whose name holds letters that code page lacks (Greek, Cyrillic or
// CJK names on a Western system) is kept by its short 8.3 name, which the file
// system writes in plain letters and which still opens the same file.
#pragma once

#include "Text.h"

#include <windows.h>

enum class AnsiPathForm {
    kAsItIs,       // every letter converts: the path itself
    kShortName,    // the short 8.3 path stands in
    kNoForm,       // neither the path nor a short name can be written
};

// The function that gives a path's short form (GetShortPathNameW's shape).
using ShortPathSource = DWORD(WINAPI*)(LPCWSTR longPath, LPWSTR shortPath, DWORD size);

// The 8-bit form of a wide path; path is empty for kNoForm.  Drives without
// short names, and names that do not exist, give kNoForm when the path
// itself does not convert.
AnsiPathForm AnsiPathOf(const wchar_t* wide, CText& path, ShortPathSource source = nullptr);

// The wide text as 8-bit text when every character converts and converts
// back to itself; FALSE (and text unchanged) otherwise.
BOOL ConvertsExactly(const wchar_t* wide, CText& text);

// The name the shell shows for a path given in 8-bit form (perhaps short):
// the long name's title as 8-bit text where it converts, else the title of
// the path as given.  FALSE when the path has no title.
BOOL AnsiTitleOf(const char* path, CText& title);

// The extension (with its dot) that a path's file type goes by; empty when it
// has none.  A short 8.3 stand-in keeps three letters of a longer extension
// (".LIN" for ".lintname"), so its type is read from the long name's.
CText TypeExtensionOf(const char* path);
