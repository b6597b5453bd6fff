// "百科": the summary of the first article an online encyclopedia finds, in
// two requests (search page, then the article).
#include "common/bytes.h"
#include "plugin/codepage.h"
#include "plugin/commands.h"
#include "plugin/extract.h"
#include "plugin/services.h"
#include "plugin/urlcode.h"
#include "plugin/web_request.h"

namespace orvanta {
namespace {

Text FetchPage(std::string_view address) {
  return Utf8ToGbk(BytesToText(WebRequestEx(address)));
}

}  // namespace

Text EncyclopediaReply(const Text& message) {
  // The whole message, command word included, is the search word.
  const Text search = ServiceAddress(
      Service::kEncyclopedia,
      Concat("/search?word=", UrlEncode(message, false, true), "&&pic=1&sug=1"));
  const Text link =
      ExtractBetween(FetchPage(search), "<h2>\r\n<a href=\"", "\" target=\"_blank\"><em>");
  // Made also for an empty link: an address without a host, which fails at once.
  const Text summary = ExtractBetween(FetchPage(link), "name=\"Description\" content=\"",
                                      "\" /><meta name=\"Keywords\" content=\"");
  if (summary.empty()) {
    static const Text kNotFound =
        Utf8ToGbk("Pellor百科提示：百科未收入词条，或词条太长，请（更换）简化词条！");
    return kNotFound;
  }
  static const Text kHead = Utf8ToGbk("Pellor百科：[enter]");
  static const Text kLinkLabel = Utf8ToGbk("[enter]详情链接：");
  return Concat(kHead, summary, kLinkLabel, link);
}

}  // namespace orvanta
