#include "plugin/utility.h"

namespace orvanta {

Text RemoveSpacesAndLineBreaks(const Text& text) {
  return ReplaceAll(ReplaceAll(ReplaceAll(text, " ", ""), "\r\n", ""), "\\r", "");
}

Text SlashDate(const Time& time) {
  // The date text's 年, 月 and 日 become slashes and nothing.
  return ReplaceAll(ReplaceAll(ReplaceAll(DateText(time), "\xc4\xea", "/"), "\xd4\xc2", "/"),
                    "\xc8\xd5", "");
}

Text TodaySlashDate() { return SlashDate(CurrentTime()); }

}  // namespace orvanta
