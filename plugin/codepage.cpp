#include "plugin/codepage.h"

#include <algorithm>
#include <climits>
#include <memory>

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

// UTF-16 units; the buffer is not cleared first, since it is written whole.
struct Units {
  std::unique_ptr<char16_t[]> data;
  std::size_t size = 0;
};

// The UTF-16 units of n bytes of code_page, sized by a query for that same
// code page so that nothing is cut short. No bytes, or a failed call, give
// no units.
Units Widen(unsigned code_page, const char* bytes, std::size_t n) {
  Units out;
  if (n == 0 || n > INT_MAX) return out;
  const int len = static_cast<int>(n);
  int size = platform::MultiByteToWide(code_page, bytes, len, nullptr, 0);
  if (size <= 0) return out;
  out.data.reset(new char16_t[static_cast<std::size_t>(size)]);
  size = platform::MultiByteToWide(code_page, bytes, len, out.data.get(), size);
  out.size = static_cast<std::size_t>(std::max(size, 0));
  return out;
}

Units Widen(unsigned code_page, std::string_view text) {
  return Widen(code_page, text.data(), text.size());
}

// A terminated UTF-16 string ends at its first zero unit.
std::size_t UpToZeroUnit(const Units& units) {
  return static_cast<std::size_t>(
      std::find(units.data.get(), units.data.get() + units.size, u'\0') - units.data.get());
}

// The bytes of code_page for the first n units, sized by a query for that
// code page.
Text Narrow(unsigned code_page, bool composite_check, const Units& units, std::size_t n) {
  if (n == 0 || n > INT_MAX) return {};
  const int len = static_cast<int>(n);
  const char16_t* src = units.data.get();
  int size = platform::WideToMultiByte(code_page, composite_check, src, len, nullptr, 0);
  if (size <= 0) return {};
  Text out(static_cast<std::size_t>(size), '\0');
  size = platform::WideToMultiByte(code_page, composite_check, src, len, out.data(), size);
  out.resize(static_cast<std::size_t>(std::max(size, 0)));
  return out;
}

// Units decoded from a Text hold no zero unit: all of them are converted.
Text Narrow(unsigned code_page, const Units& units) {
  return Narrow(code_page, false, units, units.size);
}

// UTF-16LE in Bytes: two bytes per unit, low byte first.
Bytes ToBytes(const Units& units, std::size_t zero_units) {
  Bytes out((units.size + zero_units) * 2, 0);
  for (std::size_t i = 0; i < units.size; ++i) {
    out[2 * i] = static_cast<std::uint8_t>(units.data[i] & 0xFF);
    out[2 * i + 1] = static_cast<std::uint8_t>(units.data[i] >> 8);
  }
  return out;
}

Units FromBytes(const Bytes& bytes) {
  Units units;
  units.size = bytes.size() / 2;  // an odd last byte is no unit
  units.data.reset(new char16_t[units.size]);
  for (std::size_t i = 0; i < units.size; ++i) {
    units.data[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
  }
  return units;
}

const char* Chars(const Bytes& bytes) { return reinterpret_cast<const char*>(bytes.data()); }

}  // namespace

Bytes TextToUtf16Bytes(std::string_view text) {
  return ToBytes(Widen(kCodePageGbk, AsText(text)), 1);
}

Bytes TextToUtf8Bytes(std::string_view text) {
  Text utf8 = Narrow(kCodePageUtf8, Widen(kCodePageGbk, AsText(text)));
  Bytes out(utf8.size() + 1, 0);  // the zero byte of the terminating unit stays
  std::copy(utf8.begin(), utf8.end(), out.begin());
  return out;
}

Text Utf8BytesToText(const Bytes& bytes) {
  Units units = Widen(kCodePageUtf8, Chars(bytes), bytes.size());
  return Narrow(kCodePageGbk, true, units, UpToZeroUnit(units));
}

Text Utf8ToGbk(std::string_view utf8) {
  return Narrow(kCodePageGbk, Widen(kCodePageUtf8, AsText(utf8)));
}

Text GbkToUtf8(std::string_view text) {
  return Narrow(kCodePageUtf8, Widen(kCodePageGbk, AsText(text)));
}

Bytes Utf8BytesToUtf16Bytes(const Bytes& bytes) {
  return ToBytes(Widen(kCodePageUtf8, Chars(bytes), bytes.size()), 0);
}

Text Utf16BytesToGbkText(const Bytes& utf16) {
  Units units = FromBytes(utf16);
  return Narrow(kCodePageGbk, true, units, UpToZeroUnit(units));
}

Bytes DecodeToUtf16(std::string_view text, std::optional<unsigned> code_page) {
  return ToBytes(Widen(code_page.value_or(kCodePageUtf8), AsText(text)), 1);
}

Text EncodeFromUtf16(const Bytes& utf16, std::optional<unsigned> code_page) {
  Units units = FromBytes(utf16);
  return Narrow(code_page.value_or(kCodePageGbk), false, units, UpToZeroUnit(units));
}

}  // namespace orvanta
