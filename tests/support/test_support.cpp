#include "support/test_support.h"

#include <cstdlib>
#include <vector>

#include "platform/codepage.h"

namespace orvanta::test {
namespace {

std::string Convert(const std::string& in, unsigned from, unsigned to) {
  if (in.empty()) return {};
  int units = platform::MultiByteToWide(from, in.data(), static_cast<int>(in.size()), nullptr, 0);
  std::vector<char16_t> wide(units > 0 ? units : 1);
  units = platform::MultiByteToWide(from, in.data(), static_cast<int>(in.size()), wide.data(), units);
  if (units <= 0) return {};
  int bytes = platform::WideToMultiByte(to, false, wide.data(), units, nullptr, 0);
  std::string out(bytes > 0 ? bytes : 0, '\0');
  if (bytes > 0) platform::WideToMultiByte(to, false, wide.data(), units, out.data(), bytes);
  return out;
}

std::string EnvOr(const char* name, const char* fallback) {
  const char* v = std::getenv(name);
  return v && *v ? v : fallback;
}

}  // namespace

Text Gbk(const std::string& utf8) { return Convert(utf8, platform::kCodePageUtf8, platform::kCodePageGbk); }
std::string Utf8(const Text& gbk) { return Convert(gbk, platform::kCodePageGbk, platform::kCodePageUtf8); }
std::string SourceDir() { return EnvOr("ORVANTA_SOURCE_DIR", "."); }
std::string BinaryDir() { return EnvOr("ORVANTA_BINARY_DIR", "."); }

}  // namespace orvanta::test
