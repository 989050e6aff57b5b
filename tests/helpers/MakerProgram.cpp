// maker_*.exe: programs that do nothing, each with the version information
// of another software maker (or none), the targets of the Start Menu
// shortcuts the wizard's applications search is tried on.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return 0;
}
