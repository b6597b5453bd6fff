// Slow, plainly written versions of the scanning text operations: one
// comparison at every character start, exactly as the rules read. The tests
// and the fuzzer hold the fast routines against them.
#pragma once

#include <optional>
#include <string_view>

#include "common/text.h"

namespace orvanta::reference {

inline bool SameAt(std::string_view text, std::size_t i, std::string_view sub, bool ignore_case) {
  for (std::size_t k = 0; k < sub.size(); ++k) {
    auto a = static_cast<unsigned char>(text[i + k]);
    auto b = static_cast<unsigned char>(sub[k]);
    if (ignore_case) {
      a = AsciiToLower(a);
      b = AsciiToLower(b);
    }
    if (a != b) return false;
  }
  return true;
}

// The step to the next character start; 0 when a lead byte ends the text.
inline std::size_t Step(std::string_view text, std::size_t i) {
  if (!IsLeadByte(text[i])) return 1;
  return i + 1 < text.size() ? 2 : 0;
}

inline int FindText(std::string_view text, std::string_view sub, std::optional<int> start,
                    bool ignore_case) {
  const long long len = static_cast<long long>(text.size());
  long long i = static_cast<long long>(start.value_or(0)) - 1;
  if (i < 0) i = 0;
  if (i >= len) return -1;
  if (sub.empty()) return 1;
  while (i + static_cast<long long>(sub.size()) <= len) {
    if (SameAt(text, static_cast<std::size_t>(i), sub, ignore_case)) return static_cast<int>(i + 1);
    const std::size_t step = Step(text, static_cast<std::size_t>(i));
    if (step == 0) break;
    i += static_cast<long long>(step);
  }
  return -1;
}

inline int FindTextFromEnd(std::string_view text, std::string_view sub, std::optional<int> start,
                           bool ignore_case) {
  long long window = static_cast<long long>(text.size());
  if (start) {
    const long long w = static_cast<long long>(*start) - 1;
    window = w <= 0 ? 0 : (w < window ? w : window);
  }
  if (sub.empty()) return window > 0 ? 1 : -1;
  int found = -1;
  for (std::size_t i = 0; i < text.size();) {
    if (static_cast<long long>(i + sub.size()) <= window && SameAt(text, i, sub, ignore_case)) {
      found = static_cast<int>(i + 1);
    }
    const std::size_t step = Step(text, i);
    if (step == 0) break;
    i += step;
  }
  return found;
}

inline Text ReplaceText(std::string_view text, std::string_view sub,
                        std::optional<std::string_view> replacement, std::optional<int> start,
                        std::optional<int> count, bool case_sensitive) {
  const std::string_view with = replacement.value_or(std::string_view());
  long long b = static_cast<long long>(start.value_or(1)) - 1;
  if (b < 0) b = 0;
  long long allowed = count.value_or(-1);
  if (text.empty() || sub.empty() || b >= static_cast<long long>(text.size()) || allowed == 0) {
    return Text(text);
  }
  Text out(text.substr(0, static_cast<std::size_t>(b)));
  std::size_t i = static_cast<std::size_t>(b);
  while (i + sub.size() <= text.size()) {
    if (SameAt(text, i, sub, !case_sensitive)) {
      out += with;
      i += sub.size();
      if (--allowed == 0) break;
      continue;
    }
    const std::size_t len = IsLeadByte(text[i]) ? 2 : 1;
    out += text.substr(i, len);
    i += len;
  }
  if (i < text.size()) out += text.substr(i);
  return out;
}

inline TextArray SplitText(std::string_view text, std::string_view sep,
                           std::optional<int> max_count) {
  long long left = max_count ? (*max_count < 0 ? 0 : *max_count) : -1;
  TextArray out;
  if (text.empty() || left == 0) return out;
  if (sep.empty()) return {Text(text)};
  std::size_t piece = 0;
  for (std::size_t i = 0; i + sep.size() <= text.size();) {
    if (SameAt(text, i, sep, false)) {
      out.emplace_back(text.substr(piece, i - piece));
      if (--left == 0) return out;
      i += sep.size();
      piece = i;
      continue;
    }
    const std::size_t step = Step(text, i);
    if (step == 0) break;
    i += step;
  }
  if (piece < text.size()) out.emplace_back(text.substr(piece));
  return out;
}

}  // namespace orvanta::reference
