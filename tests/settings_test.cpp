// The settings file through ReadSetting and WriteSetting, on the platform's
// own INI functions: what a file reads as, the guards in front of the
// platform, and what a write leaves behind.
#include "common/settings.h"

#include <gtest/gtest.h>

#include "platform/process.h"
#include "spine/files.h"
#include "support/test_support.h"

namespace orvanta {
namespace {

using test::Gbk;

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = RunDirectory() + "/settings_test.tmp";
    test::MakeFolder(dir_);
    file_ = dir_ + "/Orvanta.vt";
    test::RemoveFile(file_);
  }
  void TearDown() override {
    test::RemoveFile(file_);
    test::RemoveFolder(dir_);
  }
  void Holds(const std::string& content) { ASSERT_TRUE(test::WriteFileBytes(file_, content)); }
  std::string Content() { return test::ReadFileBytes(file_).value_or("<missing>"); }

  Text dir_, file_;
};

TEST_F(SettingsTest, ReadsEntriesAsThePlatformDoes) {
  struct Case {
    const char* name;
    std::string content, section, key, expected;
  };
  const Case cases[] = {
      {"plain", Gbk("[前置]\r\n格式=小O\r\n"), Gbk("前置"), Gbk("格式"), Gbk("小O")},
      {"blanks around = and value", Gbk("[前置]\r\n格式 =  小O \r\n"), Gbk("前置"), Gbk("格式"),
       Gbk("小O")},
      {"one pair of quotes dropped", "[s]\r\nk2 = \"quoted\" \r\n", "s", "k2", "quoted"},
      {"quotes keep inner blanks", "[s]\r\nk=\" a \"\r\n", "s", "k", " a "},
      {"semicolon in a value", "[s]\r\nk=a;b\r\n", "s", "k", "a;b"},
      {"names ignore ASCII case", "[Source]\r\nKey=v\r\n", "sOURCE", "kEY", "v"},
      {"names ignore surrounding blanks", "[s]\r\n  k  =v\r\n", "s", "k", "v"},
      {"line feed lines", "[a]\nk=1\n[b]\nk=2\n", "b", "k", "2"},
      {"last line without line end", "[s]\r\nk=v", "s", "k", "v"},
      {"first key of the section wins", "[s]\r\nk=1\r\nk=2\r\n", "s", "k", "1"},
      {"key of another section", "[a]\r\nk=1\r\n[b]\r\nj=2\r\n", "b", "k", ""},
      {"missing section", "[a]\r\nk=1\r\n", "b", "k", ""},
      {"empty value", "[s]\r\nk=\r\n", "s", "k", ""},
      // 0x81 0x41 and 0x81 0x61 are two characters whose second bytes are
      // 'A' and 'a': no case folding between them.
      {"second byte that is a letter", "[\x81\x41]\r\nk=1\r\n", "\x81\x61", "k", ""},
      {"same two-byte name", "[\x81\x41]\r\nk=1\r\n", "\x81\x41", "k", "1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Holds(c.content);
    EXPECT_EQ(test::Utf8(ReadSetting(file_, c.section, c.key)), test::Utf8(c.expected));
  }
}

TEST_F(SettingsTest, MissingEntriesGiveTheDefault) {
  EXPECT_EQ(ReadSetting(file_, "s", "k"), "");  // no file at all
  EXPECT_EQ(ReadSetting(file_, "s", "k", "d"), "d");
  Holds("[s]\r\nk=\r\n");
  EXPECT_EQ(ReadSetting(file_, "s", "k", "d"), "");  // present but empty: not missing
  EXPECT_EQ(ReadSetting(file_, "s", "other", "d"), "d");
}

TEST_F(SettingsTest, LeadingControlBytesOfNamesAreDropped) {
  Holds("[s]\r\nk=v\r\n");
  EXPECT_EQ(ReadSetting(" \t" + file_, "\x01\x1f s", "\r\n k"), "v");
  // Nothing left after dropping them: empty, and the default is not used.
  EXPECT_EQ(ReadSetting(" \t", "s", "k", "d"), "");
  EXPECT_EQ(ReadSetting(file_, " \x01", "k", "d"), "");
  EXPECT_EQ(ReadSetting(file_, "s", "", "d"), "");
}

TEST_F(SettingsTest, NamesThatWouldBreakTheFileAreRefused) {
  Holds("[a]\r\nk=v\r\n[b]\r\nk=w\r\n");
  const std::string before = Content();
  struct Case {
    const char* name;
    std::string section, key, value;
  };
  const Case cases[] = {
      {"CR LF in the section", "a\r\n[b", "k", "x"},
      {"LF in the section", "a\nb", "k", "x"},
      {"']' in the section", "a]x", "k", "x"},
      {"CR in the key", "a", "k\rj", "x"},
      {"LF in the value", "a", "k", "x\n[b]\nk=y"},
      {"CR LF in the value", "a", "k", "x\r\nz=1"},
      {"empty section", "", "k", "x"},
      {"section of blanks only", "  ", "k", "x"},
      {"empty key", "a", "", "x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(WriteSetting(file_, c.section, c.key, c.value));
    EXPECT_EQ(Content(), before);
  }
  // Such names read as empty too, whatever the file holds.
  EXPECT_EQ(ReadSetting(file_, "a]x", "k", "d"), "");
  EXPECT_EQ(ReadSetting(file_, "a\r\nb", "k", "d"), "");
  EXPECT_EQ(ReadSetting(file_, "a", "k\n", "d"), "");
  // The second byte of a two-byte character may be 0x5D, ']': not a bracket.
  EXPECT_TRUE(WriteSetting(file_, "\x81\x5d", "k", "1"));
  EXPECT_EQ(ReadSetting(file_, "\x81\x5d", "k"), "1");
}

TEST_F(SettingsTest, WritesCreateTheFileButNotItsFolder) {
  EXPECT_TRUE(WriteSetting(file_, Gbk("12345"), Gbk("聊天"), Gbk("否")));
  EXPECT_EQ(Content(), Gbk("[12345]\r\n聊天=否\r\n"));

  const Text elsewhere = dir_ + "/missing/Orvanta.vt";
  EXPECT_FALSE(WriteSetting(elsewhere, "s", "k", "v"));
  EXPECT_FALSE(test::FileExists(elsewhere));
  EXPECT_FALSE(test::RemoveFolder(dir_ + "/missing"));  // it was never made
}

TEST_F(SettingsTest, WrittenEntriesReadBack) {
  const Text source_a = "10001", source_b = "20002";
  ASSERT_TRUE(WriteSetting(file_, Gbk("前置"), Gbk("格式"), Gbk("小O ")));
  ASSERT_TRUE(WriteSetting(file_, source_a, Gbk("聊天"), Gbk("否")));
  ASSERT_TRUE(WriteSetting(file_, source_b, Gbk("聊天"), Gbk("是")));
  ASSERT_TRUE(WriteSetting(file_, source_a, Gbk("聊天"), Gbk("是")));  // overwritten in place
  ASSERT_TRUE(WriteSetting(file_, source_b, Gbk("聊天"), ""));         // keeps the key
  EXPECT_EQ(ReadSetting(file_, Gbk("前置"), Gbk("格式")), Gbk("小O"));
  EXPECT_EQ(ReadSetting(file_, source_a, Gbk("聊天")), Gbk("是"));
  EXPECT_EQ(ReadSetting(file_, source_b, Gbk("聊天"), "d"), "");
  // One line per entry whichever platform wrote it.
  const std::string content = Content();
  EXPECT_EQ(content.find(Gbk("聊天=是")), content.rfind(Gbk("聊天=是")));
  EXPECT_EQ(content.find(Gbk("否")), std::string::npos);
}

TEST_F(SettingsTest, LongValuesAreCut) {
  const std::string fits(10239, 'a'), longer(12000, 'b');
  ASSERT_TRUE(WriteSetting(file_, "s", "fits", fits));
  ASSERT_TRUE(WriteSetting(file_, "s", "longer", longer));
  EXPECT_EQ(ReadSetting(file_, "s", "fits"), fits);
  EXPECT_EQ(ReadSetting(file_, "s", "longer"), longer.substr(0, 10239));
}

TEST(RunDirectoryTest, IsTheExecutablesDirectory) {
  const Text dir = RunDirectory();
  const std::string path = platform::ExecutablePath();
  ASSERT_FALSE(dir.empty());
  ASSERT_GT(path.size(), dir.size() + 1);
  EXPECT_EQ(path.substr(0, dir.size()), dir);
  EXPECT_TRUE(path[dir.size()] == '/' || path[dir.size()] == '\\');
  EXPECT_NE(dir.back(), '/');
  EXPECT_NE(dir.back(), '\\');
  EXPECT_TRUE(test::FileExists(path));
  EXPECT_EQ(SettingsFilePath(), dir + "/config/Orvanta.vt");
}

}  // namespace
}  // namespace orvanta
