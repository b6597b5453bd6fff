// windows.h first: the other Windows headers build on it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "host_platform.h"

namespace orvanta_host {
namespace {

constexpr UINT kGbk = 936;

std::wstring Widen(std::string_view text, UINT code_page) {
  if (text.empty()) return {};
  const int n =
      MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(n > 0 ? n : 0, L'\0');
  if (n > 0)
    MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string Narrow(std::wstring_view text, UINT code_page) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n : 0, '\0');
  if (n > 0)
    WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
  return out;
}

bool IsConsole(DWORD which) {
  DWORD mode;
  return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}

}  // namespace

void InitStreams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

std::vector<std::string> Arguments(int, char**) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> out;
  for (int i = 0; i < count; ++i) out.push_back(Narrow(wide[i], CP_UTF8));
  LocalFree(wide);
  return out;
}

std::string OwnDirectory() {
  std::wstring path(32768, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(n);
  const std::size_t cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? "." : Narrow(path.substr(0, cut), CP_UTF8);
}

void* OpenLibrary(const std::string& path, std::string& error) {
  HMODULE library = LoadLibraryW(Widen(path, CP_UTF8).c_str());
  if (!library) error = "LoadLibrary failed, error " + std::to_string(GetLastError());
  return reinterpret_cast<void*>(library);
}

AnyFunction FindExport(void* library, const std::string& gbk_name) {
  return reinterpret_cast<AnyFunction>(
      GetProcAddress(static_cast<HMODULE>(library), gbk_name.c_str()));
}

void CloseLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

std::string Utf8ToGbk(std::string_view utf8) { return Narrow(Widen(utf8, CP_UTF8), kGbk); }
std::string GbkToUtf8(std::string_view gbk) { return Narrow(Widen(gbk, kGbk), CP_UTF8); }

bool InputIsTerminal() { return IsConsole(STD_INPUT_HANDLE); }

bool ReadLine(std::string& line) {
  line.clear();
  if (IsConsole(STD_INPUT_HANDLE)) {
    // The console hands out UTF-16 whatever its code page.
    std::wstring wide;
    wchar_t c;
    DWORD got;
    while (ReadConsoleW(GetStdHandle(STD_INPUT_HANDLE), &c, 1, &got, nullptr) && got == 1) {
      if (c == L'\n') {
        if (!wide.empty() && wide.back() == L'\r') wide.pop_back();
        if (!wide.empty() && wide.front() == L'\x1a') return false;  // Ctrl-Z: end of input
        line = Narrow(wide, CP_UTF8);
        return true;
      }
      wide.push_back(c);
    }
    line = Narrow(wide, CP_UTF8);
    return !wide.empty();
  }
  int c;
  bool any = false;
  while ((c = std::fgetc(stdin)) != EOF) {
    any = true;
    if (c == '\n') break;
    line.push_back(static_cast<char>(c));
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return any;
}

void Write(std::string_view text, bool raw) {
  std::fflush(stdout);
  if (!raw && IsConsole(STD_OUTPUT_HANDLE)) {
    const std::wstring wide = Widen(text, CP_UTF8);
    DWORD written;
    WriteConsoleW(GetStdHandle(STD_OUTPUT_HANDLE), wide.data(), static_cast<DWORD>(wide.size()),
                  &written, nullptr);
    return;
  }
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

void WriteError(std::string_view utf8) { std::fwrite(utf8.data(), 1, utf8.size(), stderr); }

}  // namespace orvanta_host
