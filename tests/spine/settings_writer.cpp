// Writes the chat switch of count sources, prefix0 .. prefix<count-1>, over
// and over (rounds times, alternating 否 and 是, ending on 否 when rounds is
// odd), through WriteSetting. Exits non-zero when a write fails.
// Usage: settings_writer FILE PREFIX COUNT ROUNDS
#include <cstdlib>
#include <string>

#include "common/settings.h"

int main(int argc, char** argv) {
  if (argc != 5) return 2;
  const std::string file = argv[1], prefix = argv[2];
  const int count = std::atoi(argv[3]), rounds = std::atoi(argv[4]);
  int failures = 0;
  for (int r = 0; r < rounds; ++r) {
    const char* value = r % 2 == 0 ? "\xb7\xf1" : "\xca\xc7";  // 否, 是
    for (int i = 0; i < count; ++i)
      failures +=
          !orvanta::WriteSetting(file, prefix + std::to_string(i), "\xc1\xc4\xcc\xec", value);
  }
  return failures == 0 ? 0 : 1;
}
