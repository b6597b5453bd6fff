#include "common/search.h"

namespace orvanta::search {
namespace {

// A rough idea of how often a byte turns up in the pages, JSON answers and
// header blocks the system reads; the filter watches the two rarest bytes of
// the needle, so that candidates stay few.
int Commonness(unsigned char c) {
  constexpr std::string_view kLetters = "etaoinsrhldcumfpgwybvkxjqz";  // most used first
  if (c == ' ') return 250;
  if (AsciiIsLower(c)) return 230 - 3 * static_cast<int>(kLetters.find(static_cast<char>(c)));
  if (AsciiIsDigit(c)) return 120;
  if (AsciiIsUpper(c)) return 90;
  if (c >= 0x80) return 60;
  if (c < 0x20) return c == '\n' || c == '\r' || c == '\t' ? 140 : 10;
  constexpr std::string_view kMarkup = "<>/\"=.,:";
  if (kMarkup.find(static_cast<char>(c)) != std::string_view::npos) return 140;
  constexpr std::string_view kLessMarkup = "-_;&'()";
  return kLessMarkup.find(static_cast<char>(c)) != std::string_view::npos ? 100 : 40;
}

// Seldom enough that memchr for it is the fastest way on.
constexpr int kRare = 100;

}  // namespace

Matcher::Matcher(std::string_view needle, bool fold)
    : sub_(reinterpret_cast<const unsigned char*>(needle.data())), m_(needle.size()), fold_(fold) {
  auto rank = [&](std::size_t i) {
    const unsigned char c = sub_[i];
    return Commonness(fold_ ? AsciiToLower(c) : c);
  };
  for (std::size_t i = 1; i < m_; ++i) {
    if (rank(i) < rank(off1_)) off1_ = i;
  }
  // Of the rarest others, the one farthest away: neighbours go together
  // too often ("</", "=\"").
  auto distance = [&](std::size_t i) { return i > off1_ ? i - off1_ : off1_ - i; };
  off2_ = off1_;
  for (std::size_t i = 0; i < m_; ++i) {
    if (i == off1_) continue;
    if (off2_ == off1_ || rank(i) < rank(off2_) ||
        (rank(i) == rank(off2_) && distance(i) > distance(off2_))) {
      off2_ = i;
    }
  }
  auto set = [&](std::size_t off, unsigned char& mask, unsigned char& byte) {
    const unsigned char c = sub_[off];
    mask = fold_ && AsciiIsAlpha(c) ? 0x20 : 0;
    byte = c | mask;
  };
  set(off1_, mask1_, byte1_);
  set(off2_, mask2_, byte2_);
  rare_first_ = mask1_ == 0 && Commonness(byte1_) <= kRare;
}

bool Matcher::Verify(const unsigned char* at) const {
  if (!fold_) return std::memcmp(at, sub_, m_) == 0;
  for (std::size_t i = 0; i < m_; ++i) {
    if (AsciiToLower(at[i]) != AsciiToLower(sub_[i])) return false;
  }
  return true;
}

std::size_t Matcher::NextCandidate(const unsigned char* s, std::size_t c, std::size_t last) const {
  const unsigned char* p1 = s + off1_;
  const unsigned char* p2 = s + off2_;
  const Word mask1 = kOnes * mask1_, want1 = kOnes * byte1_;
  const Word mask2 = kOnes * mask2_, want2 = kOnes * byte2_;
  auto hits = [&](std::size_t at) {
    return ZeroBytes((LoadWord(p1 + at) | mask1) ^ want1) &
           ZeroBytes((LoadWord(p2 + at) | mask2) ^ want2);
  };
  // Whole words of candidates while they last, two at a time; the loads stay
  // inside s because the last candidate plus either offset is a byte of s.
  constexpr std::size_t kStep = 2 * sizeof(Word);
  while (c <= last && last - c >= kStep - 1) {
    if ((hits(c) | hits(c + sizeof(Word))) != 0) break;
    c += kStep;
  }
  while (c <= last && last - c >= sizeof(Word) - 1) {
    if (hits(c) != 0) {
      for (std::size_t k = 0; k < sizeof(Word); ++k) {
        if (Hit(s + c + k)) return c + k;
      }
    }
    c += sizeof(Word);
  }
  for (; c <= last; ++c) {
    if (Hit(s + c)) return c;
  }
  return kNone;
}

}  // namespace orvanta::search
