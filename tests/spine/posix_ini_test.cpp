// The POSIX layer's own INI reader and writer, and how it names processes.
// On Windows both belong to the system, so these run natively only.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/settings.h"
#include "platform/ini.h"
#include "platform/posix/ini_format.h"
#include "platform/posix/process_name.h"
#include "spine/files.h"

namespace orvanta::platform {
namespace {

class PosixIniTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = RunDirectory() + "/posix_ini_test.tmp";
    test::MakeFolder(dir_);
    file_ = dir_ + "/Orvanta.vt";
    test::RemoveFile(file_);
  }
  void TearDown() override {
    test::RemoveFile(file_);
    test::RemoveFile(dir_ + "/link.vt");
    test::RemoveFolder(dir_);
  }
  std::string Written(const std::string& before, const char* section, const char* key,
                      const char* value) {
    EXPECT_TRUE(test::WriteFileBytes(file_, before));
    EXPECT_TRUE(WriteIniValue(file_, section, key, value));
    return test::ReadFileBytes(file_).value_or("<missing>");
  }
  // Names in the folder other than the settings file: temporary files left behind.
  std::vector<std::string> Strays() {
    std::vector<std::string> out;
    DIR* d = opendir(dir_.c_str());
    while (const dirent* e = d ? readdir(d) : nullptr) {
      const std::string name = e->d_name;
      if (name != "." && name != ".." && name != "Orvanta.vt" && name != "link.vt")
        out.push_back(name);
    }
    if (d) closedir(d);
    return out;
  }

  std::string dir_, file_;
};

