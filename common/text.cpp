#include "common/text.h"

#include <algorithm>
#include <cstring>

#include "common/search.h"

namespace orvanta {
namespace {

constexpr unsigned char kFullWidthLead = 0xA1;  // 0xA1 0xA1 is the full-width space

const unsigned char* Bytes(std::string_view s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

// A 1-based start turned into the offset a scan begins at; 0, 1 and every
// value below them all mean the first byte.
std::size_t BeginOffset(std::optional<int> start) {
  const long long begin = static_cast<long long>(start.value_or(0)) - 1;
  return begin < 0 ? 0 : static_cast<std::size_t>(begin);
}

int Position(std::size_t offset) {
  return offset == search::kNone ? -1 : static_cast<int>(offset + 1);
}

// Steps over text character by character from `from` and calls
// visit(offset, length) for each character; a lead byte that ends the text is
// a character of length 1.
template <typename Visit>
void ForEachChar(std::string_view text, std::size_t from, Visit visit) {
  const std::size_t n = text.size();
  for (std::size_t i = from; i < n;) {
    const std::size_t len = IsLeadByte(text[i]) && i + 1 < n ? 2 : 1;
    visit(i, len);
    i += len;
  }
}

bool IsSpaceChar(std::string_view text, std::size_t i, std::size_t len) {
  const auto c = static_cast<unsigned char>(text[i]);
  if (len == 1) return c == ' ';
  return c == kFullWidthLead && static_cast<unsigned char>(text[i + 1]) == kFullWidthLead;
}

// Copies text with every ASCII letter at a character start passed through map.
template <typename Map>
Text MapLetters(std::string_view text, Map map) {
  Text out(text);
  ForEachChar(out, 0, [&](std::size_t i, std::size_t len) {
    if (len == 1) out[i] = static_cast<char>(map(static_cast<unsigned char>(out[i])));
  });
  return out;
}

}  // namespace

int TextLength(std::string_view text) { return static_cast<int>(text.size()); }

int FindText(std::string_view text, std::string_view sub, std::optional<int> start,
             bool ignore_case) {
  const std::size_t begin = BeginOffset(start);
  if (begin >= text.size()) return -1;
  if (sub.empty()) return 1;
  return Position(search::Matcher(sub, ignore_case).FindFirst(text, begin));
}

int FindTextFromEnd(std::string_view text, std::string_view sub, std::optional<int> start,
                    bool ignore_case) {
  std::size_t window = text.size();
  if (start) {
    const long long w = static_cast<long long>(*start) - 1;
    window = w <= 0 ? 0 : std::min(static_cast<std::size_t>(w), text.size());
  }
  if (sub.empty()) return window > 0 ? 1 : -1;
  std::size_t found = search::kNone;
  search::Matcher(sub, ignore_case).Scan<true>(Bytes(text), window, 0, [&](std::size_t c) {
    found = c;
    return false;
  });
  return Position(found);
}

Text TextLeft(std::string_view text, int n) {
  if (n <= 0) return {};
  return Text(text.substr(0, static_cast<std::size_t>(n)));
}

Text TextRight(std::string_view text, int n) {
  if (n <= 0) return {};
  const std::size_t k = std::min(static_cast<std::size_t>(n), text.size());
  return Text(text.substr(text.size() - k));
}

Text TextMiddle(std::string_view text, int start, int n) {
  if (start <= 0 || static_cast<std::size_t>(start) > text.size() || n <= 0) return {};
  return Text(text.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(n)));
}

Text ReplaceText(std::string_view text, std::string_view sub,
                 std::optional<std::string_view> replacement, std::optional<int> start,
                 std::optional<int> count, bool case_sensitive) {
  const std::size_t begin = BeginOffset(start);
  if (text.empty() || sub.empty() || begin >= text.size() || count == 0) return Text(text);
  const std::string_view with = replacement.value_or(std::string_view());
  // A negative count never comes down to 0, so like a left-out one it
  // replaces every occurrence.
  long long allowed = count.value_or(-1);
  search::Matcher matcher(sub, !case_sensitive);
  Text out;
  out.reserve(text.size());
  out.append(text.substr(0, begin));
  std::size_t pos = begin;
  // Each search starts where the last match ended, counting that byte as a
  // character start, so matches never overlap and the inserted text is never
  // looked at again.
  for (std::size_t found; (found = matcher.FindFirst(text, pos)) != search::kNone;) {
    out.append(text.substr(pos, found - pos));
    out.append(with);
    pos = found + sub.size();
    if (--allowed == 0) break;
  }
  out.append(text.substr(pos));
  return out;
}

Text ReplaceAll(std::string_view text, std::string_view sub, std::string_view replacement) {
  return ReplaceText(text, sub, replacement, std::nullopt, std::nullopt, true);
}

TextArray SplitText(std::string_view text, std::optional<std::string_view> separator,
                    std::optional<int> max_count) {
  const std::string_view sep = separator.value_or(",");
  long long left = max_count ? std::max(*max_count, 0) : -1;  // -1: no limit
  TextArray out;
  if (text.empty() || left == 0) return out;
  if (sep.empty()) {
    out.emplace_back(text);
    return out;
  }
  search::Matcher matcher(sep, false);
  std::size_t piece = 0;
  for (std::size_t found; (found = matcher.FindFirst(text, piece)) != search::kNone;) {
    out.emplace_back(text.substr(piece, found - piece));
    piece = found + sep.size();
    if (--left == 0) return out;
  }
  if (piece < text.size()) out.emplace_back(text.substr(piece));
  return out;
}

Text TrimBoth(std::string_view text) {
  std::size_t first = text.size();  // start of the first character that is not a space
  std::size_t end = 0;              // end of the last one
  ForEachChar(text, 0, [&](std::size_t i, std::size_t len) {
    if (IsSpaceChar(text, i, len)) return;
    first = std::min(first, i);
    end = i + len;
  });
  if (first >= end) return {};
  return Text(text.substr(first, end - first));
}

Text RemoveAllSpaces(std::string_view text) {
  Text out;
  out.reserve(text.size());
  std::size_t run = 0;  // start of the bytes not yet copied
  ForEachChar(text, 0, [&](std::size_t i, std::size_t len) {
    if (!IsSpaceChar(text, i, len)) return;
    out.append(text.substr(run, i - run));
    run = i + len;
  });
  out.append(text.substr(run));
  return out;
}

Text ToLower(std::string_view text) { return MapLetters(text, AsciiToLower); }
Text ToUpper(std::string_view text) { return MapLetters(text, AsciiToUpper); }

std::int32_t ToInteger(std::string_view text) {
  const std::size_t n = text.size();
  std::size_t i = 0;
  // The next byte of the text with the full-width forms folded, or -1 at the
  // end. Any other two-byte character yields its lead byte and stops the
  // number, since no byte of 0x80 or above is a space, sign or digit.
  auto next = [&]() -> int {
    if (i >= n) return -1;
    const auto c = static_cast<unsigned char>(text[i]);
    if (!IsLeadByte(c) || i + 1 >= n) {
      ++i;
      return c;
    }
    const auto d = static_cast<unsigned char>(text[i + 1]);
    i += 2;
    if (c == 0xA3 && d >= 0xA1 && d <= 0xFE) return d - 0x80;
    if (c == 0xA1) {
      if (d == 0xA1) return ' ';
      if (d == 0xAB) return '~';
      if (d == 0xEE || d == 0xEF) return '*';
    }
    return c;
  };
  int c = next();
  while (c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r') c = next();
  const bool negative = c == '-';
  if (c == '+' || c == '-') c = next();
  std::uint32_t value = 0;  // unsigned, so that an overflow wraps without fault
  for (; c >= 0 && AsciiIsDigit(static_cast<unsigned char>(c)); c = next()) {
    value = value * 10u + static_cast<std::uint32_t>(c - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

Text HexText(std::int32_t value) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  auto v = static_cast<std::uint32_t>(value);
  char buf[8];
  std::size_t k = sizeof buf;
  do {
    buf[--k] = kDigits[v & 0xF];
    v >>= 4;
  } while (v != 0);
  return Text(buf + k, sizeof buf - k);
}

Text CharFromCode(int code) {
  // A code outside 0..255 keeps its low byte, as a byte conversion does.
  const auto byte = static_cast<unsigned char>(code & 0xFF);
  if (byte == 0) return {};
  return Text(1, static_cast<char>(byte));
}

int CharCode(std::string_view text, std::optional<int> position) {
  const int pos = position.value_or(1);
  if (pos <= 0 || static_cast<std::size_t>(pos) > text.size()) return 0;
  return static_cast<signed char>(text[static_cast<std::size_t>(pos) - 1]);
}

int CompareText(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  if (common > 0) {
    const int r = std::memcmp(a.data(), b.data(), common);  // memcmp compares unsigned bytes
    if (r != 0) return r < 0 ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

Text BlankText(int n) {
  if (n < 1) return {};
  return Text(static_cast<std::size_t>(n), ' ');
}

}  // namespace orvanta
