// Which reply branch a message goes to, decided by the command word it
// begins with (case counts; the words are tried in a fixed order).
#pragma once

#include "common/text.h"

namespace orvanta {

enum class Branch { kVersion, kSongSiteA, kSongSiteB, kShortAddress, kEncyclopedia, kChatService };

struct Route {
  Branch branch;
  Text message;  // what the branch is handed
};

// "版本", "点歌", "搜歌", "短网址", "百科", in this order, else the chat
// service. The song and short-address branches get the message with every
// occurrence of their word removed; the others get it unchanged.
Route RouteMessage(const Text& message);

}  // namespace orvanta
