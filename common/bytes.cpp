#include "common/bytes.h"

#include <algorithm>
#include <cstring>

#include "common/search.h"

namespace orvanta {

Bytes TextToBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

Text BytesToText(const Bytes& bytes) {
  if (bytes.empty()) return {};
  const void* zero = std::memchr(bytes.data(), 0, bytes.size());
  const std::size_t n =
      zero ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - bytes.data())
           : bytes.size();
  return Text(reinterpret_cast<const char*>(bytes.data()), n);
}

int BytesLength(const Bytes& bytes) { return static_cast<int>(bytes.size()); }

Bytes BytesLeft(const Bytes& bytes, int n) {
  if (n <= 0) return {};
  const std::size_t k = std::min(static_cast<std::size_t>(n), bytes.size());
  return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(k));
}

int FindBytes(const Bytes& bytes, const Bytes& sub, std::optional<int> start) {
  const long long begin = static_cast<long long>(start.value_or(1)) - 1;
  const std::size_t from = begin < 0 ? 0 : static_cast<std::size_t>(begin);
  if (sub.empty() || from >= bytes.size()) return -1;
  // Plain bytes: every offset may start a match.
  search::Matcher matcher(std::string_view(reinterpret_cast<const char*>(sub.data()), sub.size()),
                          false);
  int found = -1;
  matcher.Scan<false>(bytes.data(), bytes.size(), from, [&](std::size_t c) {
    found = static_cast<int>(c + 1);
    return true;
  });
  return found;
}

Bytes BlankBytes(int n) {
  if (n <= 0) return {};
  return Bytes(static_cast<std::size_t>(n), 0);
}

Bytes ConcatBytes(std::initializer_list<const Bytes*> parts) {
  std::size_t total = 0;
  for (const Bytes* p : parts) total += p ? p->size() : 0;
  Bytes out;
  out.reserve(total);
  for (const Bytes* p : parts) {
    if (p) out.insert(out.end(), p->begin(), p->end());
  }
  return out;
}

bool BytesEqual(const Bytes& a, const Bytes& b) { return a == b; }

std::int32_t BitOr(std::initializer_list<std::int32_t> values) {
  std::int32_t out = 0;
  for (std::int32_t v : values) out |= v;
  return out;
}

}  // namespace orvanta
