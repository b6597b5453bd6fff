// The Windows conversion contracts for code page 936 and UTF-8, without
// Windows. The GBK character table is read once from glibc's iconv; the
// conversions themselves are table lookups, and every irregular input gets
// what the Windows calls give it (checked against them under wine):
// - 936 to UTF-16: a lead byte with nothing after it, or followed by a zero
//   byte, is '?'; a lead byte with any other byte is one character, '?' when
//   the pair is not one. 0x80 is the euro sign, 0xFF U+F8F5; the user-defined
//   cells map to the private use area.
// - UTF-8 to UTF-16: an incomplete sequence is one U+FFFD; a lead byte whose
//   next byte makes an overlong form, a surrogate or a code point above
//   U+10FFFF is one U+FFFD with that byte; any other stray byte is U+FFFD.
// - UTF-16 to 936: no form (lone surrogates included) is '?'.
// - UTF-16 to UTF-8: a lone surrogate is U+FFFD.
// Windows also has "best fit" forms for some characters without a GBK form
// (capital letters with accents become the small ones, for instance); those
// become '?' here.
#include "platform/codepage.h"

#include <iconv.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace orvanta::platform {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr char16_t kGbkDefault = u'?';

// Two-byte cells: lead 0x81..0xFE, trail 0x40..0xFE (0x7F is never a trail).
constexpr int kLeadFirst = 0x81, kLeadLast = 0xFE;
constexpr int kTrailFirst = 0x40, kTrailLast = 0xFE;

constexpr bool IsTrail(int b) { return b >= kTrailFirst && b <= kTrailLast && b != 0x7F; }

// The cells of code page 936 that carry private-use characters: three
// user-defined areas assigned in rows, then, from U+E766 on, the cells left
// empty elsewhere, in byte order.
struct PuaArea {
  int lead_first, lead_last, trail_first, trail_last;
  char16_t first;
};
constexpr PuaArea kPuaAreas[] = {
    {0xAA, 0xAF, 0xA1, 0xFE, 0xE000},
    {0xF8, 0xFE, 0xA1, 0xFE, 0xE234},
    {0xA1, 0xA7, 0x40, 0xA0, 0xE4C6},
};
constexpr char16_t kPuaLooseFirst = 0xE766;
constexpr std::uint16_t kPuaLooseCells[][2] = {
    {0xA2AB, 0xA2B0}, {0xA2E3, 0xA2E4}, {0xA2EF, 0xA2F0}, {0xA2FD, 0xA2FE}, {0xA4F4, 0xA4FE},
    {0xA5F7, 0xA5FE}, {0xA6B9, 0xA6C0}, {0xA6D9, 0xA6DF}, {0xA6EC, 0xA6ED}, {0xA6F3, 0xA6F3},
    {0xA6F6, 0xA6FE}, {0xA7C2, 0xA7D0}, {0xA7F2, 0xA7FE}, {0xA896, 0xA8A0}, {0xA8BC, 0xA8BC},
    {0xA8BF, 0xA8BF}, {0xA8C1, 0xA8C4}, {0xA8EA, 0xA8FE}, {0xA958, 0xA958}, {0xA95B, 0xA95B},
    {0xA95D, 0xA95F}, {0xA989, 0xA995}, {0xA997, 0xA9A3}, {0xA9F0, 0xA9FE}, {0xD7FA, 0xD7FE},
    {0xFE50, 0xFEA0},
};

