// The reply branches behind the message handler, and the nickname look-up.
// Each returns the reply Text; empty means no reply.
#pragma once

#include "common/text.h"

namespace orvanta {

Text ChatServiceReply(const Text& message);  // every message no command claims
Text SongSearchSiteA(const Text& song_words);  // "点歌": the bare link
Text SongSearchSiteB(const Text& song_words);  // "搜歌": a sentence with the link
Text EncyclopediaReply(const Text& message);   // "百科", keyword included; never empty
Text ShortenAddress(const Text& link);         // the short link, empty when none
Text ShortAddressReply(const Text& link);      // "短网址"; never empty
Text LookUpNickname(const Text& number);       // nickname, or number unchanged

}  // namespace orvanta
