#include "Password.h"

#include <cstring>

unsigned char ScramblePasswordByte(unsigned char value)
{
    // The substitution CText::Substitute has always made, so the passwords in
    // existing files still open; 0x81 would flip to the terminator and stays
    // itself, as 0 does.
    if (value == 0 || value == 0x81)
        return value;
    return static_cast<unsigned char>(value ^ 0x81);
}

CText ScramblePassword(const char* typed)
{
    CText scrambled(typed ? typed : "");
    const int length = scrambled.Length();
    for (int i = 0; i < length; ++i) {
        char* at = scrambled.At(i);
        *at = static_cast<char>(ScramblePasswordByte(static_cast<unsigned char>(*at)));
    }
    return scrambled;
}

bool SamePassword(const CText& stored, const CText& scrambled)
{
    const char* a = stored.c_str() ? stored.c_str() : "";
    const char* b = scrambled.c_str() ? scrambled.c_str() : "";
    return std::strcmp(a, b) == 0;
}
