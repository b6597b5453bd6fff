// Text values and the operations every routine of both programs uses.
// A Text is a std::string of GBK bytes that never holds a zero byte; positions
// are 1-based byte positions and -1 means "not found". Scans step over
// two-byte characters (lead byte >= 0x80), so a match never starts at a trail
// byte; the cutting routines (Left/Right/Middle) count plain bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta {

using Text = std::string;
using TextArray = std::vector<Text>;  // members 1..count are [0..count-1]

// ASCII-only helpers: false for every byte above 0x7F whatever the locale.
constexpr bool AsciiIsUpper(unsigned char c) { return c >= 'A' && c <= 'Z'; }
constexpr bool AsciiIsLower(unsigned char c) { return c >= 'a' && c <= 'z'; }
constexpr bool AsciiIsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
constexpr bool AsciiIsAlpha(unsigned char c) { return AsciiIsUpper(c) || AsciiIsLower(c); }
constexpr unsigned char AsciiToLower(unsigned char c) { return AsciiIsUpper(c) ? c + 32 : c; }
constexpr unsigned char AsciiToUpper(unsigned char c) { return AsciiIsLower(c) ? c - 32 : c; }
// A byte of 0x80 or above opens a two-byte character.
constexpr bool IsLeadByte(unsigned char c) { return c >= 0x80; }

int TextLength(std::string_view text);

// First occurrence of sub at a character start at or after start (left out,
// 0 and 1 all mean the first byte). Empty sub: 1 when the searched region is
// not empty, else -1.
int FindText(std::string_view text, std::string_view sub, std::optional<int> start = std::nullopt,
             bool ignore_case = false);
// Last occurrence lying wholly inside the first start-1 bytes (the whole text
// when start is left out). Empty sub: 1 when that window is not empty.
int FindTextFromEnd(std::string_view text, std::string_view sub,
                    std::optional<int> start = std::nullopt, bool ignore_case = false);

Text TextLeft(std::string_view text, int n);               // n <= 0: empty
Text TextRight(std::string_view text, int n);              // n <= 0: empty
Text TextMiddle(std::string_view text, int start, int n);  // out of range: empty

// Replaces up to count occurrences (all when left out or negative) from start
// on; the inserted text is never searched again. Empty text or sub: unchanged.
Text ReplaceText(std::string_view text, std::string_view sub,
                 std::optional<std::string_view> replacement, std::optional<int> start,
                 std::optional<int> count, bool case_sensitive);
// Every exact occurrence from the first byte: the form every caller uses.
Text ReplaceAll(std::string_view text, std::string_view sub, std::string_view replacement);

// 'a,,b,' at ',' gives 'a', '', 'b'; empty text gives no members; empty
// separator gives the whole text as one member.
TextArray SplitText(std::string_view text, std::optional<std::string_view> separator = ",",
                    std::optional<int> max_count = std::nullopt);

Text TrimBoth(std::string_view text);         // ASCII and full-width (A1 A1) spaces
Text RemoveAllSpaces(std::string_view text);  // ASCII and full-width spaces anywhere
Text ToLower(std::string_view text);          // two-byte characters untouched
Text ToUpper(std::string_view text);

// Full-width digits and signs are folded first; leading white space, one sign,
// then digits; 32-bit wrap-around on overflow; no digits give 0.
std::int32_t ToInteger(std::string_view text);
Text HexText(std::int32_t value);                            // 255 -> "FF", -1 -> "FFFFFFFF"
Text CharFromCode(int code);                                 // its low byte; 0 -> empty
int CharCode(std::string_view text, std::optional<int> position = std::nullopt);  // signed byte
int CompareText(std::string_view a, std::string_view b);     // unsigned bytes
Text BlankText(int n);                                       // n < 1: empty

// Joins its arguments in order.
template <typename... Parts>
Text Concat(const Parts&... parts) {
  Text out;
  out.reserve((std::string_view(parts).size() + ... + 0));
  (out.append(std::string_view(parts)), ...);
  return out;
}

}  // namespace orvanta
