// Private-profile (INI) file access with the contracts of the Windows calls
// GetPrivateProfileStringA / WritePrivateProfileStringA. The Windows build
// calls those; the POSIX build reads and writes the same CRLF files itself.
// All four texts are GBK; the file name is converted for the file system here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orvanta::platform {

// The value of key in section, or default_value when the file, the section or
// the key is missing; trailing spaces of the default are dropped. Section and
// key names match without regard to ASCII case and surrounding blanks; blanks
// around the value and one pair of enclosing double quotes are dropped. The
// result is cut to buffer_size - 1 bytes (buffer_size 0: empty).
std::string ReadIniValue(std::string_view file, std::string_view section, std::string_view key,
                         std::string_view default_value, std::size_t buffer_size);

// Writes key=value into section, creating the file (not its folder) when it
// is missing. Returns whether the write succeeded. Texts holding line breaks
// or zero bytes are the caller's to refuse: they would be written as they are.
bool WriteIniValue(std::string_view file, std::string_view section, std::string_view key,
                   std::string_view value);

}  // namespace orvanta::platform
