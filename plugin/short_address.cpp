// "短网址": a long link turned into a short one by a link-shortening service.
#include "common/bytes.h"
#include "common/page.h"
#include "plugin/codepage.h"
#include "plugin/commands.h"
#include "plugin/services.h"
#include "plugin/urlcode.h"

namespace orvanta {

Text ShortenAddress(const Text& link) {
  // The link is expected without its scheme: the address carries it encoded.
  const Text address =
      ServiceAddress(Service::kLinkShortener,
                     Concat("/v1/data/link_conv/rd_dispatcher.php?orig_link=http%3A%2F%2F",
                            link));
  return UrlDecode(BytesToText(ReadPage(address)));
}

Text ShortAddressReply(const Text& link) {
  const Text short_link = ShortenAddress(link);
  if (short_link.empty()) {
    static const Text kRefusal = Utf8ToGbk("不要逗我玩~！这个无法缩短~·");
    return kRefusal;
  }
  static const Text kHead = Utf8ToGbk("您的短网址：");
  return Concat(kHead, short_link);
}

}  // namespace orvanta
