#include "platform/ini.h"

#include <windows.h>

#include <vector>

namespace orvanta::platform {

std::string ReadIniValue(std::string_view file, std::string_view section, std::string_view key,
                         std::string_view default_value, std::size_t buffer_size) {
  if (buffer_size == 0) return {};
  std::vector<char> buffer(buffer_size, '\0');
  const std::string file_z(file), section_z(section), key_z(key), default_z(default_value);
  const DWORD copied =
      GetPrivateProfileStringA(section_z.c_str(), key_z.c_str(), default_z.c_str(), buffer.data(),
                               static_cast<DWORD>(buffer_size), file_z.c_str());
  return std::string(buffer.data(), copied < buffer_size ? copied : buffer_size - 1);
}

bool WriteIniValue(std::string_view file, std::string_view section, std::string_view key,
                   std::string_view value) {
  const std::string file_z(file), section_z(section), key_z(key), value_z(value);
  return WritePrivateProfileStringA(section_z.c_str(), key_z.c_str(), value_z.c_str(),
                                    file_z.c_str()) != FALSE;
}

}  // namespace orvanta::platform
