#include <windows.h>

#include "spine/files.h"

namespace orvanta::test {

bool MakeFolder(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

bool RemoveFolder(const std::string& path) { return RemoveDirectoryA(path.c_str()) != FALSE; }

}  // namespace orvanta::test