// Base character, combining mark, and the precomposed character, for every
// canonical pair whose result has a GBK form. Sorted by base, then mark.
struct Composite {
  char16_t base, mark, composed;
};
constexpr Composite kComposites[] = {
    {0x003C, 0x0338, 0x226E}, {0x003D, 0x0338, 0x2260}, {0x003E, 0x0338, 0x226F},
    {0x0061, 0x0300, 0x00E0}, {0x0061, 0x0301, 0x00E1}, {0x0061, 0x0304, 0x0101},
    {0x0061, 0x030C, 0x01CE}, {0x0065, 0x0300, 0x00E8}, {0x0065, 0x0301, 0x00E9},
    {0x0065, 0x0302, 0x00EA}, {0x0065, 0x0304, 0x0113}, {0x0065, 0x030C, 0x011B},
    {0x0069, 0x0300, 0x00EC}, {0x0069, 0x0301, 0x00ED}, {0x0069, 0x0304, 0x012B},
    {0x0069, 0x030C, 0x01D0}, {0x006E, 0x0301, 0x0144}, {0x006E, 0x030C, 0x0148},
    {0x006F, 0x0300, 0x00F2}, {0x006F, 0x0301, 0x00F3}, {0x006F, 0x0304, 0x014D},
    {0x006F, 0x030C, 0x01D2}, {0x0075, 0x0300, 0x00F9}, {0x0075, 0x0301, 0x00FA},
    {0x0075, 0x0304, 0x016B}, {0x0075, 0x0308, 0x00FC}, {0x0075, 0x030C, 0x01D4},
    {0x00FC, 0x0300, 0x01DC}, {0x00FC, 0x0301, 0x01D8}, {0x00FC, 0x0304, 0x01D6},
    {0x00FC, 0x030C, 0x01DA}, {0x0415, 0x0308, 0x0401}, {0x0418, 0x0306, 0x0419},
    {0x0435, 0x0308, 0x0451}, {0x0438, 0x0306, 0x0439}, {0x304B, 0x3099, 0x304C},
    {0x304D, 0x3099, 0x304E}, {0x304F, 0x3099, 0x3050}, {0x3051, 0x3099, 0x3052},
    {0x3053, 0x3099, 0x3054}, {0x3055, 0x3099, 0x3056}, {0x3057, 0x3099, 0x3058},
    {0x3059, 0x3099, 0x305A}, {0x305B, 0x3099, 0x305C}, {0x305D, 0x3099, 0x305E},
    {0x305F, 0x3099, 0x3060}, {0x3061, 0x3099, 0x3062}, {0x3064, 0x3099, 0x3065},
    {0x3066, 0x3099, 0x3067}, {0x3068, 0x3099, 0x3069}, {0x306F, 0x3099, 0x3070},
    {0x306F, 0x309A, 0x3071}, {0x3072, 0x3099, 0x3073}, {0x3072, 0x309A, 0x3074},
    {0x3075, 0x3099, 0x3076}, {0x3075, 0x309A, 0x3077}, {0x3078, 0x3099, 0x3079},
    {0x3078, 0x309A, 0x307A}, {0x307B, 0x3099, 0x307C}, {0x307B, 0x309A, 0x307D},
    {0x309D, 0x3099, 0x309E}, {0x30A6, 0x3099, 0x30F4}, {0x30AB, 0x3099, 0x30AC},
    {0x30AD, 0x3099, 0x30AE}, {0x30AF, 0x3099, 0x30B0}, {0x30B1, 0x3099, 0x30B2},
    {0x30B3, 0x3099, 0x30B4}, {0x30B5, 0x3099, 0x30B6}, {0x30B7, 0x3099, 0x30B8},
    {0x30B9, 0x3099, 0x30BA}, {0x30BB, 0x3099, 0x30BC}, {0x30BD, 0x3099, 0x30BE},
    {0x30BF, 0x3099, 0x30C0}, {0x30C1, 0x3099, 0x30C2}, {0x30C4, 0x3099, 0x30C5},
    {0x30C6, 0x3099, 0x30C7}, {0x30C8, 0x3099, 0x30C9}, {0x30CF, 0x3099, 0x30D0},
    {0x30CF, 0x309A, 0x30D1}, {0x30D2, 0x3099, 0x30D3}, {0x30D2, 0x309A, 0x30D4},
    {0x30D5, 0x3099, 0x30D6}, {0x30D5, 0x309A, 0x30D7}, {0x30D8, 0x3099, 0x30D9},
    {0x30D8, 0x309A, 0x30DA}, {0x30DB, 0x3099, 0x30DC}, {0x30DB, 0x309A, 0x30DD},
    {0x30FD, 0x3099, 0x30FE},
};

// Only these marks occur in kComposites; the check keeps the search off the
// common path.
constexpr bool MayCompose(char16_t mark) {
  return (mark >= 0x0300 && mark <= 0x0338) || mark == 0x3099 || mark == 0x309A;
}

char16_t Precomposed(char16_t base, char16_t mark) {
  const Composite* end = std::end(kComposites);
  const Composite* it =
      std::lower_bound(std::begin(kComposites), end, Composite{base, mark, 0},
                       [](const Composite& a, const Composite& b) {
                         return a.base != b.base ? a.base < b.base : a.mark < b.mark;
                       });
  return it != end && it->base == base && it->mark == mark ? it->composed : 0;
}

struct GbkTables {
  // Indexed by lead - 0x81 and the whole trail byte, so that any byte after a
  // lead byte can be looked up; 0: no character.
  char16_t to_unicode[(kLeadLast - kLeadFirst + 1) * 256] = {};
  // Below 0x100 one byte, else lead << 8 | trail; 0: no form.
  std::uint16_t from_unicode[0x10000] = {};

