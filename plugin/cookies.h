// Folding the cookies an answer set into the caller's cookie text, so that
// the next request sends the updated cookies. Items are name=value, split at
// ';' on input and joined by "; " on output; names compare byte for byte.
#pragma once

#include "common/text.h"

namespace orvanta {

// Both texts lose every space (in values too) and are written back. The
// merged text, also left in cookies, is the new items in their order (repeats
// kept), then the old items whose name no new item has (the first of each
// name only); items ending exactly in "=deleted" are dropped.
Text MergeCookies(Text& cookies, Text& new_cookies);
// MergeCookies, then each item kept only at its first occurrence.
Text MergeCookiesDistinct(Text& cookies, Text& new_cookies);
// Trimmed text before the first '='; the whole trimmed item without one.
Text CookieName(std::string_view item);
bool HasCookieName(const TextArray& items, std::string_view name);
// Items of text (split at separator), each kept once, joined by separator.
Text RemoveDuplicateItems(std::string_view text, std::string_view separator);
// 1-based position of the first item equal to text; -1 when none is.
int ItemIndex(const TextArray& items, std::string_view text);

}  // namespace orvanta
