#include "ToolbarDump.h"

#include "Driver.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace driver {

nlohmann::json DumpToolbar(const std::string& path, const std::string& folder)
{
    const std::string output = folder + "\\dump.json";
    Process tool;
    if (!tool.StartWithOutput(ProgramFolder() + "\\ltltool.exe", "dump \"" + path + "\"", folder, output)) {
        std::fprintf(stderr, "DumpToolbar: ltltool did not start for %s\n", path.c_str());
        return nlohmann::json(nlohmann::json::value_t::discarded);
    }
    if (!tool.WaitForExit(30000)) {
        std::fprintf(stderr, "DumpToolbar: ltltool did not end for %s\n", path.c_str());
        return nlohmann::json(nlohmann::json::value_t::discarded);
    }
    std::ifstream file(output);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return nlohmann::json::parse(text, nullptr, false);
}

bool WriteSampleToolbar(const std::string& path, const std::string& folder)
{
    Process tool;
    return tool.StartWithOutput(ProgramFolder() + "\\ltltool.exe", "sample \"" + path + "\"", folder,
                                folder + "\\sample.txt")
           && tool.WaitForExit(30000) && tool.ExitCode() == 0;
}

} // namespace driver