  GbkTables() {
    ReadIconv();
    for (const PuaArea& area : kPuaAreas) {
      char16_t next = area.first;
      for (int lead = area.lead_first; lead <= area.lead_last; ++lead)
        for (int trail = area.trail_first; trail <= area.trail_last; ++trail)
          if (IsTrail(trail)) Cell(lead, trail) = next++;
    }
    char16_t next = kPuaLooseFirst;
    for (const auto& range : kPuaLooseCells)
      for (int code = range[0]; code <= range[1]; ++code)
        if (IsTrail(code & 0xFF)) Cell(code >> 8, code & 0xFF) = next++;
    for (int lead = kLeadFirst; lead <= kLeadLast; ++lead)
      for (int trail = kTrailFirst; trail <= kTrailLast; ++trail)
        if (char16_t c = Cell(lead, trail))
          from_unicode[c] = static_cast<std::uint16_t>(lead << 8 | trail);
    from_unicode[0x20AC] = 0x80;
    from_unicode[0xF8F5] = 0xFF;
  }

  char16_t& Cell(int lead, int trail) { return to_unicode[(lead - kLeadFirst) * 256 + trail]; }
  char16_t Decode(int lead, int trail) const {
    return to_unicode[(lead - kLeadFirst) * 256 + trail];
  }

  // One iconv call per cell: a bad cell would stop a longer run. (glibc's
  // "GBK" and "CP936" are one table, euro sign at 0x80 included.) Without
  // the GBK module every two-byte character reads as '?'.
  void ReadIconv() {
    iconv_t cd = iconv_open("UTF-16LE", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1)) return;
    for (int lead = kLeadFirst; lead <= kLeadLast; ++lead) {
      for (int trail = kTrailFirst; trail <= kTrailLast; ++trail) {
        if (!IsTrail(trail)) continue;
        char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        unsigned char out[4];
        char* in_p = in;
        char* out_p = reinterpret_cast<char*>(out);
        std::size_t in_left = 2, out_left = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &in_p, &in_left, &out_p, &out_left) != static_cast<std::size_t>(-1) &&
            out_left == 2) {
          Cell(lead, trail) = static_cast<char16_t>(out[0] | out[1] << 8);
        }
      }
    }
    iconv_close(cd);
  }
};

const GbkTables& Gbk() {
  // Freed with the library, so a plug-in that is unloaded leaves nothing behind.
  static const GbkTables tables;
  return tables;
}

// Where a conversion puts its units. Count only counts (the size query);
// Write fills a buffer known to be large enough; Bounded fills one that may
// be too small and fails once it is full.
template <typename Unit>
struct Count {
  std::size_t n = 0;
  bool Put(Unit) { return ++n, true; }
  template <typename Src>
  bool PutRun(const Src*, std::size_t k) {
    return n += k, true;
  }
};

template <typename Unit>
struct Write {
  Unit* p;
  bool Put(Unit u) { return *p++ = u, true; }
  template <typename Src>
  bool PutRun(const Src* s, std::size_t k) {
    for (std::size_t j = 0; j < k; ++j) p[j] = static_cast<Unit>(s[j]);
    return p += k, true;
  }
};

template <typename Unit>
struct Bounded {
  Unit* p;
  Unit* end;
  bool Put(Unit u) {
    if (p == end) return false;
    return *p++ = u, true;
  }
  template <typename Src>
  bool PutRun(const Src* s, std::size_t k) {
    if (static_cast<std::size_t>(end - p) < k) return false;
    return Write<Unit>{p}.PutRun(s, k) && (p += k, true);
  }
};

// Runs convert(out) with the output the call asks for; max_units bounds what
// the input can give, so a buffer that large needs no checks.
template <typename Unit, typename Convert>
int Run(Unit* dst, int dst_len, std::uint64_t max_units, Convert convert) {
  if (dst == nullptr || dst_len == 0) {
    Count<Unit> count;
    convert(count);
    return count.n <= INT_MAX ? static_cast<int>(count.n) : 0;
  }
  if (max_units <= static_cast<std::uint64_t>(dst_len)) {
    Write<Unit> out{dst};
    convert(out);
    return static_cast<int>(out.p - dst);
  }
  Bounded<Unit> out{dst, dst + dst_len};
  return convert(out) ? static_cast<int>(out.p - dst) : 0;
}

