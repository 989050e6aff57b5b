// Toolbar files through ltltool: a file as the program's own reader finds it,
// and the sample toolbar.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace driver {

// The dump of the toolbar file at path, written through a file in folder;
// a discarded value when the tool cannot run or its output is no JSON.
nlohmann::json DumpToolbar(const std::string& path, const std::string& folder);
// Writes the sample toolbar (notepad, regedit, a space and drive C:) to path,
// the tool's output going to a file in folder; false when the tool failed.
bool WriteSampleToolbar(const std::string& path, const std::string& folder);

} // namespace driver
