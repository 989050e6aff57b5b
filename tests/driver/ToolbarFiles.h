// Toolbar files made byte by byte, for tests that need a toolbar of a
// given shape without going through the program.
#pragma once

#include "CompoundFile.h"

#include <windows.h>

#include <string>
#include <vector>

// The values of a toolbar record; the defaults are a plain current toolbar.
struct RecordValues {
    std::string name = "Stored";
    uint32_t position = MAKELONG(120, 80);
    uint32_t docked = 0;
    uint32_t corner = 10;
    uint32_t orientation = 1;
    uint8_t perLine = 1;
    uint32_t alwaysOnTop = 0;
    uint32_t hidden = 0;
    uint32_t count = 0;
    uint32_t useGradient = 0, startIsSystem = 0, endIsSystem = 0;
    uint32_t startColour = 0x00112233, endColour = 0x00445566;
    uint32_t buttonSize = 1;
    uint16_t border = 3;
    uint32_t showDescription = 0, showButtonBackground = 1, showMenuButtons = 1, autohide = 0;
    uint32_t isProtected = 0, passwordRequired = 0;
    std::string password;
    uint32_t level = 4, quickUnlock = 0;
};

// The toolbar record of a version, field by field.
std::vector<uint8_t> FullRecord(const RecordValues& values, uint32_t version);
// A version stream.
std::vector<uint8_t> Version(uint32_t version);
// A file of the version with the record and the given number of spaces as buttons.
CompoundContent FileWith(const RecordValues& values, uint32_t version, int spaces = 0);
