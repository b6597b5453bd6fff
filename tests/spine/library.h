// Loading a shared library by path for the tests that go through the
// plug-in's exports, as a chat-robot host does.
#pragma once

#include <string>

namespace orvanta::test {

using AnyFunction = void (*)();

void* OpenLibrary(const std::string& path);  // null on failure
AnyFunction LibrarySymbol(void* library, const std::string& name);
void CloseLibrary(void* library);

}  // namespace orvanta::test
