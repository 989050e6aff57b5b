// The toolbar description the wizard hands to the main program: a compound
// file with one stream "DATA" holding the name, docking, button style and
// one pair of item lists per chosen object.  The main program reads it,
// builds and saves the toolbar, and deletes the file.
#pragma once

#include "FoundItem.h"

struct WizardAnswers
{
    CText name;
    int position = 0;         // 0 floating, 1..4 the corners
    int vertical = 1;
    int buttonSize = 1;       // 2 large, 1 normal, 0 small
    int showDescriptions = 0;
};

// Writes the fields in the file's order; the checked items only, in order.
// FALSE at the first failed write or at an item without a list of its own.
BOOL WriteWizardData(IStream* stream, const WizardAnswers& answers, const FoundItems& found);
// Makes the description file in folder under a fresh "LTL" temporary name
// and writes it; path receives its full name.  The file is gone again on
// failure.
BOOL CreateWizardDataFile(const char* folder, const WizardAnswers& answers, const FoundItems& found, CText& path);
// The whole hand-over: the file in the current folder, its path in a global
// atom, UM_CREATETB to the main program.  On any failure nothing is left
// behind.
BOOL HandOverToolbar(const WizardAnswers& answers, const FoundItems& found);
