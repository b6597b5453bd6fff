// The nickname export: a QQ number's nickname from the QQ-space score service.
#include "common/bytes.h"
#include "common/page.h"
#include "plugin/commands.h"
#include "plugin/extract.h"
#include "plugin/services.h"

namespace orvanta {

Text LookUpNickname(const Text& number) {
  const Text address = ServiceAddress(
      Service::kScore,
      Concat("/fcg-bin/cgi_get_score.fcg?mask=7&uins=", number));
  // The page is GBK already; no conversion.
  Text candidate = TextBetween(BytesToText(ReadPage(address)), ",\"", "\",");
  // A cut of 25 bytes or fewer counts as no nickname.
  return TextLength(candidate) >= 26 ? candidate : number;
}

}  // namespace orvanta
