#include <dlfcn.h>

#include "spine/library.h"

namespace orvanta::test {

void* OpenLibrary(const std::string& path) { return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }

AnyFunction LibrarySymbol(void* library, const std::string& name) {
  return reinterpret_cast<AnyFunction>(dlsym(library, name.c_str()));
}

void CloseLibrary(void* library) { dlclose(library); }

}  // namespace orvanta::test
