// "点歌" and "搜歌": the first result link of a music site's search page.
#include "plugin/codepage.h"
#include "plugin/commands.h"
#include "plugin/extract.h"
#include "plugin/services.h"
#include "plugin/urlcode.h"
#include "plugin/web_request.h"

namespace orvanta {
namespace {

// The search page of a site, decoded to GBK.
Text SearchPage(Service site, std::string_view path_and_query, std::string_view song_words) {
  return FetchText(
      ServiceAddress(site, Concat(path_and_query, EncodeSearchKeyword(song_words))), 0);
}

}  // namespace

Text SongSearchSiteA(const Text& song_words) {
  const Text page = SearchPage(Service::kMusicSiteA, "/ws/NSearch?type=all&key=", song_words);
  return ExtractBetween(page, " <p class=\"m_name\"><a href=\"", "\"");
}

Text SongSearchSiteB(const Text& song_words) {
  const Text page = SearchPage(Service::kMusicSiteB, "/s?frsug=0&q=", song_words);
  Text link = ExtractBetween(
      page,
      "checkbox\">&nbsp;</span><span class=\"num\">01</span></span><span class=\"title\"><a "
      "href=\"",
      "\"");
  if (link.empty()) {
    // Result lists whose first entry has no numbered check box before its title.
    link = ExtractBetween(page, "</span></a><span class=\"title\"><a href=\"", "\"");
  }
  static const Text kBefore = Utf8ToGbk("歌曲");
  static const Text kAfter = Utf8ToGbk("的链接如下：[enter]");
  return Concat(kBefore, song_words, kAfter, link);
}

}  // namespace orvanta
