// The one INI settings file that the plug-in and the companion share, and the
// run directory it lies under.
#pragma once

#include <optional>

#include "common/text.h"

namespace orvanta {

// Directory of the running process's executable (the host's, inside the
// plug-in), GBK, without a trailing separator.
Text RunDirectory();
// RunDirectory() + "/config/Orvanta.vt".
Text SettingsFilePath();

// Leading bytes 1..32 of file, section and key are dropped first; when one of
// them is then empty the result is empty and no file is touched. Missing
// entries give the default (empty when left out); values are cut at 10239 bytes.
Text ReadSetting(std::string_view file, std::string_view section, std::string_view key,
                 std::optional<std::string_view> default_value = std::nullopt);
// Writes one entry; the file is created when missing, not its folder. A
// section, key or value holding CR or LF (or a section holding ']') would
// break the file's line structure and is not written. Returns whether the
// entry was written; no caller in the system looks.
bool WriteSetting(std::string_view file, std::string_view section, std::string_view key,
                  std::string_view value);

}  // namespace orvanta
