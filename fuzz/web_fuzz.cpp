// Runs the request-side text work on hostile input: address splitting,
// cookie merging, header completion and scan, and the internet layer's
// redirect, proxy and address rules. Checks what must always hold: no zero
// byte in a result, ports in range, a request object that a request line can
// carry, merged items free of spaces and of "=deleted" items.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/text.h"
#include "platform/internet.h"
#include "platform/internet_rules.h"
#include "plugin/address.h"
#include "plugin/cookies.h"
#include "plugin/web_request_parts.h"

namespace {

using namespace orvanta;
namespace rules = orvanta::platform::internet_rules;

void Check(bool ok) {
  if (!ok) std::abort();
}

void CheckText(std::string_view s) { Check(s.find('\0') == std::string_view::npos); }

bool EndsWithDeleted(std::string_view item) {
  return item.size() >= 8 && item.substr(item.size() - 8) == "=deleted";
}

}  // namespace

// Input: a flag byte, then up to three texts separated by zero bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t flags = data[0];
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string_view piece[3];
  for (std::string_view& p : piece) {
    std::size_t zero = rest.find('\0');
    p = rest.substr(0, zero);
    rest = zero == std::string_view::npos ? std::string_view() : rest.substr(zero + 1);
  }
  const std::string_view a = piece[0], b = piece[1], c = piece[2];

  CheckText(AddressHost(a, flags & 1, flags & 2));
  CheckText(AddressPath(a));
  Check(!AddressPath(a).empty());
  AddressPort(a);
  CheckText(HeaderValue(a));

  Text cookies(a), fresh(b);
  Text merged = (flags & 4) ? MergeCookiesDistinct(cookies, fresh) : MergeCookies(cookies, fresh);
  Check(merged == cookies);
  CheckText(merged);
  // A byte of 0x80 or above takes the next byte as its second half, be it a
  // space or a separator, so the shape is checked on plain ASCII only.
  bool ascii = true;
  for (char ch : merged) ascii = ascii && static_cast<unsigned char>(ch) < 0x80;
  for (char ch : b) ascii = ascii && static_cast<unsigned char>(ch) < 0x80;
  Check(!ascii || fresh.find(' ') == Text::npos);
  for (const Text& item : SplitText(merged, "; "))
    Check(!ascii || (item.find(' ') == Text::npos && !EndsWithDeleted(item)));

  Text headers(b);
  CompleteHeaders(headers, a, c);
  CheckText(headers);
  Check(headers.find("Accept:") != Text::npos && headers.find("Content-Type:") != Text::npos);
  CheckText(RequestAgent(b, "default"));
  Text location(c), new_cookies;
  ScanAnswerHeaders(b, location, new_cookies);
  CheckText(location);
  CheckText(new_cookies);
  RequestFlags(a, flags & 8, flags & 16);

  rules::Target from{(flags & 32) != 0, "host.example", 8080, std::string(c)};
  if (auto hop = rules::NextHop(from, 301 + (flags >> 6), a, (flags & 1) ? "POST" : "GET", flags << 8,
                                flags & 7)) {
    Check(rules::IsValidHost(hop->target.host));
    Check(hop->target.port > 0 && hop->target.port <= 65535);
    Check(hop->verb == "GET" || hop->verb == "POST");
  }
  for (char ch : rules::EscapeObject(a))
    Check(static_cast<unsigned char>(ch) > 0x20 && static_cast<unsigned char>(ch) != 0x7F);
  if (auto server = rules::HttpProxyServer(b)) Check(!server->empty());
  rules::ForEachLine(b, [](std::string_view line) {
    Check(!line.empty() && line.find_first_of("\r\n") == std::string_view::npos);
  });
  if (auto parts = platform::CrackUrl(a)) {
    Check(!parts->host.empty());
    Check(parts->port >= 0 && parts->port <= 65535);
  }
  return 0;
}
