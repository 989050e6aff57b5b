// A toolbar file as the program's own reader finds it: ltltool's dump.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace driver {

// The dump of the toolbar file at path, written through a file in folder;
// a discarded value when the tool cannot run or its output is no JSON.
nlohmann::json DumpToolbar(const std::string& path, const std::string& folder);

} // namespace driver
