#include "plugin/companion_start.h"

#include "common/settings.h"
#include "platform/process.h"

namespace orvanta {
namespace {

constexpr char kCompanionFile[] =
    "Orvanta\xa3\xa8\xcf\xde\xc1\xbf\xb0\xe6\xa3\xa9.exe";  // Orvanta（限量版）.exe
constexpr unsigned kReadyWaitMs = 1000;

}  // namespace

bool IsProcessRunning(const Text& name) {
  return platform::AnyProcessName([&name](std::string_view entry) {
    return entry.size() == name.size() && FindText(entry, name, 1, true) != -1;
  });
}

void EnsureCompanionRunning() {
  if (IsProcessRunning(kCompanionFile)) return;
  platform::StartProgram(Concat(RunDirectory(), "/", kCompanionFile), kReadyWaitMs);
}

}  // namespace orvanta
