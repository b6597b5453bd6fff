// The built plug-in file, loaded and called through its exports as a
// chat-robot host does. This program runs in a folder of its own (with a
// space and Chinese characters in its name); it is the host whose run
// directory holds the settings file and, when a test puts it there, a
// stand-in companion program.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "common/settings.h"
#include "platform/process.h"
#include "plugin/commands.h"
#include "plugin/extract.h"
#include "plugin/utility.h"
#include "spine/files.h"
#include "spine/library.h"
#include "support/test_support.h"

namespace orvanta {
namespace {

using test::Gbk;

using Export0 = const char*(ORVANTA_TEST_CALL*)();
using Export1 = const char*(ORVANTA_TEST_CALL*)(const char*);
using Export2 = const char*(ORVANTA_TEST_CALL*)(const char*, const char*);
using Export3 = const char*(ORVANTA_TEST_CALL*)(const char*, const char*, const char*);
using Export5 = const char*(ORVANTA_TEST_CALL*)(const char*, const char*, const char*, const char*,
                                                const char*);

const Text kCompanion = Gbk("Orvanta（限量版）.exe");

Text Descriptor(const Text& prefix) {
  return Concat("Orvanta\r\nV1.2.0\r\nSelwick\r\n",
                Gbk("Orvanta可以：可查天气，自动替换机器人名，智能回答问题。"), "\r\n", prefix,
                "\r\n", Gbk("读取所有"), "\r\n\r\nVelquor\r\n1\r\n", Gbk("假"), "\r\n");
}

int CompanionProcesses() {
  int count = 0;
  platform::AnyProcessName([&count](std::string_view name) {
    count += name == kCompanion;
    return false;
  });
  return count;
}

template <typename Condition>
bool Within(std::chrono::milliseconds limit, Condition condition) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

class ExportsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { library_ = test::OpenLibrary(ORVANTA_PLUGIN_FILE); }
  static void TearDownTestSuite() {
    if (library_) test::CloseLibrary(library_);
  }

  void SetUp() override {
    ASSERT_NE(library_, nullptr) << "cannot load " << ORVANTA_PLUGIN_FILE;
    info_ = Find<Export0>("info");
    nickname_ = Find<Export1>("获取昵称");
    string_field_ = Find<Export2>("取文本特定参数");
    text_between_ = Find<Export3>("取文本之间");
    number_field_ = Find<Export2>("取整形特定参数");
    no_spaces_ = Find<Export1>("去空格换行");
    date_ = Find<Export0>("时间格式化");
    velquor_ = Find<Export5>("Velquor");
    config_ = RunDirectory() + "/config";
    RemoveSettings();
  }
  void TearDown() override { RemoveSettings(); }

  template <typename F>
  F Find(const char* utf8_name) {
    const test::AnyFunction f = test::LibrarySymbol(library_, Gbk(utf8_name));
    EXPECT_NE(f, nullptr) << utf8_name;
    return reinterpret_cast<F>(f);
  }
  void RemoveSettings() {
    test::RemoveFile(SettingsFilePath());
    test::RemoveFolder(config_);
  }
  void Settings(const std::string& content) {
    test::MakeFolder(config_);
    ASSERT_TRUE(test::WriteFileBytes(SettingsFilePath(), content));
  }
  std::string Velquor(const Text& message, const Text& type, const Text& source) {
    return velquor_(message.c_str(), type.c_str(), source.c_str(), "", "");
  }

