// The process check behind the companion start, against this test program's
// own process, and starts that cannot succeed.
#include "plugin/companion_start.h"

#include <gtest/gtest.h>

#include "common/settings.h"
#include "platform/process.h"

namespace orvanta {
namespace {

Text OwnFileName() {
  const std::string path = platform::ExecutablePath();
  return path.substr(RunDirectory().size() + 1);
}

TEST(CompanionStartTest, ProcessNamesMatchWholeIgnoringCase) {
  const Text own = OwnFileName();
  ASSERT_FALSE(own.empty());
  struct Case {
    Text name;
    bool running;
  };
  const Case cases[] = {
      {own, true},
      {ToUpper(own), true},
      {ToLower(own), true},
      {"x" + own, false},
      {own + "x", false},
      {own.substr(1), false},
      {own.substr(0, own.size() - 1), false},
      {"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsProcessRunning(c.name), c.running);
  }
}

TEST(CompanionStartTest, ImpossibleStartsFail) {
  EXPECT_FALSE(platform::StartProgram(RunDirectory() + "/no-such-program.exe", 1000));
  EXPECT_FALSE(platform::StartProgram("", 1000));
  EXPECT_FALSE(platform::StartProgram(RunDirectory(), 1000));  // a folder
}

}  // namespace
}  // namespace orvanta
