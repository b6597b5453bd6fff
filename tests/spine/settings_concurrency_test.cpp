// Two processes writing the chat switches of different sources into one
// settings file at the same time: no entry may be lost, and the file stays
// one entry per line.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include "common/settings.h"
#include "spine/files.h"

extern char** environ;

namespace orvanta {
namespace {

pid_t Spawn(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  return posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

int ExitCode(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SettingsConcurrencyTest, TwoWritersLoseNoEntry) {
  const std::string dir = RunDirectory() + "/settings_concurrency.tmp";
  test::MakeFolder(dir);
  const std::string file = dir + "/Orvanta.vt";
  test::RemoveFile(file);
  constexpr int kSources = 60, kRounds = 5;  // odd: every source ends on 否
  const std::string count = std::to_string(kSources), rounds = std::to_string(kRounds);
  const pid_t a = Spawn({ORVANTA_SETTINGS_WRITER, file, "1", count, rounds});
  const pid_t b = Spawn({ORVANTA_SETTINGS_WRITER, file, "2", count, rounds});
  ASSERT_GT(a, 0);
  ASSERT_GT(b, 0);
  EXPECT_EQ(ExitCode(a), 0);
  EXPECT_EQ(ExitCode(b), 0);

  for (const char* prefix : {"1", "2"}) {
    for (int i = 0; i < kSources; ++i) {
      const std::string source = prefix + std::to_string(i);
      EXPECT_EQ(ReadSetting(file, source, "\xc1\xc4\xcc\xec"), "\xb7\xf1") << source;
    }
  }
  const std::string content = test::ReadFileBytes(file).value_or("");
  std::size_t lines = 0;
  for (std::size_t pos = 0; (pos = content.find('\n', pos)) != std::string::npos; ++pos, ++lines)
    EXPECT_EQ(content[pos - 1], '\r');
  EXPECT_EQ(lines, 2u * 2 * kSources);  // a header and an entry per source
  test::RemoveFile(file);
  EXPECT_TRUE(test::RemoveFolder(dir));  // nothing left beside the file
}

}  // namespace
}  // namespace orvanta