// Length of the run of ASCII at the start of s[0..n), eight bytes at a time.
template <typename Unit>
std::size_t AsciiRun(const Unit* s, std::size_t n) {
  constexpr std::size_t kPerWord = 8 / sizeof(Unit);
  constexpr std::uint64_t kNotAscii = sizeof(Unit) == 1 ? 0x8080808080808080u : 0xFF80FF80FF80FF80u;
  std::size_t i = 0;
  for (std::uint64_t w; i + kPerWord <= n; i += kPerWord) {
    std::memcpy(&w, s + i, 8);
    if (w & kNotAscii) break;
  }
  while (i < n && s[i] < 0x80) ++i;
  return i;
}

// Copies the run of ASCII at s[i] and moves i past it.
template <typename Unit, typename Out>
bool CopyAscii(const Unit* s, std::size_t n, std::size_t& i, Out& out) {
  std::size_t k = AsciiRun(s + i, n - i);
  i += k;
  return out.PutRun(s + i - k, k);
}

template <typename Out>
bool DecodeGbk(const unsigned char* s, std::size_t n, Out& out) {
  const GbkTables& gbk = Gbk();
  for (std::size_t i = 0; i < n;) {
    unsigned char b = s[i];
    if (b < 0x80) {
      if (!CopyAscii(s, n, i, out)) return false;
      continue;
    }
    char16_t c;
    if (b >= kLeadFirst && b <= kLeadLast && i + 1 < n && (c = gbk.Decode(b, s[i + 1])) != 0) {
      i += 2;
    } else if (b == 0x80) {
      c = 0x20AC;
      i += 1;
    } else if (b == 0xFF) {
      c = 0xF8F5;
      i += 1;
    } else {
      // A lead byte at the end or before a zero stands alone; with any other
      // byte it makes a pair that is no character.
      c = kGbkDefault;
      i += i + 1 == n || s[i + 1] == 0 ? 1 : 2;
    }
    if (!out.Put(c)) return false;
  }
  return true;
}

constexpr bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

template <typename Out>
bool DecodeUtf8(const unsigned char* s, std::size_t n, Out& out) {
  for (std::size_t i = 0; i < n;) {
    unsigned char b = s[i];
    if (b < 0x80) {
      if (!CopyAscii(s, n, i, out)) return false;
      continue;
    }
    // The common well-formed cases first: two bytes, and three bytes that
    // need no range check.
    if (b >= 0xC2 && b <= 0xDF && i + 1 < n && IsContinuation(s[i + 1])) {
      if (!out.Put(static_cast<char16_t>((b & 0x1F) << 6 | (s[i + 1] & 0x3F)))) return false;
      i += 2;
      continue;
    }
    if (b >= 0xE1 && b <= 0xEF && b != 0xED && i + 2 < n && IsContinuation(s[i + 1]) &&
        IsContinuation(s[i + 2])) {
      if (!out.Put(static_cast<char16_t>((b & 0x0F) << 12 | (s[i + 1] & 0x3F) << 6 |
                                         (s[i + 2] & 0x3F)))) {
        return false;
      }
      i += 3;
      continue;
    }
    int need;
    char32_t cp;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the first continuation byte
    if (b >= 0xC2 && b <= 0xDF) {
      need = 1;
      cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      need = 2;
      cp = b & 0x0F;
      if (b == 0xE0) lo = 0xA0;
      if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      need = 3;
      cp = b & 0x07;
      if (b == 0xF0) lo = 0x90;
      if (b == 0xF4) hi = 0x8F;
    } else {
      if (!out.Put(kReplacement)) return false;
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    int got = 0;
    bool bad_first = false;
    while (got < need && j < n && IsContinuation(s[j])) {
      if (got == 0 && (s[j] < lo || s[j] > hi)) {
        bad_first = true;
        ++j;
        break;
      }
      cp = cp << 6 | (s[j] & 0x3F);
      ++got;
      ++j;
    }
    i = j;
    bool ok;
    if (bad_first || got < need) {
      ok = out.Put(kReplacement);
    } else if (cp < 0x10000) {
      ok = out.Put(static_cast<char16_t>(cp));
    } else {
      cp -= 0x10000;
      ok = out.Put(static_cast<char16_t>(0xD800 | cp >> 10)) &&
           out.Put(static_cast<char16_t>(0xDC00 | (cp & 0x3FF)));
    }
    if (!ok) return false;
  }
  return true;
}

template <typename Out>
bool EncodeGbk(const char16_t* s, std::size_t n, bool composite_check, Out& out) {
  const GbkTables& gbk = Gbk();
  for (std::size_t i = 0; i < n;) {
    if (s[i] < 0x80) {
      std::size_t k = AsciiRun(s + i, n - i);
      // The last letter of the run may take the mark after it.
      if (composite_check && i + k < n && MayCompose(s[i + k])) --k;
      if (k > 0) {
        if (!out.PutRun(s + i, k)) return false;
        i += k;
        continue;
      }
    }
    char16_t c = s[i++];
    if (composite_check && i < n && MayCompose(s[i])) {
      if (char16_t composed = Precomposed(c, s[i])) {
        c = composed;
        ++i;
      }
    }
    std::uint16_t code = c < 0x80 ? c : gbk.from_unicode[c];
    bool ok;
    if (code == 0 && c != 0) {
      ok = out.Put(kGbkDefault);
    } else if (code < 0x100) {
      ok = out.Put(static_cast<char>(code));
    } else {
      ok = out.Put(static_cast<char>(code >> 8)) && out.Put(static_cast<char>(code & 0xFF));
    }
    if (!ok) return false;
  }
  return true;
}

template <typename Out>
bool EncodeUtf8(const char16_t* s, std::size_t n, Out& out) {
  auto put = [&out](char32_t v) { return out.Put(static_cast<char>(v)); };
  for (std::size_t i = 0; i < n; ++i) {
    char32_t c = s[i];
    bool ok;
    if (c < 0x80) {
      std::size_t k = AsciiRun(s + i, n - i);
      ok = out.PutRun(s + i, k);
      i += k - 1;
    } else if (c < 0x800) {
      ok = put(0xC0 | c >> 6) && put(0x80 | (c & 0x3F));
    } else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 &&
               s[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
      ok = put(0xF0 | c >> 18) && put(0x80 | (c >> 12 & 0x3F)) && put(0x80 | (c >> 6 & 0x3F)) &&
           put(0x80 | (c & 0x3F));
    } else {
      if (c >= 0xD800 && c <= 0xDFFF) c = kReplacement;
      ok = put(0xE0 | c >> 12) && put(0x80 | (c >> 6 & 0x3F)) && put(0x80 | (c & 0x3F));
    }
    if (!ok) return false;
  }
  return true;
}

// The argument checks the Windows calls make: false when the call fails.
template <typename In>
bool SourceLength(const In* src, int src_len, int dst_len, std::size_t& n) {
  if (src == nullptr || src_len == 0 || src_len < -1 || dst_len < 0) return false;
  n = src_len == -1 ? std::char_traits<In>::length(src) + 1 : static_cast<std::size_t>(src_len);
  return true;
}

}  // namespace

