// The file name a new toolbar is saved under comes from the toolbar's name,
// which may hold what Windows refuses in a file name.
#pragma once

#include <string>

// The toolbar's name made fit to stand before ".ltl" in a file name: each
// character Windows refuses (\ / : * ? " < > | and control characters)
// becomes "_", trailing dots and blanks go, and a device name (CON, NUL,
// COM1 ...) gets a "_" after it.  Empty when nothing of the name is left to
// tell the file by; the toolbar is then saved under the default name.
std::string ToolbarFileBase(const std::string& name);
