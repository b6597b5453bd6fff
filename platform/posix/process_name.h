// How a /proc entry names its executable, apart from reading /proc.
#pragma once

#include <string>
#include <string_view>

namespace orvanta::platform {

// exe_link: the target of /proc/<pid>/exe (empty when unreadable); argv0: the
// first argument of its command line. The file name of the executable, or
// empty for a process without one (a kernel thread, a zombie). A program run
// by wine has the wine loader as its executable and its Windows path as argv0.
std::string ExecutableNameOf(std::string_view exe_link, std::string_view argv0);

}  // namespace orvanta::platform
