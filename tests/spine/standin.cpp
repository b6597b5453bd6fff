// Stands in for the companion program in the tests: it notes each start in
// standin.log beside itself, then runs until standin.stop appears there (at
// most a minute), so that the plug-in can find it running.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/codepage.h"
#include "platform/process.h"

int main(int argc, char**) {
  const std::string dir =
      orvanta::platform::GbkToSystemPath(orvanta::platform::ExecutableDirectory());
  if (std::FILE* log = std::fopen((dir + "/standin.log").c_str(), "ab")) {
    std::fprintf(log, "started with %d argument(s)\n", argc - 1);
    std::fclose(log);
  }
  const std::string stop = dir + "/standin.stop";
  for (int i = 0; i < 3000; ++i) {
    if (std::FILE* f = std::fopen(stop.c_str(), "rb")) {
      std::fclose(f);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return 0;
}
