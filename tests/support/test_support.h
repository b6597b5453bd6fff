// Small helpers shared by the test programs.
#pragma once

#include <string>

#include "common/text.h"

namespace orvanta::test {

// UTF-8 source literal to GBK bytes, so tests can be written readably.
Text Gbk(const std::string& utf8);
// GBK bytes back to UTF-8, for readable failure messages.
std::string Utf8(const Text& gbk);
// The source and build folders, from the environment CTest sets.
std::string SourceDir();
std::string BinaryDir();

}  // namespace orvanta::test
