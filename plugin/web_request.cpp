#include "plugin/web_request.h"

#include <cstring>

#include "common/read_body.h"
#include "plugin/address.h"
#include "plugin/codepage.h"
#include "plugin/cookies.h"
#include "plugin/extract.h"
#include "plugin/web_request_parts.h"
#include "platform/internet.h"

namespace orvanta {
namespace {

namespace net = platform;

constexpr std::string_view kAgentPlain =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; Vx3M; .NET CLR 2.0.50727; "
    ".NET CLR 3.0.04506.648; .NET CLR 3.5.21022)";
constexpr std::string_view kAgentEx =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; K7WQZ; .NET CLR 2.0.50727; "
    ".NET CLR 3.0.04506.648; .NET CLR 3.5.21022)";
constexpr int kRawHeaderBuffer = 5000;

enum class Variant { kPlain, kEx };

Bytes Request(std::string_view address, RequestArgs& args, Variant variant) {
  const bool ex = variant == Variant::kEx;
  const bool cookies_given = args.cookies.has_value();
  Text scratch_cookies;
  Text& cookies = cookies_given ? *args.cookies : scratch_cookies;

  const char* verb = args.method == 1 ? "POST" : "GET";
  Text agent = RequestAgent(args.headers, ex ? kAgentEx : kAgentPlain);

  net::InternetSession* session =
      args.proxy ? net::OpenInternet(agent, net::kInternetOpenProxy, Concat("http=", *args.proxy))
                 : net::OpenInternet(agent, net::kInternetOpenDirect, "");
  if (!session) return {};
  net::InternetConnection* connection =
      net::ConnectInternet(session, AddressHost(address), AddressPort(address));
  if (!connection) {
    net::CloseInternet(session);
    return {};
  }
  std::uint32_t flags = RequestFlags(address, !ex || cookies_given, args.no_redirect);
  net::InternetRequest* request =
      net::OpenHttpRequest(connection, verb, AddressPath(address), "HTTP/1.1", std::nullopt, flags);
  if (!request) {
    net::CloseInternet(connection);
    net::CloseInternet(session);
    return {};
  }

  CompleteHeaders(args.headers, address, cookies);
  if (args.method == 0) {
    net::SendHttpRequest(request, args.headers, nullptr, 0);
  } else {
    if (args.post_bytes.empty()) args.post_bytes = TextToBytes(args.post_text);
    net::SendHttpRequest(request, args.headers, args.post_bytes.data(), args.post_bytes.size());
  }
  Bytes body = ReadWholeBody(request);

  args.raw_headers = BlankText(kRawHeaderBuffer);
  std::uint32_t length = kRawHeaderBuffer;
  net::QueryRawHeaders(request, args.raw_headers.data(), &length);
  args.raw_headers.resize(std::strlen(args.raw_headers.c_str()));

  net::CloseInternet(request);
  net::CloseInternet(connection);
  net::CloseInternet(session);

  ScanAnswerHeaders(args.raw_headers, args.location, args.new_cookies);
  if (ex && cookies_given) MergeCookiesDistinct(cookies, args.new_cookies);
  if (args.location.empty()) args.location = args.raw_headers;
  if (!ex) MergeCookies(cookies, args.new_cookies);
  return body;
}

}  // namespace

Text RequestAgent(std::string_view headers, std::string_view default_agent) {
  if (FindText(headers, "User-Agent:", std::nullopt, true) == -1) return Text(default_agent);
  Text agent = TrimBoth(ExtractBetween(headers, "User-Agent:", "\r\n"));
  return agent.empty() ? HeaderValue(headers) : agent;
}

std::uint32_t RequestFlags(std::string_view address, bool no_cookies, bool no_redirect) {
  bool secure = ToLower(TextLeft(address, 5)) == "https";
  return static_cast<std::uint32_t>(BitOr({
      static_cast<std::int32_t>(net::kFlagReload),
      static_cast<std::int32_t>(net::kFlagNeedFile),
      static_cast<std::int32_t>(no_cookies ? net::kFlagNoCookies : 0),
      static_cast<std::int32_t>(no_redirect ? net::kFlagNoAutoRedirect : 0),
      static_cast<std::int32_t>(secure ? net::kFlagSecure : net::kFlagIgnoreRedirectToHttps),
  }));
}

void CompleteHeaders(Text& headers, std::string_view address, std::string_view cookies) {
  if (FindText(headers, "Referer:") == -1)
    headers += headers.empty() ? Concat("Referer: ", address) : Concat("\r\nReferer: ", address);
  if (FindText(headers, "Accept:") == -1) headers += "\r\nAccept: */*";
  if (FindText(headers, "Accept-Language:") == -1) headers += "\r\nAccept-Language: zh-cn";
  if (FindText(headers, "Content-Type:") == -1)
    headers += "\r\nContent-Type: application/x-www-form-urlencoded";
  if (!cookies.empty()) headers += Concat("\r\nCookie: ", cookies);
}

void ScanAnswerHeaders(std::string_view raw_headers, Text& location, Text& new_cookies) {
  new_cookies.clear();
  for (const Text& line : SplitText(raw_headers, "\r\n")) {
    if (FindText(line, "Location:") != -1) location = HeaderValue(line);
    if (FindText(line, "Set-Cookie") != -1) {
      new_cookies += TrimBoth(ExtractBetween(line, "Set-Cookie:", ";"));
      new_cookies += "; ";
    }
  }
  new_cookies = TextLeft(new_cookies, TextLength(new_cookies) - 2);
}

Bytes WebRequest(std::string_view address, RequestArgs& args) {
  return Request(address, args, Variant::kPlain);
}

Bytes WebRequestEx(std::string_view address, RequestArgs& args) {
  return Request(address, args, Variant::kEx);
}

Text FetchText(std::string_view address, RequestArgs& args) {
  // A left-out proxy is passed on as given and empty: the list "http=".
  const bool proxy_left_out = !args.proxy.has_value();
  if (proxy_left_out) args.proxy.emplace();
  Text text = Utf8BytesToText(WebRequest(address, args));
  if (proxy_left_out) args.proxy.reset();
  return text;
}

Bytes WebRequestEx(std::string_view address) {
  RequestArgs scratch;
  return WebRequestEx(address, scratch);
}

Text FetchText(std::string_view address, int method) {
  RequestArgs scratch;
  scratch.method = method;
  return FetchText(address, scratch);
}

}  // namespace orvanta
