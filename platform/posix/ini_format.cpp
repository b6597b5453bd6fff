#include "platform/posix/ini_format.h"

namespace orvanta::platform::ini {
namespace {

constexpr bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

constexpr unsigned char Lower(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

// ASCII letters fold; the second byte of a two-byte character may be a
// letter too, and is compared exactly.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
    if (ca >= 0x80) {
      if (ca != cb || (i + 1 < a.size() && a[i + 1] != b[i + 1])) return false;
      ++i;
    } else if (Lower(ca) != Lower(cb)) {
      return false;
    }
  }
  return true;
}

std::string_view Unquoted(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

// The name of a section header line ("[name]", the last ']' closing it).
bool SectionName(std::string_view line, std::string_view& name) {
  if (line.empty() || line.front() != '[') return false;
  const std::size_t close = line.rfind(']');
  if (close == 0 || close == std::string_view::npos) return false;
  name = Trim(line.substr(1, close - 1));
  return true;
}

}  // namespace

Location Locate(std::string_view content, std::string_view section, std::string_view key) {
  section = Trim(section);
  key = Trim(key);
  Location at;
  bool inside = false;
  std::size_t pos = 0;
  while (pos < content.size()) {
    const std::size_t newline = content.find('\n', pos);
    const std::size_t next = newline == std::string_view::npos ? content.size() : newline + 1;
    const std::string_view line =
        Trim(content.substr(pos, next - pos - (newline != std::string_view::npos)));
    std::string_view name;
    if (SectionName(line, name)) {
      if (inside) break;  // only the first section of the name counts
      if (SameName(name, section)) {
        at.section_found = inside = true;
        at.section_end = next;
      }
    } else if (inside && !line.empty()) {
      at.section_end = next;
      const std::size_t equals = line.find('=');
      if (line.front() != ';' && equals != std::string_view::npos &&
          SameName(Trim(line.substr(0, equals)), key)) {
        at.key_found = true;
        at.key_line = pos;
        at.after_key_line = next;
        at.value = Unquoted(Trim(line.substr(equals + 1)));
        break;
      }
    }
    pos = next;
  }
  return at;
}

}  // namespace orvanta::platform::ini
