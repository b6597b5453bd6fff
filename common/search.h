// The byte-string search behind FindText, ReplaceText, SplitText and
// FindBytes. Linear in the searched bytes whatever the needle: a word-at-a-time
// filter on two rare needle bytes finds candidates, and when verifying them
// costs too much the scan goes on as a Knuth-Morris-Pratt pass.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "common/text.h"

namespace orvanta::search {

inline constexpr std::size_t kNone = static_cast<std::size_t>(-1);

using Word = std::uintptr_t;
inline constexpr Word kOnes = ~Word(0) / 0xFF;  // 0x01 in every byte
inline constexpr Word kHigh = kOnes * 0x80;

inline Word LoadWord(const unsigned char* p) {
  Word w;
  std::memcpy(&w, p, sizeof w);
  return w;
}
// Not zero exactly when w has a zero byte. The bits set mark its zero bytes
// and, where a borrow ran on, a 0x01 byte just above one, so a caller that
// wants the position checks the bytes themselves.
constexpr Word ZeroBytes(Word w) { return (w - kOnes) & ~w & kHigh; }

// Tells which positions start a character when the scan began at `begin`:
// a byte of 0x80 or above there takes the next byte with it. Positions must
// be asked about in increasing order; the total work is linear.
class CharStarts {
 public:
  CharStarts(const unsigned char* s, std::size_t begin) : s_(s), known_(begin) {}

  bool IsStart(std::size_t c) {
    // A byte below 0x80 right before j makes j a character start (it is a
    // one-byte character or ends a two-byte one), so only the run of high
    // bytes just before c matters, and only its parity.
    std::size_t j = c;
    while (j - known_ >= sizeof(Word) && (LoadWord(s_ + j - sizeof(Word)) & kHigh) == kHigh) {
      j -= sizeof(Word);
    }
    while (j > known_ && s_[j - 1] >= 0x80) --j;
    const bool start = (c - j) % 2 == 0;
    known_ = start ? c : c + 1;
    return start;
  }

 private:
  const unsigned char* s_;
  std::size_t known_;  // a character start at or before every later question
};

// A prepared needle (not empty). fold makes A-Z equal a-z at every byte.
class Matcher {
 public:
  Matcher(std::string_view needle, bool fold);

  // Calls on_match(offset) for each occurrence in s[begin, n), left to right,
  // overlapping ones included, until it returns true. With chars, only
  // occurrences at character starts count, begin being one.
  template <bool kChars, typename OnMatch>
  void Scan(const unsigned char* s, std::size_t n, std::size_t begin, OnMatch on_match);

  // The first occurrence at a character start at or after begin, or kNone.
  std::size_t FindFirst(std::string_view s, std::size_t begin) {
    std::size_t found = kNone;
    Scan<true>(reinterpret_cast<const unsigned char*>(s.data()), s.size(), begin,
               [&](std::size_t c) {
                 found = c;
                 return true;
               });
    return found;
  }

  std::size_t size() const { return m_; }

 private:
  bool Same(unsigned char a, unsigned char b) const {
    return fold_ ? AsciiToLower(a) == AsciiToLower(b) : a == b;
  }
  bool Verify(const unsigned char* at) const;
  bool Hit(const unsigned char* at) const {
    return (at[off1_] | mask1_) == byte1_ && (at[off2_] | mask2_) == byte2_;
  }
  std::size_t NextCandidate(const unsigned char* s, std::size_t c, std::size_t last) const;
  template <bool kChars, typename OnMatch>
  void KmpScan(const unsigned char* s, std::size_t n, std::size_t from, CharStarts& starts,
               OnMatch& on_match);

  const unsigned char* sub_;
  std::size_t m_;
  bool fold_;
  // The two filter bytes: offset in the needle, the bits ignored (0x20 for a
  // letter when folding) and the value the byte must have with them set.
  std::size_t off1_ = 0, off2_ = 0;
  unsigned char mask1_ = 0, mask2_ = 0, byte1_ = 0, byte2_ = 0;
  bool rare_first_ = false;        // the first filter byte is worth a memchr
  std::vector<std::size_t> fail_;  // built on the first fall-back
};

template <bool kChars, typename OnMatch>
void Matcher::Scan(const unsigned char* s, std::size_t n, std::size_t begin, OnMatch on_match) {
  if (begin >= n || n - begin < m_) return;
  const std::size_t last = n - m_;
  CharStarts starts(s, begin);
  // Verifying a candidate costs up to m_ bytes; once that has cost more than
  // a few passes over the bytes advanced, the rest goes to the linear pass.
  const std::size_t allowance = 4096 + 8 * m_;
  std::size_t work = 0;
  // A rare first filter byte is looked for with memchr, until it turns out
  // to be common in this text.
  bool by_byte = rare_first_;
  std::size_t jumps = 0;
  for (std::size_t c = begin;; ++c) {
    if (by_byte) {
      const void* at = std::memchr(s + off1_ + c, byte1_, last + 1 - c);
      if (!at) return;
      c = static_cast<std::size_t>(static_cast<const unsigned char*>(at) - (s + off1_));
      if (++jumps * 64 > c - begin + 4096) by_byte = false;
      if (!Hit(s + c)) continue;
    } else {
      c = NextCandidate(s, c, last);
      if (c == kNone) return;
    }
    if (work > allowance + 4 * (c - begin)) {
      KmpScan<kChars>(s, n, c, starts, on_match);
      return;
    }
    work += m_;
    if (Verify(s + c) && (!kChars || starts.IsStart(c)) && on_match(c)) return;
  }
}

template <bool kChars, typename OnMatch>
void Matcher::KmpScan(const unsigned char* s, std::size_t n, std::size_t from, CharStarts& starts,
                      OnMatch& on_match) {
  if (fail_.empty()) {
    fail_.assign(m_, 0);
    for (std::size_t i = 1, k = 0; i < m_; ++i) {
      while (k > 0 && !Same(sub_[i], sub_[k])) k = fail_[k - 1];
      if (Same(sub_[i], sub_[k])) ++k;
      fail_[i] = k;
    }
  }
  std::size_t q = 0;
  for (std::size_t i = from; i < n; ++i) {
    while (q > 0 && !Same(s[i], sub_[q])) q = fail_[q - 1];
    if (Same(s[i], sub_[q])) ++q;
    if (q == m_) {
      const std::size_t c = i + 1 - m_;
      if ((!kChars || starts.IsStart(c)) && on_match(c)) return;
      q = fail_[q - 1];
    }
  }
}

}  // namespace orvanta::search
