// ltlextreg: registers ltlext.dll with the shell, or removes its registration,
// the way setup does, for a developer's machine and the tests.
//
//   ltlextreg register   [--user] [LIBRARY]
//   ltlextreg unregister [--user] [LIBRARY]
//
// LIBRARY defaults to ltlext.dll beside the tool.  The keys go to the
// registry view of the library's own bitness, whatever the tool's is; --user
// writes them for the current user only.
#include "../../shellext/Registration.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: ltlextreg register|unregister [--user] [LIBRARY]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    const bool registering = std::strcmp(argv[1], "register") == 0;
    if (!registering && std::strcmp(argv[1], "unregister") != 0)
        return Usage();
    CRegistrationScope scope = CRegistrationScope::kMachine;
    std::string library;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--user") == 0)
            scope = CRegistrationScope::kUser;
        else if (library.empty())
            library = argv[i];
        else
            return Usage();
    }
    if (library.empty()) {
        char self[MAX_PATH]{};
        const DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
        if (length == 0 || length >= sizeof self)
            return 1;
        library = self;
        library = library.substr(0, library.find_last_of('\\') + 1) + "ltlext.dll";
    }
    char full[MAX_PATH]{};
    const DWORD length = GetFullPathNameA(library.c_str(), sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full) {
        std::fprintf(stderr, "%s: no such path\n", library.c_str());
        return 1;
    }
    const REGSAM view = RegistryViewOfLibrary(full);
    if (!view) {
        std::fprintf(stderr, "%s: not a 32-bit or 64-bit library\n", full);
        return 1;
    }
    const HRESULT hr = registering ? RegisterShellExtension(full, scope) : UnregisterShellExtension(view, scope);
    if (FAILED(hr)) {
        std::fprintf(stderr, "%s failed: HR=%08lx\n", argv[1], static_cast<unsigned long>(hr));
        return 1;
    }
    std::printf("%s %s (%s-bit view)\n", registering ? "registered" : "unregistered", full,
                view == KEY_WOW64_32KEY ? "32" : "64");
    return 0;
}
