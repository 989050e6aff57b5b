// Toolbar passwords.  A password is never kept or stored as typed: every byte
// goes through one fixed substitution table, and the toolbar, its file and
// every comparison only ever see that scrambled form.
#pragma once

#include "../common/Text.h"

// What the password edits take, without the terminator.
constexpr int kMaxPasswordLength = 259;

// The table: a permutation of 1..255 that keeps 0 for 0, so a scrambled
// password never ends early and no two passwords scramble alike.
unsigned char ScramblePasswordByte(unsigned char value);
CText ScramblePassword(const char* typed);
// Byte for byte: case folding on scrambled bytes follows the code page of
// whatever the bytes happen to map to, and would take wrong passwords.
bool SamePassword(const CText& stored, const CText& scrambled);
