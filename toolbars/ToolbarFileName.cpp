#include "ToolbarFileName.h"

#include <windows.h>

#include <cstring>

namespace {

bool IsRefusedInFileName(unsigned char character)
{
    return character < 32 || std::strchr("\\/:*?\"<>|", character) != nullptr;
}

// Windows opens these devices whatever the folder and the extension: "CON.ltl"
// in any folder is the console.
bool IsDeviceName(const std::string& stem)
{
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : devices) {
        if (lstrcmpiA(stem.c_str(), device) == 0)
            return true;
    }
    if (stem.size() == 4 && stem[3] >= '1' && stem[3] <= '9') {
        const std::string prefix = stem.substr(0, 3);
        return lstrcmpiA(prefix.c_str(), "COM") == 0 || lstrcmpiA(prefix.c_str(), "LPT") == 0;
    }
    return false;
}

} // namespace

std::string ToolbarFileBase(const std::string& name)
{
    std::string base;
    bool meaningful = false;
    for (size_t i = 0; i < name.size(); ++i) {
        const unsigned char character = static_cast<unsigned char>(name[i]);
        // The second byte of a double-byte character may look like a
        // backslash; it belongs to its character.
        if (IsDBCSLeadByte(character) && i + 1 < name.size()) {
            base += name.substr(i, 2);
            ++i;
            meaningful = true;
            continue;
        }
        if (IsRefusedInFileName(character)) {
            base += '_';
            continue;
        }
        base += static_cast<char>(character);
        if (character != '.' && character != ' ')
            meaningful = true;
    }
    // Dots and blanks at the end would stand before the extension
    // ("Tools..ltl"); the file takes the name without them.
    const size_t end = base.find_last_not_of(". ");
    base.erase(end == std::string::npos ? 0 : end + 1);
    if (!meaningful || base.empty())
        return std::string();
    // A device name stays one with blanks after it or an extension of its own.
    size_t stemLength = base.find('.');
    if (stemLength == std::string::npos)
        stemLength = base.size();
    while (stemLength > 0 && base[stemLength - 1] == ' ')
        --stemLength;
    if (IsDeviceName(base.substr(0, stemLength)))
        base.insert(stemLength, "_");
    return base;
}
