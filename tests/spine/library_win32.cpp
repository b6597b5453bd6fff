#include <windows.h>

#include "spine/library.h"

namespace orvanta::test {

void* OpenLibrary(const std::string& path) {
  return reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
}

AnyFunction LibrarySymbol(void* library, const std::string& name) {
  return reinterpret_cast<AnyFunction>(GetProcAddress(static_cast<HMODULE>(library), name.c_str()));
}

void CloseLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

}  // namespace orvanta::test