int MultiByteToWide(unsigned code_page, const char* src, int src_len, char16_t* dst, int dst_len) {
  std::size_t n;
  if (!SourceLength(src, src_len, dst_len, n)) return 0;
  const auto* s = reinterpret_cast<const unsigned char*>(src);
  // Every byte gives at most one unit.
  if (code_page == kCodePageGbk) {
    return Run(dst, dst_len, n, [&](auto& out) { return DecodeGbk(s, n, out); });
  }
  if (code_page == kCodePageUtf8) {
    return Run(dst, dst_len, n, [&](auto& out) { return DecodeUtf8(s, n, out); });
  }
  return 0;
}

int WideToMultiByte(unsigned code_page, bool composite_check, const char16_t* src, int src_len,
                    char* dst, int dst_len) {
  std::size_t n;
  if (!SourceLength(src, src_len, dst_len, n)) return 0;
  if (code_page == kCodePageGbk) {
    return Run(dst, dst_len, std::uint64_t{2} * n,
               [&](auto& out) { return EncodeGbk(src, n, composite_check, out); });
  }
  if (code_page == kCodePageUtf8) {  // UTF-8 has no precomposition step
    return Run(dst, dst_len, std::uint64_t{3} * n,
               [&](auto& out) { return EncodeUtf8(src, n, out); });
  }
  return 0;
}

namespace {

std::string Recode(std::string_view in, unsigned from, unsigned to) {
  if (in.empty() || in.size() > INT_MAX) return {};
  const int len = static_cast<int>(in.size());
  std::u16string wide(static_cast<std::size_t>(len), u'\0');  // never more units than bytes
  int units = MultiByteToWide(from, in.data(), len, wide.data(), len);
  int size = WideToMultiByte(to, false, wide.data(), units, nullptr, 0);
  std::string out(static_cast<std::size_t>(size), '\0');
  if (size > 0) WideToMultiByte(to, false, wide.data(), units, out.data(), size);
  return out;
}

}  // namespace

std::string GbkToSystemPath(std::string_view gbk) {
  return Recode(gbk, kCodePageGbk, kCodePageUtf8);
}
std::string SystemPathToGbk(std::string_view path) {
  return Recode(path, kCodePageUtf8, kCodePageGbk);
}

}  // namespace orvanta::platform
