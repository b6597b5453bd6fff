#include "plugin/address.h"

#include "plugin/extract.h"

namespace orvanta {

Text HeaderValue(std::string_view line) {
  int p = FindText(line, ":");
  if (p == -1) return {};
  return TrimBoth(TextRight(line, TextLength(line) - p));
}

Text AddressHost(std::string_view address, bool domain_only, bool keep_port) {
  Text s = ToLower(address);
  if (s.empty() || s.back() != '/') s += '/';
  std::string_view marker = "https://";
  if (TextLeft(s, 8) != marker) {
    marker = "http://";
    if (FindText(s, marker) == -1) s.insert(0, marker);
  }
  s = ExtractBetween(s, marker, "/");
  if (domain_only) {
    TextArray labels = SplitText(s, ".");
    if (labels.size() > 1) s = Concat(labels[labels.size() - 2], ".", labels.back());
  }
  int colon = FindText(s, ":");
  if (keep_port || colon == -1) return s;
  return TextLeft(s, colon - 1);
}

int AddressPort(std::string_view address) {
  Text host = AddressHost(address, false, true);
  int p = FindTextFromEnd(host, ":");
  if (p == -1) return ToLower(TextLeft(address, 5)) == "https" ? 443 : 80;
  return ToInteger(TextRight(host, TextLength(host) - p));
}

Text AddressPath(std::string_view address) {
  Text host = AddressHost(address);
  int a = FindText(address, host, 1, true);
  int b = FindText(address, "/", a, true);
  if (b == -1) return "/";
  return TextRight(address, TextLength(address) - b + 1);
}

}  // namespace orvanta
