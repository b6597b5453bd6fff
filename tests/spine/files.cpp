#include "spine/files.h"

#include <cstdio>

#include "platform/codepage.h"

namespace orvanta::test {
namespace {

std::string System(const std::string& path) { return platform::GbkToSystemPath(path); }

}  // namespace

std::optional<std::string> ReadFileBytes(const std::string& path) {
  std::FILE* f = std::fopen(System(path).c_str(), "rb");
  if (!f) return std::nullopt;
  std::string bytes;
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) bytes.append(chunk, n);
  std::fclose(f);
  return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(System(path).c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

bool FileExists(const std::string& path) { return ReadFileBytes(path).has_value(); }

bool RemoveFile(const std::string& path) { return std::remove(System(path).c_str()) == 0; }

bool RenameFile(const std::string& from, const std::string& to) {
  return std::rename(System(from).c_str(), System(to).c_str()) == 0;
}

}  // namespace orvanta::test
