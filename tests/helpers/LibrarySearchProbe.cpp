// Loads the virtual-desktop library by its bare name, the careless way, after
// the programs' start-up restriction of the library search when its argument
// is "restricted".  The exit code is 1 when the library loaded, else 0.
#include "common/DllSearch.h"

#include <cstring>

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "restricted") == 0)
        RestrictLibrarySearch();
    HMODULE library = LoadLibraryA("Mlv95Api.dll");
    if (!library)
        return 0;
    FreeLibrary(library);
    return 1;
}
