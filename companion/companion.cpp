#include "companion/companion.h"

#include <utility>

#include "common/bytes.h"
#include "common/page.h"
#include "common/settings.h"

namespace orvanta {
namespace {

// GBK texts of the program (UTF-8 spelling in the comment).
constexpr std::string_view kTrayTip = "Orvanta\xd4\xcb\xd0\xd0\xd6\xd0";  // Orvanta运行中
constexpr std::string_view kPrefixSection = "\xc7\xb0\xd6\xc3";           // 前置
constexpr std::string_view kPrefixKey = "\xb8\xf1\xca\xbd";               // 格式
// 已保存配置！
constexpr std::string_view kSavedText = "\xd2\xd1\xb1\xa3\xb4\xe6\xc5\xe4\xd6\xc3\xa3\xa1";
// Selwick端提示：
constexpr std::string_view kSavedTitle = "Selwick\xb6\xcb\xcc\xe1\xca\xbe\xa3\xba";
// 您要关闭Orvanta吗？\r\nTunmoor建议您隐藏Selwick端。\r\n点否隐藏~~点是关闭~~
constexpr std::string_view kCloseText =
    "\xc4\xfa\xd2\xaa\xb9\xd8\xb1\xd5Orvanta\xc2\xf0\xa3\xbf\r\n"
    "Tunmoor\xbd\xa8\xd2\xe9\xc4\xfa\xd2\xfe\xb2\xd8Selwick\xb6\xcb\xa1\xa3\r\n"
    "\xb5\xe3\xb7\xf1\xd2\xfe\xb2\xd8~~\xb5\xe3\xca\xc7\xb9\xd8\xb1\xd5~~";
constexpr std::string_view kCloseTitle = "Tunmoor\xcc\xe1\xca\xbe\xa3\xba";  // Tunmoor提示：

constexpr std::string_view kServiceSection = "\xb7\xfe\xce\xf1";  // 服务

struct MakerPageEntry {
  std::string_view key;
  std::string_view placeholder;  // under ".invalid", which never resolves
};

constexpr MakerPageEntry kMakerPages[] = {
    {"\xd6\xb8\xd5\xeb\xd2\xb3", "http://pointer.orvanta.invalid/"},      // 指针页
    {"\xd0\xc2\xce\xc5\xd2\xb3", "http://news.orvanta.invalid/"},         // 新闻页
    {"\xc8\xba\xd2\xb3", "http://group.orvanta.invalid/"},                // 群页
    {"\xc9\xcf\xb4\xab\xd2\xb3", "http://music.orvanta.invalid/upload"},  // 上传页
};

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (AsciiToLower(static_cast<unsigned char>(text[i])) != static_cast<unsigned char>(prefix[i]))
      return false;
  }
  return true;
}

}  // namespace

Text ReadPageText(std::string_view address) { return BytesToText(ReadPage(address)); }

bool IsWebAddress(std::string_view text) {
  std::string_view rest;
  if (StartsWithIgnoringCase(text, "http://")) {
    rest = text.substr(7);
  } else if (StartsWithIgnoringCase(text, "https://")) {
    rest = text.substr(8);
  } else {
    return false;
  }
  // A host must follow: "http:///c:/x" or "http://\\share" are not web pages.
  if (rest.empty()) return false;
  unsigned char first = static_cast<unsigned char>(rest[0]);
  return first > ' ' && first != '/' && first != '\\';
}

Text MakerPageAddress(std::string_view settings_file, MakerPage page) {
  const MakerPageEntry& entry = kMakerPages[static_cast<int>(page)];
  Text configured = ReadSetting(settings_file, kServiceSection, entry.key);
  return configured.empty() ? Text(entry.placeholder) : configured;
}

Companion::Companion(CompanionView& view, Text settings_file, PageTextReader read_page,
                     SettingWriter write_setting)
    : view_(view),
      settings_file_(std::move(settings_file)),
      read_page_(std::move(read_page)),
      write_setting_(write_setting ? std::move(write_setting) : SettingWriter(WriteSetting)) {}

void Companion::OnWindowCreated() {
  // The addresses that the window's form gives panes 2 and 3 as they are made.
  view_.Navigate(Pane::kNews, MakerPageAddress(settings_file_, MakerPage::kNews));
  view_.Navigate(Pane::kGroup, MakerPageAddress(settings_file_, MakerPage::kGroup));

  view_.AddTrayIcon(kTrayTip);
  view_.SetPrefix(ReadSetting(settings_file_, kPrefixSection, kPrefixKey));
  // The pointer page is read twice: the first text only becomes the latest,
  // the second is the one pane 1 shows.
  latest_pointer_ = read_page_(MakerPageAddress(settings_file_, MakerPage::kPointer));
  shown_pointer_ = read_page_(MakerPageAddress(settings_file_, MakerPage::kPointer));
  ShowPointer();
}

void Companion::OnSave() {
  Text prefix = view_.Prefix();  // as typed, spaces included
  write_setting_(settings_file_, kPrefixSection, kPrefixKey, prefix);
  // Reported as saved whatever the write gave: the user learns nothing more.
  view_.ShowMessage(kSavedText, kSavedTitle, MessageKind::kNotice);
}

void Companion::OnUpload() {
  view_.OpenInBrowser(MakerPageAddress(settings_file_, MakerPage::kUpload));
}

void Companion::OnTimer() {
  latest_pointer_ = read_page_(MakerPageAddress(settings_file_, MakerPage::kPointer));
  view_.Navigate(Pane::kNews, MakerPageAddress(settings_file_, MakerPage::kNews));
  if (CompareText(shown_pointer_, latest_pointer_) != 0) {
    shown_pointer_ = latest_pointer_;
    ShowPointer();
  }
}

void Companion::OnTrayEvent(int type) {
  if (type != 1) return;
  view_.Show();
  view_.RestoreAndCentre();
}

void Companion::OnTaskbarCreated() { view_.AddTrayIcon(kTrayTip); }

void Companion::OnWindowStateChanged(bool minimized) {
  if (minimized) view_.Hide();
}

void Companion::OnCloseRequested() {
  if (view_.ShowMessage(kCloseText, kCloseTitle, MessageKind::kQuestion) == Answer::kYes) {
    view_.Quit();
    return;
  }
  view_.Minimize();
  view_.Hide();
}

void Companion::OnEnd() {
  view_.RemoveTrayIcon();
  latest_pointer_.clear();
  shown_pointer_.clear();
}

void Companion::ShowPointer() {
  // Whatever the pointer page says is only followed when it is a web address;
  // anything else leaves the pane blank, as an unreachable page does.
  view_.Navigate(Pane::kPointer, IsWebAddress(shown_pointer_) ? std::string_view(shown_pointer_)
                                                              : std::string_view());
}

}  // namespace orvanta
