#include "plugin/descriptor.h"

#include "common/settings.h"
#include "plugin/companion_start.h"

namespace orvanta {

Text BuildDescriptor() {
  // Orvanta可以：可查天气，自动替换机器人名，智能回答问题。
  constexpr char kAbout[] =
      "Orvanta\xbf\xc9\xd2\xd4\xa3\xba\xbf\xc9\xb2\xe9\xcc\xec\xc6\xf8\xa3\xac\xd7\xd4\xb6\xaf"
      "\xcc\xe6\xbb\xbb\xbb\xfa\xc6\xf7\xc8\xcb\xc3\xfb\xa3\xac\xd6\xc7\xc4\xdc\xbb\xd8\xb4\xf0"
      "\xce\xca\xcc\xe2\xa1\xa3";
  constexpr char kPrefixSection[] = "\xc7\xb0\xd6\xc3";            // 前置
  constexpr char kPrefixKey[] = "\xb8\xf1\xca\xbd";                // 格式
  constexpr char kReadAll[] = "\xb6\xc1\xc8\xa1\xcb\xf9\xd3\xd0";  // 读取所有
  constexpr char kNo[] = "\xbc\xd9";                               // 假

  const Text prefix = ReadSetting(SettingsFilePath(), kPrefixSection, kPrefixKey);
  Text descriptor = Concat("Orvanta\r\n", "V1.2.0\r\n", "Selwick\r\n", kAbout, "\r\n", prefix,
                           "\r\n", kReadAll, "\r\n", "\r\n", "Velquor\r\n", "1\r\n", kNo, "\r\n");
  EnsureCompanionRunning();
  return descriptor;
}

}  // namespace orvanta
