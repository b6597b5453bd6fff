#include "common/settings.h"

#include "platform/ini.h"
#include "platform/process.h"

namespace orvanta {
namespace {

constexpr std::size_t kValueBuffer = 10240;

std::string_view WithoutLeadingControls(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) >= 1 &&
         static_cast<unsigned char>(s.front()) <= 32)
    s.remove_prefix(1);
  return s;
}

// CR and LF never occur inside a two-byte character (second bytes start at
// 0x40); a zero byte would cut the text short at the platform call.
bool BreaksLine(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0", 3)) != s.npos;
}

// A ']' would close the section header early: "[1]x]" could be read as
// section 1 by another INI reader. Only a real ']' counts, not the second
// byte of a two-byte character.
bool BreaksSection(std::string_view s) { return BreaksLine(s) || FindText(s, "]") != -1; }

// The texts an entry can be addressed with, or false when there is none
// that is safe: empty names, and names that would break the file's lines
// or let one section's name write into another section.
bool Addressable(std::string_view& file, std::string_view& section, std::string_view& key) {
  file = WithoutLeadingControls(file);
  section = WithoutLeadingControls(section);
  key = WithoutLeadingControls(key);
  return !file.empty() && !section.empty() && !key.empty() && file.find('\0') == file.npos &&
         !BreaksSection(section) && !BreaksLine(key);
}

}  // namespace

Text RunDirectory() { return platform::ExecutableDirectory(); }

Text SettingsFilePath() { return Concat(RunDirectory(), "/config/Orvanta.vt"); }

Text ReadSetting(std::string_view file, std::string_view section, std::string_view key,
                 std::optional<std::string_view> default_value) {
  if (!Addressable(file, section, key)) return {};
  std::string_view fallback = default_value.value_or(std::string_view());
  fallback = fallback.substr(0, fallback.find('\0'));  // as far as the platform call sees it
  return platform::ReadIniValue(file, section, key, fallback, kValueBuffer);
}

bool WriteSetting(std::string_view file, std::string_view section, std::string_view key,
                  std::string_view value) {
  std::string_view file_name = file, section_name = section, key_name = key;
  if (!Addressable(file_name, section_name, key_name) || BreaksLine(value)) return false;
  // The texts go to the platform as they came; only the checks look past
  // their leading control bytes.
  return platform::WriteIniValue(file, section, key, value);
}

}  // namespace orvanta
