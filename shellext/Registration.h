// The keys that make the shell load ltlext.dll: its two classes, the context
// menu handler for files and folders, and the Find menu entry.  Setup writes
// them when it installs Lintel; developers and the tests write them with
// these functions.
#pragma once

#include <windows.h>

enum class CRegistrationScope {
    kMachine,   // HKEY_CLASSES_ROOT and HKEY_LOCAL_MACHINE: every user, as setup installs it
    kUser,      // HKEY_CURRENT_USER\Software\Classes and HKEY_CURRENT_USER
};

// The registry view a library belongs in, read from its image header: a
// 32-bit shell on 64-bit Windows reads the 32-bit view and loads only a
// 32-bit library; 0 when the file is no library of either machine.
REGSAM RegistryViewOfLibrary(const char* libraryPath);

// Writes every key for the library at its full path into the view of its
// bitness; E_INVALIDARG for a file that is no library, else the first
// registry failure as an HRESULT.
HRESULT RegisterShellExtension(const char* libraryPath, CRegistrationScope scope);
// Removes what RegisterShellExtension writes from the view of view (the one
// RegistryViewOfLibrary gives); keys already gone are no failure.  A key the
// two views share (WOW64 shares the file-type keys of HKCR, for one) stays
// while the library of the other bitness is still registered.
HRESULT UnregisterShellExtension(REGSAM view, CRegistrationScope scope);
