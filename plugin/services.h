// Where the web services of the commands live. The settings file's section
// "服务" names each service's host; it is read at every request, like every
// other setting. Unconfigured services point at placeholder hosts under the
// reserved ".invalid" domain, so their requests fail fast and send nothing
// to anyone.
#pragma once

#include "common/text.h"

namespace orvanta {

enum class Service {
  kChat,           // key "聊天": the chat-answer service
  kMusicSiteA,     // key "点歌"
  kMusicSiteB,     // key "搜歌"
  kEncyclopedia,   // key "百科"
  kLinkShortener,  // key "短网址"
  kScore,          // key "昵称": the QQ-space score service
};

// The scheme and host of a service followed by path_and_query (which starts
// with '/'). A setting that starts with "http://" or "https://" (any letter
// case) stands for scheme and host, and whatever follows its host stays in
// front of the path; any other non-empty setting is the host, port allowed;
// an empty or missing one gives the built-in host. Trailing '/' of a setting
// are dropped so that the path keeps its single slash.
Text ServiceAddress(Service service, std::string_view path_and_query);

// The chat service's access key: the setting "密钥" of "服务" when not empty,
// else the fixed key.
Text ChatServiceKey();

}  // namespace orvanta
