// Percent-encoding of the user's words for web addresses, and decoding of a
// percent-encoded answer. The three routines follow different rules and are
// not interchangeable.
#pragma once

#include "common/text.h"

namespace orvanta {

// Song-search keyword: ASCII punctuation, TAB, CR and LF escaped; letters,
// digits and spaces kept; each two-byte character as its UTF-8 escapes.
Text EncodeSearchKeyword(std::string_view text);
// Every byte escaped, except letters, digits, '-' and '.' when keep_plain;
// to_utf8 converts the GBK text to UTF-8 first.
Text UrlEncode(std::string_view text, bool keep_plain = false, bool to_utf8 = false);
// "%XX" (either case) to bytes; a decoded zero byte is dropped; malformed
// escapes still give a byte; from_utf8 converts the result to GBK.
Text UrlDecode(std::string_view text, bool from_utf8 = false);

}  // namespace orvanta
