#include "platform/process.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/codepage.h"
#include "platform/posix/process_name.h"

namespace orvanta::platform {
namespace {

std::string ReadLink(const std::string& link) {
  std::string target(256, '\0');
  for (;;) {
    const ssize_t n = readlink(link.c_str(), target.data(), target.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < target.size()) {
      target.resize(static_cast<std::size_t>(n));
      return target;
    }
    target.resize(target.size() * 2);
  }
}

// The first argument of a command line, up to its zero byte.
std::string FirstArgument(const std::string& cmdline_file) {
  const int fd = open(cmdline_file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  std::string out;
  char chunk[1024];
  for (;;) {
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    const std::string_view got(chunk, static_cast<std::size_t>(n));
    const std::size_t zero = got.find('\0');
    out.append(got.substr(0, zero));
    if (zero != std::string_view::npos || out.size() > 65536) break;
  }
  close(fd);
  return out;
}

std::string_view FileName(std::string_view path, std::string_view separators) {
  const std::size_t cut = path.find_last_of(separators);
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

bool IsWineLoader(std::string_view name) {
  return name == "wine" || name == "wine64" || name == "wine-preloader" ||
         name == "wine64-preloader";
}

bool AllDigits(const char* s) {
  if (!*s) return false;
  for (; *s; ++s)
    if (*s < '0' || *s > '9') return false;
  return true;
}

}  // namespace

std::string ExecutableNameOf(std::string_view exe_link, std::string_view argv0) {
  constexpr std::string_view kDeleted = " (deleted)";  // the file was replaced while running
  if (exe_link.size() > kDeleted.size() &&
      exe_link.substr(exe_link.size() - kDeleted.size()) == kDeleted)
    exe_link.remove_suffix(kDeleted.size());
  // Only the process's own argument can name what wine runs, and a process of
  // another user hides its executable but not its command line.
  const std::string_view own = FileName(exe_link, "/");
  if (!own.empty() && !IsWineLoader(own)) return std::string(own);
  return std::string(FileName(argv0, "/\\"));
}

std::string ExecutablePath() { return SystemPathToGbk(ReadLink("/proc/self/exe")); }

std::string ExecutableDirectory() {
  std::string path = ReadLink("/proc/self/exe");
  const std::size_t slash = path.rfind('/');
  path.resize(slash == std::string::npos ? 0 : slash);
  return SystemPathToGbk(path);
}

bool AnyProcessName(const std::function<bool(std::string_view)>& visit) {
  DIR* proc = opendir("/proc");
  if (!proc) return false;
  bool found = false;
  while (!found) {
    const dirent* entry = readdir(proc);
    if (!entry) break;
    if (!AllDigits(entry->d_name)) continue;
    const std::string dir = std::string("/proc/") + entry->d_name;
    const std::string exe = ReadLink(dir + "/exe");
    const bool need_argv0 = exe.empty() || IsWineLoader(FileName(exe, "/"));
    const std::string name =
        ExecutableNameOf(exe, need_argv0 ? FirstArgument(dir + "/cmdline") : "");
    if (!name.empty()) found = visit(SystemPathToGbk(name));
  }
  closedir(proc);
  return found;
}

bool StartProgram(std::string_view path, unsigned /*ready_wait_ms: no such state here*/) {
  const std::string program = GbkToSystemPath(path);
  char* const argv[] = {const_cast<char*>(program.c_str()), nullptr};
  const long open_max = sysconf(_SC_OPEN_MAX);
  const int last_fd = open_max > 0 && open_max < 65536 ? static_cast<int>(open_max) : 65536;
  int report[2];  // the exec's error number, or end-of-file when it succeeded
  if (pipe2(report, O_CLOEXEC) != 0) return false;

  const pid_t middle = fork();
  if (middle < 0) {
    close(report[0]);
    close(report[1]);
    return false;
  }
  if (middle == 0) {
    // Only async-signal-safe calls from here: the host may run other threads.
    // The middle process ends at once, so the program is handed to init and
    // no zombie of it is left for the host to reap.
    if (fork() != 0) _exit(0);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction default_action {};
    default_action.sa_handler = SIG_DFL;
    for (int sig = 1; sig < NSIG; ++sig) sigaction(sig, &default_action, nullptr);
    // No inherited handles: only the standard streams survive the exec (the
    // report pipe is close-on-exec already).
    if (close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) != 0)
      for (int fd = 3; fd < last_fd; ++fd)
        if (fd != report[1]) close(fd);
    execve(program.c_str(), argv, environ);
    const int error = errno;
    [[maybe_unused]] const ssize_t ignored = write(report[1], &error, sizeof error);
    _exit(127);
  }
  close(report[1]);
  int status;
  while (waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t n;
  do {
    n = read(report[0], &error, sizeof error);
  } while (n < 0 && errno == EINTR);
  close(report[0]);
  return n == 0;
}

}  // namespace orvanta::platform
