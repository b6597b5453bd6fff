// The message handler: the per-source chat switch with the settings file it
// leaves, and which branch each command word leads to. This program runs in
// a folder of its own, whose config folder the fixture makes and removes.
#include "plugin/handler.h"

#include <gtest/gtest.h>

#include "common/settings.h"
#include "plugin/route.h"
#include "spine/files.h"
#include "support/test_support.h"

namespace orvanta {
namespace {

using test::Gbk;

const Text kOffReply = Gbk("[cqname]已聊天停用，发送启用，启用聊天");
const Text kOnReply = Gbk("[cqname]已聊天启用，发送停用，停用聊天");
const Text kVersionReply =
    Gbk("Orvanta作者：Selwick[enter]简介：回归本源，回归智能~[enter]版本：V1.2.0（限量版）");

Text Handle(const Text& message, const Text& type, const Text& source) {
  Text m = message, t = type, s = source, e1, e2;
  return HandleMessage(m, t, s, e1, e2);
}

class HandlerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    config_ = RunDirectory() + "/config";
    test::MakeFolder(config_);
    test::RemoveFile(SettingsFilePath());
  }
  void TearDown() override {
    test::RemoveFile(SettingsFilePath());
    test::RemoveFolder(config_);
  }
  std::string Settings() { return test::ReadFileBytes(SettingsFilePath()).value_or(""); }

  Text config_;
};

TEST_F(HandlerTest, ChatSwitchFollowsItsTable) {
  struct Step {
    const char* type;
    const char* message;
    const char* source;
    Text reply;
  };
  const Step steps[] = {
      {"2", "停用", "111", kOffReply},     {"2", "版本", "111", ""},  // off: silence
      {"1", "版本", "111", kVersionReply},                            // other types never look
      {"2", "版本", "222", kVersionReply},                            // other sources are on
      {"2", "闭嘴", "111", kOffReply},                                // off again
      {"2", "说话", "111", kOnReply},      {"2", "版本", "111", kVersionReply},
      {"2", "闭嘴", "222", kOffReply},     {"2", "启用", "222", kOnReply},
      {"2", "停用", "333", kOffReply},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(std::string(s.type) + " " + s.message + " " + s.source);
    EXPECT_EQ(test::Utf8(Handle(Gbk(s.message), s.type, s.source)), test::Utf8(s.reply));
  }
  EXPECT_EQ(ReadSetting(SettingsFilePath(), "111", Gbk("聊天")), Gbk("是"));
  EXPECT_EQ(ReadSetting(SettingsFilePath(), "222", Gbk("聊天")), Gbk("是"));
  EXPECT_EQ(ReadSetting(SettingsFilePath(), "333", Gbk("聊天")), Gbk("否"));
  const std::string settings = Settings();
  EXPECT_EQ(settings.find("[111]"), settings.rfind("[111]"));  // one section per source
}

TEST_F(HandlerTest, OnlyExactSwitchWordsOfTypeTwoSwitch) {
  struct Case {
    const char* type;
    const char* message;
  };
  const Case cases[] = {
      {"2", "停用 "}, {"2", " 停用"}, {"2", "停用停用"}, {"1", "停用"},
      {"", "闭嘴"},   {"2 ", "停用"}, {"02", "停用"},    {"1", "启用"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("'") + c.type + "' '" + c.message + "'");
    Handle(Gbk(c.message), c.type, "444");
    EXPECT_EQ(Settings(), "");
  }
}

TEST_F(HandlerTest, EmptySourceIsNeverSilenced) {
  EXPECT_EQ(Handle(Gbk("停用"), "2", ""), kOffReply);
  EXPECT_EQ(Handle(Gbk("版本"), "2", ""), kVersionReply);
  EXPECT_EQ(Settings(), "");
}

TEST_F(HandlerTest, SwitchRepliesWithoutConfigFolder) {
  TearDown();
  EXPECT_EQ(Handle(Gbk("停用"), "2", "555"), kOffReply);
  EXPECT_EQ(Handle(Gbk("版本"), "2", "555"), kVersionReply);  // the switch was not stored
  EXPECT_FALSE(test::FileExists(SettingsFilePath()));
}

TEST_F(HandlerTest, SourceNamesCannotReachOtherSections) {
  EXPECT_EQ(Handle(Gbk("停用"), "2", "666"), kOffReply);
  const std::string before = Settings();
  // A source number that would write a section line of its own.
  EXPECT_EQ(Handle(Gbk("启用"), "2", "x]\r\n[666"), kOnReply);
  EXPECT_EQ(Settings(), before);
  EXPECT_EQ(Handle(Gbk("版本"), "2", "666"), "");
}

TEST_F(HandlerTest, BranchesThatDropTheirWordRewriteTheMessage) {
  Text message = Gbk("点歌晴天点歌"), type = "1", source = "1", e1, e2;
  HandleMessage(message, type, source, e1, e2);
  EXPECT_EQ(test::Utf8(message), "晴天");
  message = Gbk("百科 猫");
  HandleMessage(message, type, source, e1, e2);
  EXPECT_EQ(test::Utf8(message), "百科 猫");
}

TEST(RouteTest, CommandWordsInTheirOrder) {
  struct Case {
    const char* message;
    Branch branch;
    const char* handed;
  };
  const Case cases[] = {
      {"版本", Branch::kVersion, "版本"},
      {"版本号是多少", Branch::kVersion, "版本号是多少"},
      {"版本点歌", Branch::kVersion, "版本点歌"},
      {"点歌版本", Branch::kSongSiteA, "版本"},
      {"点歌点歌 晴天", Branch::kSongSiteA, " 晴天"},
      {"点歌晴天点歌", Branch::kSongSiteA, "晴天"},
      {"点歌", Branch::kSongSiteA, ""},
      {"搜歌 晴天", Branch::kSongSiteB, " 晴天"},
      {"搜歌点歌", Branch::kSongSiteB, "点歌"},
      {"短网址http://a.b/c短网址", Branch::kShortAddress, "http://a.b/c"},
      {"百科 猫", Branch::kEncyclopedia, "百科 猫"},
      {"百科百科", Branch::kEncyclopedia, "百科百科"},
      {" 版本", Branch::kChatService, " 版本"},
      {"我想点歌", Branch::kChatService, "我想点歌"},
      {"", Branch::kChatService, ""},
      {"\"你好", Branch::kChatService, "\"你好"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const Route route = RouteMessage(Gbk(c.message));
    EXPECT_EQ(route.branch, c.branch);
    EXPECT_EQ(test::Utf8(route.message), c.handed);
  }
}

TEST(RouteTest, WordsNeverMatchAcrossCharacters) {
  // 点歌 is B5 E3 B8 E8; here those bytes straddle three other characters,
  // B0 B5, E3 B8 and E8 A1, and must stay.
  const Text straddling = "\xb0\xb5\xe3\xb8\xe8\xa1";
  const Route route = RouteMessage(Gbk("点歌") + straddling);
  EXPECT_EQ(route.branch, Branch::kSongSiteA);
  EXPECT_EQ(route.message, straddling);
  EXPECT_EQ(RouteMessage("\xb0" + Gbk("版本")).branch, Branch::kChatService);
}

}  // namespace
}  // namespace orvanta
