#include "plugin/services.h"

#include <array>

#include "common/settings.h"
#include "plugin/codepage.h"

namespace orvanta {
namespace {

struct ServiceEntry {
  const char* key_utf8;
  const char* builtin_host;
};

// Indexed by Service.
constexpr std::array<ServiceEntry, 6> kServices = {{
    {"聊天", "chat.orvanta.invalid"},
    {"点歌", "music-a.orvanta.invalid"},
    {"搜歌", "music-b.orvanta.invalid"},
    {"百科", "encyclopedia.orvanta.invalid"},
    {"短网址", "shortener.orvanta.invalid"},
    {"昵称", "score.orvanta.invalid"},
}};

constexpr std::string_view kFixedChatKey = "0a9b8c7d6e5f40312a3b4c5d6e7f8091";

// Section and key names as GBK, converted once.
struct SettingNames {
  Text section = Utf8ToGbk("服务");
  Text chat_key = Utf8ToGbk("密钥");
  std::array<Text, kServices.size()> keys;
  SettingNames() {
    for (size_t i = 0; i < kServices.size(); ++i) keys[i] = Utf8ToGbk(kServices[i].key_utf8);
  }
};

const SettingNames& Names() {
  static const SettingNames names;
  return names;
}

Text ReadServiceSetting(std::string_view key) {
  return TrimBoth(ReadSetting(SettingsFilePath(), Names().section, key));
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (AsciiToLower(text[i]) != AsciiToLower(prefix[i])) return false;
  }
  return true;
}

}  // namespace

Text ServiceAddress(Service service, std::string_view path_and_query) {
  const auto index = static_cast<size_t>(service);
  Text base = ReadServiceSetting(Names().keys[index]);
  if (base.empty()) {
    base = kServices[index].builtin_host;
  }
  if (!StartsWithIgnoringCase(base, "http://") && !StartsWithIgnoringCase(base, "https://")) {
    base.insert(0, "http://");
  }
  // A slash can never be a trail byte of a GBK character, so stripping it
  // from the end cannot cut a character in half.
  const size_t scheme_end = base.find("://") + 3;
  while (base.size() > scheme_end && base.back() == '/') base.pop_back();
  base.append(path_and_query);
  return base;
}

Text ChatServiceKey() {
  Text key = ReadServiceSetting(Names().chat_key);
  return key.empty() ? Text(kFixedChatKey) : key;
}

}  // namespace orvanta
