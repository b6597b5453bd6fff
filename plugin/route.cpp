#include "plugin/route.h"

namespace orvanta {
namespace {

struct CommandWord {
  const char* word;
  Branch branch;
  bool removed;  // every occurrence taken out of the message
};

constexpr CommandWord kCommandWords[] = {
    {"\xb0\xe6\xb1\xbe", Branch::kVersion, false},              // 版本
    {"\xb5\xe3\xb8\xe8", Branch::kSongSiteA, true},             // 点歌
    {"\xcb\xd1\xb8\xe8", Branch::kSongSiteB, true},             // 搜歌
    {"\xb6\xcc\xcd\xf8\xd6\xb7", Branch::kShortAddress, true},  // 短网址
    {"\xb0\xd9\xbf\xc6", Branch::kEncyclopedia, false},         // 百科
};

}  // namespace

Route RouteMessage(const Text& message) {
  for (const CommandWord& command : kCommandWords) {
    if (FindText(message, command.word, 1) == 1)
      return {command.branch, command.removed ? ReplaceAll(message, command.word, "") : message};
  }
  return {Branch::kChatService, message};
}

}  // namespace orvanta
