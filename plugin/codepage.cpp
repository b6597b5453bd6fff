#include "plugin/codepage.h"

#include <algorithm>
#include <climits>
#include <string>

#include "platform/codepage.h"

namespace orvanta {
namespace {

using platform::kCodePageGbk;
using platform::kCodePageUtf8;

// A Text ends at its first zero byte, whatever the view holds after it.
std::string_view AsText(std::string_view text) {
  std::size_t zero = text.find('\0');
  return zero == std::string_view::npos ? text : text.substr(0, zero);
}

// The UTF-16 units of n bytes of code_page, sized by a query for that same
// code page so that nothing is cut short. No bytes, or a failed call, give
// no units.
std::u16string Widen(unsigned code_page, const char* bytes, std::size_t n) {
  if (n == 0 || n > INT_MAX) return {};
  const int len = static_cast<int>(n);
  int units = platform::MultiByteToWide(code_page, bytes, len, nullptr, 0);
  if (units <= 0) return {};
  std::u16string out(static_cast<std::size_t>(units), u'\0');
  units = platform::MultiByteToWide(code_page, bytes, len, out.data(), units);
  out.resize(static_cast<std::size_t>(std::max(units, 0)));
  return out;
}

std::u16string Widen(unsigned code_page, std::string_view text) {
  return Widen(code_page, text.data(), text.size());
}

// The bytes of code_page for the units before the first zero unit (where a
// terminated UTF-16 string ends), sized by a query for that code page.
Text Narrow(unsigned code_page, bool composite_check, const std::u16string& units) {
  std::size_t n = std::min(units.find(u'\0'), units.size());
  if (n == 0 || n > INT_MAX) return {};
  const int len = static_cast<int>(n);
  int size = platform::WideToMultiByte(code_page, composite_check, units.data(), len, nullptr, 0);
  if (size <= 0) return {};
  Text out(static_cast<std::size_t>(size), '\0');
  size = platform::WideToMultiByte(code_page, composite_check, units.data(), len, out.data(), size);
  out.resize(static_cast<std::size_t>(std::max(size, 0)));
  return out;
}

// UTF-16LE in Bytes: two bytes per unit, low byte first.
Bytes ToBytes(const std::u16string& units, std::size_t zero_units) {
  Bytes out((units.size() + zero_units) * 2, 0);
  for (std::size_t i = 0; i < units.size(); ++i) {
    out[2 * i] = static_cast<std::uint8_t>(units[i] & 0xFF);
    out[2 * i + 1] = static_cast<std::uint8_t>(units[i] >> 8);
  }
  return out;
}

std::u16string FromBytes(const Bytes& bytes) {
  std::u16string units(bytes.size() / 2, u'\0');  // an odd last byte is no unit
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
  }
  return units;
}

const char* Chars(const Bytes& bytes) { return reinterpret_cast<const char*>(bytes.data()); }

}  // namespace

Bytes TextToUtf16Bytes(std::string_view text) {
  return ToBytes(Widen(kCodePageGbk, AsText(text)), 1);
}

Bytes TextToUtf8Bytes(std::string_view text) {
  Text utf8 = Narrow(kCodePageUtf8, false, Widen(kCodePageGbk, AsText(text)));
  Bytes out(utf8.size() + 1, 0);  // the zero byte of the terminating unit stays
  std::copy(utf8.begin(), utf8.end(), out.begin());
  return out;
}

Text Utf8BytesToText(const Bytes& bytes) {
  return Narrow(kCodePageGbk, true, Widen(kCodePageUtf8, Chars(bytes), bytes.size()));
}

Text Utf8ToGbk(std::string_view utf8) {
  return Narrow(kCodePageGbk, false, Widen(kCodePageUtf8, AsText(utf8)));
}

Text GbkToUtf8(std::string_view text) {
  return Narrow(kCodePageUtf8, false, Widen(kCodePageGbk, AsText(text)));
}

Bytes Utf8BytesToUtf16Bytes(const Bytes& bytes) {
  return ToBytes(Widen(kCodePageUtf8, Chars(bytes), bytes.size()), 0);
}

Text Utf16BytesToGbkText(const Bytes& utf16) {
  return Narrow(kCodePageGbk, true, FromBytes(utf16));
}

Bytes DecodeToUtf16(std::string_view text, std::optional<unsigned> code_page) {
  return ToBytes(Widen(code_page.value_or(kCodePageUtf8), AsText(text)), 1);
}

Text EncodeFromUtf16(const Bytes& utf16, std::optional<unsigned> code_page) {
  return Narrow(code_page.value_or(kCodePageGbk), false, FromBytes(utf16));
}

}  // namespace orvanta
