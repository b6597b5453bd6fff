#include "plugin/urlcode.h"

#include <algorithm>
#include <cstring>

#include "platform/codepage.h"
#include "plugin/codepage.h"

namespace orvanta {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

struct ByteSet {
  bool has[256] = {};
};

constexpr ByteSet MakeSet(std::string_view chars) {
  ByteSet set;
  for (char c : chars) set.has[static_cast<unsigned char>(c)] = true;
  return set;
}

// Escaped one by one in a song-search keyword: every ASCII punctuation
// character, CR, LF and TAB.
constexpr ByteSet kKeywordSet = MakeSet("`~!@#$%^&*()-_=+[{]};:'\\|,<.>/?\"\r\n\t");

// Left as they are by UrlEncode when asked to keep them.
constexpr ByteSet kPlainSet =
    MakeSet("-.0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");

// Value of a character after '%': its place in kHexDigits once upper-cased,
// and -2 for a character that is not there (its place "-1", less one).
struct DigitTable {
  signed char value[256];
};

constexpr DigitTable MakeDigitTable() {
  DigitTable table{};
  for (int c = 0; c < 256; ++c) {
    table.value[c] = -2;
    for (int d = 0; d < 16; ++d) {
      if (kHexDigits[d] == static_cast<char>(AsciiToUpper(static_cast<unsigned char>(c)))) {
        table.value[c] = static_cast<signed char>(d);
      }
    }
  }
  return table;
}

constexpr DigitTable kDigits = MakeDigitTable();

// A Text ends at its first zero byte, whatever the view holds after it.
std::string_view AsText(std::string_view text) {
  std::size_t zero = text.find('\0');
  return zero == std::string_view::npos ? text : text.substr(0, zero);
}

char* WritePercent(char* p, unsigned char b) {
  p[0] = '%';
  p[1] = kHexDigits[b >> 4];
  p[2] = kHexDigits[b & 0x0F];
  return p + 3;
}

// The most one step of EncodeSearchKeyword writes: a byte pair that reads as
// two characters of three UTF-8 bytes each ("\x80\xFF"), every byte escaped.
constexpr std::size_t kMaxKeywordStep = 2 * 3 * 3;

// The escapes of the UTF-8 form of one GBK character (or of a lone lead byte
// at the end): what TextToUtf8Bytes gives for it, without its zero byte.
char* WriteUtf8Escapes(char* p, const char* gbk, int len) {
  char16_t units[2];
  int n = platform::MultiByteToWide(platform::kCodePageGbk, gbk, len, units, 2);
  if (n <= 0) return p;
  char utf8[8];
  int m = platform::WideToMultiByte(platform::kCodePageUtf8, false, units, n, utf8, sizeof utf8);
  for (int i = 0; i < m && utf8[i] != '\0'; ++i)
    p = WritePercent(p, static_cast<unsigned char>(utf8[i]));
  return p;
}

}  // namespace

Text EncodeSearchKeyword(std::string_view text) {
  text = AsText(text);
  Text out(text.size() * 3, '\0');  // enough unless many bytes are double-byte characters
  std::size_t used = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (out.size() - used < kMaxKeywordStep) out.resize(out.size() * 2 + kMaxKeywordStep);
    char* p = out.data() + used;
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (IsLeadByte(b)) {
      int len = i + 1 < text.size() ? 2 : 1;
      p = WriteUtf8Escapes(p, text.data() + i, len);
      i += 2;
    } else {
      if (kKeywordSet.has[b]) {
        p = WritePercent(p, b);
      } else {
        *p++ = static_cast<char>(b);
      }
      i += 1;
    }
    used = static_cast<std::size_t>(p - out.data());
  }
  out.resize(used);
  return out;
}

Text UrlEncode(std::string_view text, bool keep_plain, bool to_utf8) {
  text = AsText(text);
  Text utf8;
  if (to_utf8) {
    utf8 = GbkToUtf8(text);
    text = utf8;
  }
  Text out(text.size() * 3, '\0');
  char* p = out.data();
  for (char c : text) {
    unsigned char b = static_cast<unsigned char>(c);
    if (keep_plain && kPlainSet.has[b]) {
      *p++ = c;
    } else {
      p = WritePercent(p, b);
    }
  }
  out.resize(static_cast<std::size_t>(p - out.data()));
  return out;
}

Text UrlDecode(std::string_view text, bool from_utf8) {
  text = AsText(text);
  const char* s = text.data();
  const std::size_t n = text.size();
  Text out(n, '\0');  // never longer than the input
  char* p = out.data();
  for (std::size_t i = 0; i < n;) {
    if (s[i] != '%') {
      // Short runs byte by byte; past a few bytes, look for the next escape.
      const std::size_t stop = std::min(n, i + 16);
      while (i < stop && s[i] != '%') *p++ = s[i++];
      if (i == stop && i < n && s[i] != '%') {
        const void* found = std::memchr(s + i, '%', n - i);
        std::size_t end = found ? static_cast<std::size_t>(static_cast<const char*>(found) - s) : n;
        std::memcpy(p, s + i, end - i);
        p += end - i;
        i = end;
      }
      continue;
    }
    // A digit place past the end counts as 0; the formula's value is taken
    // modulo 256 (a bad digit counts -2), and a zero byte is dropped.
    int high = i + 1 < n ? kDigits.value[static_cast<unsigned char>(s[i + 1])] : 0;
    int low = i + 2 < n ? kDigits.value[static_cast<unsigned char>(s[i + 2])] : 0;
    unsigned char byte = static_cast<unsigned char>(high * 16 + low);
    if (byte != 0) *p++ = static_cast<char>(byte);
    i += 3;
  }
  out.resize(static_cast<std::size_t>(p - out.data()));
  return from_utf8 ? Utf8ToGbk(out) : out;
}

}  // namespace orvanta
