#include "platform/process.h"

// windows.h first: tlhelp32.h builds on it.
// clang-format off
#include <windows.h>
#include <tlhelp32.h>
// clang-format on

namespace orvanta::platform {

std::string ExecutablePath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);  // cut short: try again with room to spare
  }
}

std::string ExecutableDirectory() {
  std::string path = ExecutablePath();
  // The last separator at a character start: the second byte of a GBK
  // character may be 0x5C, the backslash.
  std::size_t cut = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const auto c = static_cast<unsigned char>(path[i]);
    if (c >= 0x80) {
      ++i;
    } else if (c == '\\' || c == '/') {
      cut = i;
    }
  }
  path.resize(cut);
  return path;
}

bool AnyProcessName(const std::function<bool(std::string_view)>& visit) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32First(snapshot, &entry); more && !found;
       more = Process32Next(snapshot, &entry)) {
    found = visit(entry.szExeFile);
  }
  CloseHandle(snapshot);
  return found;
}

bool StartProgram(std::string_view path, unsigned ready_wait_ms) {
  // The full path is the application name, so Windows never tries the
  // shorter paths that an unquoted command line with spaces would give; the
  // command line repeats it quoted, as the program's own argument zero.
  const std::string application(path);
  std::string command_line = "\"" + application + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(application.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &started))
    return false;
  WaitForInputIdle(started.hProcess, ready_wait_ms);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return true;
}

}  // namespace orvanta::platform