  static void* library_;
  Export0 info_, date_;
  Export1 nickname_, no_spaces_;
  Export2 string_field_, number_field_;
  Export3 text_between_;
  Export5 velquor_;
  Text config_;
};

void* ExportsTest::library_ = nullptr;

TEST_F(ExportsTest, DescriptorWithoutSettings) {
  EXPECT_EQ(test::Utf8(info_()), test::Utf8(Descriptor("")));  // no config folder
  test::MakeFolder(config_);
  EXPECT_EQ(info_(), Descriptor(""));  // no file
  Settings("[other]\r\nk=v\r\n");
  EXPECT_EQ(info_(), Descriptor(""));  // no section
}

TEST_F(ExportsTest, DescriptorShowsThePrefixAsTheFileHoldsItNow) {
  struct Case {
    const char* file;
    const char* prefix;
  };
  const Case cases[] = {
      {"[前置]\r\n格式=小O\r\n", "小O"},
      {"[前置]\r\n格式=  小O \r\n", "小O"},
      {"[前置]\r\n格式=\" 小O \"\r\n", " 小O "},
      {"[前置]\r\n格式=\r\n", ""},
      {"[前置]\r\n格式=[cqname]说\r\n", "[cqname]说"},
  };
  for (const Case& c : cases) {  // each info call reads the file afresh
    SCOPED_TRACE(c.file);
    Settings(Gbk(c.file));
    EXPECT_EQ(test::Utf8(info_()), test::Utf8(Descriptor(Gbk(c.prefix))));
  }
}

TEST_F(ExportsTest, ResultLivesUntilTheSameExportRunsAgain) {
  const char* between = text_between_("<a>x</a>", "<a>", "</a>");
  const std::string first = between;
  info_();
  nickname_("10000");
  no_spaces_("a b");
  string_field_("{\"a\":\"b\"}", "a");
  number_field_("{\"n\":1,}", "n");
  date_();
  Velquor(Gbk("版本"), "1", "1");
  EXPECT_EQ(between, first);  // still the same live text
  const std::string second = text_between_("<a>y</a>", "<a>", "</a>");
  EXPECT_EQ(second, TextBetween("<a>y</a>", "<a>", "</a>"));
}

TEST_F(ExportsTest, OwnPreviousResultIsASafeArgument) {
  const char* once = no_spaces_("a b c");
  EXPECT_STREQ(no_spaces_(once), "abc");
  const char* between = text_between_("[x]", "[", "]");
  const std::string expected = TextBetween(between, between, between);
  EXPECT_EQ(text_between_(between, between, between), expected);
  const char* reply = velquor_(Gbk("版本").c_str(), "1", "1", "", "");
  EXPECT_NE(velquor_(reply, reply, reply, reply, reply), nullptr);
}

TEST_F(ExportsTest, NullArgumentsReadAsEmptyTexts) {
  EXPECT_STREQ(nickname_(nullptr), nickname_(""));
  const std::string none = string_field_(nullptr, nullptr);
  EXPECT_EQ(none, StringField("", ""));
  EXPECT_EQ(std::string(text_between_(nullptr, nullptr, nullptr)), TextBetween("", "", ""));
  EXPECT_EQ(std::string(number_field_(nullptr, "n")), NumberField("", "n"));
  EXPECT_STREQ(no_spaces_(nullptr), "");
  EXPECT_NE(velquor_(nullptr, nullptr, nullptr, nullptr, nullptr), nullptr);
  const Text version = Gbk("版本");
  EXPECT_EQ(test::Utf8(velquor_(version.c_str(), nullptr, nullptr, nullptr, nullptr)),
            "Orvanta作者：Selwick[enter]简介：回归本源，回归智能~[enter]版本：V1.2.0（限量版）");
}

TEST_F(ExportsTest, EachExportRunsItsRoutineWithItsArgumentsInOrder) {
  const Text json = "{\"name\":\"Orvanta\",\"count\":42,\"x\":\"y\"}";
  EXPECT_FALSE(StringField(json, "name").empty());
  EXPECT_EQ(string_field_(json.c_str(), "name"), StringField(json, "name"));
  EXPECT_FALSE(NumberField(json, "count").empty());
  EXPECT_EQ(number_field_(json.c_str(), "count"), NumberField(json, "count"));
  const Text page = "left<b>middle</b>right";
  EXPECT_FALSE(TextBetween(page, "<b>", "</b>").empty());
  EXPECT_EQ(text_between_(page.c_str(), "<b>", "</b>"), TextBetween(page, "<b>", "</b>"));
  const Text spaced = Gbk("a b\r\nc\\r甲　乙");
  EXPECT_EQ(no_spaces_(spaced.c_str()), RemoveSpacesAndLineBreaks(spaced));
  EXPECT_EQ(nickname_("10000"), LookUpNickname("10000"));
  const Text before = TodaySlashDate();
  const std::string date = date_();
  EXPECT_TRUE(date == before || date == TodaySlashDate()) << date;
}

TEST_F(ExportsTest, ChatSwitchLeavesTheSettingsFileAsExpected) {
  test::MakeFolder(config_);
  EXPECT_EQ(test::Utf8(Velquor(Gbk("停用"), "2", "12345")),
            "[cqname]已聊天停用，发送启用，启用聊天");
  EXPECT_EQ(test::ReadFileBytes(SettingsFilePath()), Gbk("[12345]\r\n聊天=否\r\n"));
  EXPECT_EQ(Velquor(Gbk("版本"), "2", "12345"), "");
  EXPECT_EQ(test::Utf8(Velquor(Gbk("说话"), "2", "12345")),
            "[cqname]已聊天启用，发送停用，停用聊天");
  EXPECT_EQ(test::ReadFileBytes(SettingsFilePath()), Gbk("[12345]\r\n聊天=是\r\n"));
  EXPECT_NE(Velquor(Gbk("版本"), "2", "12345"), "");
}

// The stand-in companion program is built into the folder "standin" beside
// this program; a test moves it into the run directory when it wants one.
class CompanionTest : public ExportsTest {
 protected:
  void SetUp() override {
    ExportsTest::SetUp();
    dir_ = RunDirectory();
    Clean();
    // The process check sees the whole machine: wait out a companion that
    // something else runs, or the counts below would mean nothing.
    if (!Within(std::chrono::seconds(10), [] { return CompanionProcesses() == 0; }))
      GTEST_SKIP() << "another companion process keeps running on this machine";
    running_ = true;
  }
  void TearDown() override {
    if (running_) StopCompanion();
    Clean();
    ExportsTest::TearDown();
  }
  void Install() { ASSERT_TRUE(test::RenameFile(Stored(), Installed())); }
  void StopCompanion() {
    test::WriteFileBytes(dir_ + "/standin.stop", "");
    EXPECT_TRUE(Within(std::chrono::seconds(20), [] { return CompanionProcesses() == 0; }));
    test::RemoveFile(dir_ + "/standin.stop");
  }
  void Clean() {
    if (test::FileExists(Installed())) test::RenameFile(Installed(), Stored());
    test::RemoveFile(dir_ + "/standin.log");
    test::RemoveFile(dir_ + "/standin.stop");
  }
  // The lines the stand-in wrote, once there are at least lines of them.
  std::string Log(int lines) {
    std::string log;
    Within(std::chrono::seconds(20), [&] {
      log = test::ReadFileBytes(dir_ + "/standin.log").value_or("");
      return std::count(log.begin(), log.end(), '\n') >= lines;
    });
    return log;
  }
  Text Stored() const { return dir_ + "/standin/" + kCompanion; }
  Text Installed() const { return dir_ + "/" + kCompanion; }

