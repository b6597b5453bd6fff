// The line rules of a private-profile file, shared by the reader and the
// writer so that both agree on where an entry is.
#pragma once

#include <cstddef>
#include <string_view>

namespace orvanta::platform::ini {

struct Location {
  bool section_found = false;
  // Just after the section's last line that is not blank (its header line
  // when it holds nothing): where a new key of the section goes.
  std::size_t section_end = 0;
  bool key_found = false;
  std::size_t key_line = 0;        // first byte of the key's line
  std::size_t after_key_line = 0;  // first byte of the line after it
  std::string_view value;          // as a reader returns it
};

// The first section named section and in it the first line holding key and
// '='. Names match without regard to ASCII case (two-byte characters exactly)
// and surrounding blanks; a line opening with ';' is a comment. The value
// loses its surrounding blanks and one pair of enclosing quotes (" or ').
Location Locate(std::string_view content, std::string_view section, std::string_view key);

}  // namespace orvanta::platform::ini