TEST_F(PosixIniTest, WritesKeepEveryOtherLine) {
  struct Case {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
  };
  const Case cases[] = {
      {"value replaced in place", "; note\n[a]\n  k = old ;x\nj=1\n[b]\nk=2\n", "A", "K", "new",
       "; note\n[a]\nK=new\r\nj=1\n[b]\nk=2\n"},
      {"new key after the section's last entry", "[a]\r\nk=1\r\n\r\n[b]\r\nk=2\r\n", "a", "j", "3",
       "[a]\r\nk=1\r\nj=3\r\n\r\n[b]\r\nk=2\r\n"},
      {"new key in an empty section", "[a]\r\n[b]\r\n", "a", "k", "1", "[a]\r\nk=1\r\n[b]\r\n"},
      {"new section at the end", "[a]\r\nk=1\r\n", "b", "k", "2", "[a]\r\nk=1\r\n[b]\r\nk=2\r\n"},
      {"last line without line end", "[a]\r\nk=1", "a", "j", "2", "[a]\r\nk=1\r\nj=2\r\n"},
      {"new section after a last line without line end", "x", "b", "k", "2", "x\r\n[b]\r\nk=2\r\n"},
      {"empty file", "", "s", "k", "", "[s]\r\nk=\r\n"},
      {"only the first section of a name", "[a]\r\nk=1\r\n[a]\r\nj=2\r\n", "a", "j", "3",
       "[a]\r\nk=1\r\nj=3\r\n[a]\r\nj=2\r\n"},
      {"comment is no key", "[a]\r\n;k=1\r\n", "a", "k", "2", "[a]\r\n;k=1\r\nk=2\r\n"},
      {"line without '=' is no key", "[a]\r\nk\r\n", "a", "k", "2", "[a]\r\nk\r\nk=2\r\n"},
      {"GBK bytes as they are", "[\xc7\xb0\xd6\xc3]\r\n\xb8\xf1\xca\xbd=\xd0\xa1\r\n",
       "\xc7\xb0\xd6\xc3", "\xb8\xf1\xca\xbd", "\xb4\xf3",
       "[\xc7\xb0\xd6\xc3]\r\n\xb8\xf1\xca\xbd=\xb4\xf3\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Written(c.before, c.section, c.key, c.value), c.after);
  }
  EXPECT_TRUE(Strays().empty());
}

TEST_F(PosixIniTest, ReaderAndWriterAgreeOnTheEntry) {
  struct Case {
    std::string content, section, key;
    bool found;
    std::string value;
  };
  const Case cases[] = {
      {"[ a ]\r\n k =  v  \r\n", "a", "k", true, "v"},
      {"[a] trailing\r\nk=v\r\n", "a", "k", true, "v"},
      {"[a]x]\r\nk=v\r\n", "a]x", "k", true, "v"},  // the last ']' closes the name
      {"[a\r\nk=v\r\n", "a", "k", false, ""},       // no ']': no section header
      {"k=v\r\n[a]\r\n", "a", "k", false, ""},      // before any section
      {"[a]\r\nk='q'\r\n", "a", "k", true, "q"},
      {"[a]\r\nk=\"q\r\n", "a", "k", true, "\"q"},  // no pair, nothing dropped
      {"[a]\r\nk=\"\"\r\n", "a", "k", true, ""},
      {"[a]\r\nk=a=b\r\n", "a", "k", true, "a=b"},
      {"[a]\n\n\nk=v", "a", "k", true, "v"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content);
    const ini::Location at = ini::Locate(c.content, c.section, c.key);
    EXPECT_EQ(at.key_found, c.found);
    EXPECT_EQ(at.value, c.value);
  }
}

TEST_F(PosixIniTest, ReadsCutAtZeroBytesAndBufferSize) {
  ASSERT_TRUE(test::WriteFileBytes(file_, std::string("[a]\r\nk=ab\0cd\r\n", 14)));
  EXPECT_EQ(ReadIniValue(file_, "a", "k", "", 100), "ab");
  EXPECT_EQ(ReadIniValue(file_, "a", "k", "", 2), "a");
  EXPECT_EQ(ReadIniValue(file_, "a", "k", "", 0), "");
  EXPECT_EQ(ReadIniValue(file_, "a", "j", "def  ", 100), "def");  // as the Windows call does
}

TEST_F(PosixIniTest, ReplacedFileKeepsItsModeAndLinks) {
  ASSERT_TRUE(test::WriteFileBytes(file_, "[a]\r\nk=1\r\n"));
  ASSERT_EQ(chmod(file_.c_str(), 0640), 0);
  ASSERT_EQ(symlink("Orvanta.vt", (dir_ + "/link.vt").c_str()), 0);
  ASSERT_TRUE(WriteIniValue(dir_ + "/link.vt", "a", "k", "2"));
  struct stat st;
  ASSERT_EQ(lstat((dir_ + "/link.vt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat(file_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(test::ReadFileBytes(file_), "[a]\r\nk=2\r\n");
  EXPECT_TRUE(Strays().empty());
}

TEST_F(PosixIniTest, NoRegularFileNoHang) {
  ASSERT_EQ(mkfifo(file_.c_str(), 0600), 0);  // nobody will ever write into it
  EXPECT_EQ(ReadIniValue(file_, "a", "k", "d", 100), "d");
  EXPECT_FALSE(WriteIniValue(file_, "a", "k", "v"));
  EXPECT_TRUE(Strays().empty());
}

TEST(ProcessNameTest, ExecutableNames) {
  struct Case {
    const char* exe;
    const char* argv0;
    const char* name;
  };
  const Case cases[] = {
      {"/usr/bin/bash", "-bash", "bash"},
      {"/opt/a b/Orvanta（限量版）.exe", "whatever", "Orvanta（限量版）.exe"},
      {"/tmp/x/prog (deleted)", "prog", "prog"},
      // wine runs Windows programs: its loader is the executable, argv0 the
      // Windows path.
      {"/usr/lib/wine/wine", "Z:\\tmp\\run\\Orvanta（限量版）.exe", "Orvanta（限量版）.exe"},
      {"/usr/lib/wine/wine64-preloader", "C:\\windows\\system32\\services.exe", "services.exe"},
      {"/usr/lib/wine/wine-preloader", "start.exe", "start.exe"},
      {"/usr/lib/wine/wineserver32", "/usr/lib/wine/wineserver32", "wineserver32"},
      // Another user's process hides its executable, not its command line.
      {"", "/usr/sbin/sshd", "sshd"},
      {"", "", ""},  // kernel thread
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.exe);
    EXPECT_EQ(ExecutableNameOf(c.exe, c.argv0), c.name);
  }
}

}  // namespace
}  // namespace orvanta::platform
