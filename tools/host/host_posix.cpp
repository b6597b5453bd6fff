#include <dlfcn.h>
#include <iconv.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <iostream>

#include "host_platform.h"

namespace orvanta_host {
namespace {

std::string Convert(std::string_view in, const char* to, const char* from) {
  std::string out;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  out.reserve(in.size() * 2);
  char* src = const_cast<char*>(in.data());
  std::size_t src_left = in.size();
  char buffer[4096];
  while (src_left > 0) {
    char* dst = buffer;
    std::size_t dst_left = sizeof buffer;
    const std::size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
    out.append(buffer, static_cast<std::size_t>(dst - buffer));
    if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out.push_back('?');  // an invalid or cut sequence: one byte at a time
      ++src;
      --src_left;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

void InitStreams() {}

std::vector<std::string> Arguments(int argc, char** argv) { return {argv, argv + argc}; }

std::string OwnDirectory() {
  std::string path(4096, '\0');
  const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
  path.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

void* OpenLibrary(const std::string& path, std::string& error) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) error = dlerror();
  return library;
}

AnyFunction FindExport(void* library, const std::string& gbk_name) {
  return reinterpret_cast<AnyFunction>(dlsym(library, gbk_name.c_str()));
}

void CloseLibrary(void* library) { dlclose(library); }

std::string Utf8ToGbk(std::string_view utf8) { return Convert(utf8, "CP936", "UTF-8"); }
std::string GbkToUtf8(std::string_view gbk) { return Convert(gbk, "UTF-8", "CP936"); }

bool InputIsTerminal() { return isatty(STDIN_FILENO); }

bool ReadLine(std::string& line) {
  if (!std::getline(std::cin, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

void Write(std::string_view text, bool) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

void WriteError(std::string_view utf8) { std::fwrite(utf8.data(), 1, utf8.size(), stderr); }

}  // namespace orvanta_host