  Text dir_;
  bool running_ = false;
};

TEST_F(CompanionTest, MissingCompanionChangesNoReply) {
  EXPECT_EQ(info_(), Descriptor(""));
  EXPECT_NE(Velquor(Gbk("版本"), "1", "1"), "");
  EXPECT_EQ(CompanionProcesses(), 0);
}

TEST_F(CompanionTest, StartedWhenMissingAndNotStartedTwice) {
  Install();
  EXPECT_EQ(info_(), Descriptor(""));
  EXPECT_EQ(CompanionProcesses(), 1);
  // Two checks per message: the second must find the one just started.
  Velquor(Gbk("版本"), "1", "1");
  EXPECT_EQ(CompanionProcesses(), 1);
  Velquor(Gbk("你好"), "2", "1");
  info_();
  EXPECT_EQ(CompanionProcesses(), 1);
  EXPECT_EQ(Log(1), "started with 0 argument(s)\n");
  // Started by its full path, never by a shorter one that the space in the
  // run directory's name would cut out.
  const Text parent = dir_.substr(0, dir_.find_last_of("/\\"));
  EXPECT_FALSE(test::FileExists(parent + "/standin.log"));
}

TEST_F(CompanionTest, StartedAgainAfterTheUserClosedIt) {
  Install();
  Velquor(Gbk("版本"), "1", "1");
  EXPECT_EQ(Log(1), "started with 0 argument(s)\n");
  StopCompanion();
  Velquor(Gbk("版本"), "1", "1");
  EXPECT_EQ(CompanionProcesses(), 1);
  EXPECT_EQ(Log(2), "started with 0 argument(s)\nstarted with 0 argument(s)\n");
}

}  // namespace
}  // namespace orvanta
