#include <sys/stat.h>
#include <unistd.h>

#include "platform/codepage.h"
#include "spine/files.h"

namespace orvanta::test {

bool MakeFolder(const std::string& path) {
  return mkdir(platform::GbkToSystemPath(path).c_str(), 0777) == 0;
}

bool RemoveFolder(const std::string& path) {
  return rmdir(platform::GbkToSystemPath(path).c_str()) == 0;
}

}  // namespace orvanta::test
