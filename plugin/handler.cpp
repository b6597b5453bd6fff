#include "plugin/handler.h"

#include <optional>

#include "common/settings.h"
#include "plugin/commands.h"
#include "plugin/companion_start.h"
#include "plugin/route.h"

namespace orvanta {
namespace {

constexpr char kChatKey[] = "\xc1\xc4\xcc\xec";  // 聊天
constexpr char kChatOn[] = "\xca\xc7";           // 是
constexpr char kChatOff[] = "\xb7\xf1";          // 否

// [cqname]已聊天停用，发送启用，启用聊天
constexpr char kOffReply[] =
    "[cqname]\xd2\xd1\xc1\xc4\xcc\xec\xcd\xa3\xd3\xc3\xa3\xac\xb7\xa2\xcb\xcd\xc6\xf4\xd3\xc3"
    "\xa3\xac\xc6\xf4\xd3\xc3\xc1\xc4\xcc\xec";
// [cqname]已聊天启用，发送停用，停用聊天
constexpr char kOnReply[] =
    "[cqname]\xd2\xd1\xc1\xc4\xcc\xec\xc6\xf4\xd3\xc3\xa3\xac\xb7\xa2\xcb\xcd\xcd\xa3\xd3\xc3"
    "\xa3\xac\xcd\xa3\xd3\xc3\xc1\xc4\xcc\xec";
// Orvanta作者：Selwick[enter]简介：回归本源，回归智能~[enter]版本：V1.2.0（限量版）
constexpr char kVersionReply[] =
    "Orvanta\xd7\xf7\xd5\xdf\xa3\xbaSelwick[enter]\xbc\xf2\xbd\xe9\xa3\xba\xbb\xd8\xb9\xe9\xb1\xbe"
    "\xd4\xb4\xa3\xac\xbb\xd8\xb9\xe9\xd6\xc7\xc4\xdc~[enter]\xb0\xe6\xb1\xbe\xa3\xbaV1.2.0\xa3\xa8"
    "\xcf\xde\xc1\xbf\xb0\xe6\xa3\xa9";

bool IsOneOf(const Text& message, const char* a, const char* b) {
  return message == a || message == b;
}

// The switch commands of a chat (type "2"), and silence for a chat that is
// off. No value means the message goes on to the command words.
std::optional<Text> ChatSwitch(const Text& message, const Text& source) {
  const Text file = SettingsFilePath();
  if (IsOneOf(message, "\xcd\xa3\xd3\xc3", "\xb1\xd5\xd7\xec")) {  // 停用, 闭嘴
    WriteSetting(file, source, kChatKey, kChatOff);
    return Text(kOffReply);
  }
  if (IsOneOf(message, "\xc6\xf4\xd3\xc3", "\xcb\xb5\xbb\xb0")) {  // 启用, 说话
    WriteSetting(file, source, kChatKey, kChatOn);
    return Text(kOnReply);
  }
  if (ReadSetting(file, source, kChatKey) == kChatOff) return Text();
  return std::nullopt;
}

}  // namespace

Text HandleMessage(Text& message, Text& message_type, Text& source, Text& /*extra1*/,
                   Text& /*extra2*/) {
  // Twice: a companion that failed to start, or is not yet listed, gets a
  // second chance.
  EnsureCompanionRunning();
  EnsureCompanionRunning();

  if (message_type == "2") {
    if (std::optional<Text> reply = ChatSwitch(message, source)) return std::move(*reply);
  }

  Route route = RouteMessage(message);
  message = std::move(route.message);  // without the command word, for the branches that drop it
  switch (route.branch) {
    case Branch::kVersion:
      return kVersionReply;
    case Branch::kSongSiteA:
      return SongSearchSiteA(message);
    case Branch::kSongSiteB:
      return SongSearchSiteB(message);
    case Branch::kShortAddress:
      return ShortAddressReply(message);
    case Branch::kEncyclopedia:
      return EncyclopediaReply(message);
    case Branch::kChatService:
      break;
  }
  return ChatServiceReply(message);
}

}  // namespace orvanta
