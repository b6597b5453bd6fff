// What orvanta-host needs from the system: loading a library, the terminal,
// and GBK <-> UTF-8. Everything the host itself handles is UTF-8, except in
// raw mode, where standard input and output carry the plug-in's GBK bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvanta_host {

using AnyFunction = void (*)();

// Sets up the standard streams (binary, so bytes pass unchanged).
void InitStreams();
// The command line as UTF-8.
std::vector<std::string> Arguments(int argc, char** argv);
// Directory of this program, UTF-8, without a trailing separator.
std::string OwnDirectory();

// A loaded library, or null with error set.
void* OpenLibrary(const std::string& path, std::string& error);
AnyFunction FindExport(void* library, const std::string& gbk_name);
void CloseLibrary(void* library);

// Invalid input becomes '?'.
std::string Utf8ToGbk(std::string_view utf8);
std::string GbkToUtf8(std::string_view gbk);

bool InputIsTerminal();
// One line of standard input without its line end; false at the end.
// A terminal's input arrives as UTF-8 whatever its code page.
bool ReadLine(std::string& line);
// Writes text to standard output; on a terminal, UTF-8 text shows as such.
void Write(std::string_view text, bool raw);
void WriteError(std::string_view utf8);

}  // namespace orvanta_host
