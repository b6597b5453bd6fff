// The private-profile rules as far as the settings file uses them, over plain
// files. Writes keep every other line byte for byte and replace the file in
// one rename under an advisory lock, so neither a crash nor a second writer
// (another process, or another thread of this one) can lose an entry.
#include "platform/ini.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>

#include "platform/codepage.h"
#include "platform/posix/ini_format.h"

namespace orvanta::platform {
namespace {

constexpr char kLineEnd[] = "\r\n";

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { Reset(); }
  int get() const { return fd_; }
  void Reset(int fd = -1) {
    if (fd_ >= 0) close(fd_);
    fd_ = fd;
  }

 private:
  int fd_;
};

// Only a regular file is a settings file: reading a FIFO or a device in its
// place could block the host's thread for good.
bool IsRegularFile(int fd) {
  struct stat st;
  return fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

bool ReadAll(int fd, std::string& out) {
  if (!IsRegularFile(fd)) return false;
  char chunk[16384];
  for (;;) {
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    out.append(chunk, static_cast<std::size_t>(n));
  }
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// A symbolic link to the settings file stays a link: the file it names is
// the one replaced.
std::string ResolvedPath(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

// Waits a bounded time for the lock: a writer that hangs while holding it
// (stopped by a debugger, say) must not hang the host's thread as well.
bool LockWithin(int fd, int attempts) {
  for (int i = 0; i < attempts; ++i) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    const timespec pause{0, 1000000};  // 1 ms
    nanosleep(&pause, nullptr);
  }
  return false;
}

// Opens the file, creating it when missing, and locks it. A writer that
// renamed a new file into place while we waited leaves us holding the lock of
// a file that is no longer the settings file: then we start again on the new one.
bool OpenLocked(const std::string& path, FileDescriptor& fd) {
  for (int tries = 0; tries < 1000; ++tries) {
    fd.Reset(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666));
    if (fd.get() < 0) return false;
    if (!LockWithin(fd.get(), 5000)) return false;
    struct stat held, current;
    if (fstat(fd.get(), &held) != 0) return false;
    if (stat(path.c_str(), &current) == 0 && held.st_dev == current.st_dev &&
        held.st_ino == current.st_ino)
      return true;
  }
  return false;
}

std::string Directory(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The new content written to a temporary file beside the original, made
// durable, then renamed over it.
bool ReplaceFile(const std::string& path, int original_fd, std::string_view content) {
  struct stat original;
  if (fstat(original_fd, &original) != 0) return false;
  std::string temp = Directory(path) + "/.Orvanta-ini-XXXXXX";
  FileDescriptor fd(mkostemp(temp.data(), O_CLOEXEC));
  if (fd.get() < 0) return false;
  const bool written = WriteAll(fd.get(), content) &&
                       fchmod(fd.get(), original.st_mode & 07777) == 0 && fsync(fd.get()) == 0;
  fd.Reset();
  if (!written || rename(temp.c_str(), path.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  return true;
}

std::string Edited(std::string_view content, std::string_view section, std::string_view key,
                   std::string_view value) {
  const ini::Location at = ini::Locate(content, section, key);
  std::string entry;
  entry.reserve(key.size() + value.size() + 3);
  entry.append(key).append("=").append(value).append(kLineEnd);

  std::string out;
  out.reserve(content.size() + section.size() + entry.size() + 6);
  if (at.key_found) {
    out.append(content.substr(0, at.key_line))
        .append(entry)
        .append(content.substr(at.after_key_line));
    return out;
  }
  const std::size_t insert = at.section_found ? at.section_end : content.size();
  out.append(content.substr(0, insert));
  if (!out.empty() && out.back() != '\n') out.append(kLineEnd);
  if (!at.section_found) out.append("[").append(section).append("]").append(kLineEnd);
  out.append(entry).append(content.substr(insert));
  return out;
}

}  // namespace

std::string ReadIniValue(std::string_view file, std::string_view section, std::string_view key,
                         std::string_view default_value, std::size_t buffer_size) {
  if (buffer_size == 0) return {};
  std::string content;
  bool found = false;
  std::string_view value;
  const FileDescriptor fd(open(GbkToSystemPath(file).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() >= 0 && ReadAll(fd.get(), content)) {
    const ini::Location at = ini::Locate(content, section, key);
    found = at.key_found;
    value = at.value;
  }
  if (!found) {
    value = default_value;
    while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
  }
  // A zero byte ends the value, as it ends the buffer of the Windows call.
  value = value.substr(0, value.find('\0'));
  return std::string(value.substr(0, buffer_size - 1));
}

bool WriteIniValue(std::string_view file, std::string_view section, std::string_view key,
                   std::string_view value) {
  const std::string path = ResolvedPath(GbkToSystemPath(file));
  FileDescriptor fd;
  if (!OpenLocked(path, fd)) return false;
  std::string content;
  if (!ReadAll(fd.get(), content)) return false;
  return ReplaceFile(path, fd.get(), Edited(content, section, key, value));
}

}  // namespace orvanta::platform
