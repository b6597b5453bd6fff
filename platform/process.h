// The running process's executable, the names of all running processes'
// executables, and starting a program without waiting for it.
// Every text here is GBK; paths are converted for the system here.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace orvanta::platform {

// Full path of the running process's executable; empty when unknown.
std::string ExecutablePath();
// Its directory, without a trailing separator (empty for the root).
std::string ExecutableDirectory();

// Calls visit with the executable file name (no directory) of every running
// process, in the order the system lists them, until visit returns true.
// Returns whether visit did. A program run by wine counts under its Windows
// executable's name.
bool AnyProcessName(const std::function<bool(std::string_view)>& visit);

// Starts the program at path with no arguments, no inherited handles, and the
// environment and current directory of this process. Waits at most
// ready_wait_ms for it to be ready for input (where the system can tell),
// never for it to end, and leaves nothing behind to clean up.
// Returns whether it started.
bool StartProgram(std::string_view path, unsigned ready_wait_ms);

}  // namespace orvanta::platform
