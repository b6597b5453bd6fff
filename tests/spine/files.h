// File helpers for the tests that arrange run directories. Paths are GBK,
// as inside the system.
#pragma once

#include <optional>
#include <string>

namespace orvanta::test {

std::optional<std::string> ReadFileBytes(const std::string& path);  // nothing when missing
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
bool RemoveFile(const std::string& path);
bool RenameFile(const std::string& from, const std::string& to);
bool MakeFolder(const std::string& path);    // one level
bool RemoveFolder(const std::string& path);  // when empty

}  // namespace orvanta::test
