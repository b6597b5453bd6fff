#include "plugin/cookies.h"

#include <unordered_set>

namespace orvanta {
namespace {

constexpr std::string_view kDeleted = "=deleted";

bool IsDeleted(std::string_view item) {
  return item.size() >= kDeleted.size() && item.substr(item.size() - kDeleted.size()) == kDeleted;
}

}  // namespace

Text MergeCookies(Text& cookies, Text& new_cookies) {
  cookies = RemoveAllSpaces(cookies);
  new_cookies = RemoveAllSpaces(new_cookies);
  TextArray merged = SplitText(new_cookies, ";");
  // A set of the names in merged keeps the carry-over test linear.
  std::unordered_set<Text> names;
  for (const Text& item : merged) names.insert(CookieName(item));
  for (Text& item : SplitText(cookies, ";")) {
    if (names.insert(CookieName(item)).second) merged.push_back(std::move(item));
  }
  cookies.clear();
  for (const Text& item : merged) {
    if (IsDeleted(item)) continue;
    cookies += item;
    cookies += "; ";
  }
  if (!cookies.empty()) cookies.resize(cookies.size() - 2);
  return cookies;
}

Text MergeCookiesDistinct(Text& cookies, Text& new_cookies) {
  MergeCookies(cookies, new_cookies);
  cookies = RemoveDuplicateItems(cookies, "; ");
  return cookies;
}

Text CookieName(std::string_view item) {
  int p = FindText(item, "=");
  return TrimBoth(p == -1 ? Text(item) : TextLeft(item, p - 1));
}

bool HasCookieName(const TextArray& items, std::string_view name) {
  for (const Text& item : items)
    if (CookieName(item) == name) return true;
  return false;
}

Text RemoveDuplicateItems(std::string_view text, std::string_view separator) {
  std::unordered_set<Text> seen;
  Text out;
  for (Text& part : SplitText(text, separator)) {
    if (!seen.insert(part).second) continue;
    out += part;
    out += separator;
  }
  return TextLeft(out, TextLength(out) - TextLength(separator));
}

int ItemIndex(const TextArray& items, std::string_view text) {
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i] == text) return static_cast<int>(i) + 1;
  return -1;
}

}  // namespace orvanta
