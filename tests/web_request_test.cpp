// The full request routines against the stand-in web server: what goes over
// the wire, what comes back through the result and the out-arguments, and the
// bounds that keep a request from holding its caller. The program runs beside
// its own server (tools/standin/with-standin), natively and under wine.
#include "plugin/web_request.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "common/read_body.h"
#include "platform/internet.h"
#include "plugin/web_request_parts.h"
#include "support/loopback.h"
#include "support/standin_client.h"
#include "support/test_support.h"

namespace orvanta {
namespace {

using test::RecordedRequest;
using test::StandinRequests;
using test::StandinScript;
using test::StandinUrl;

const char kAgentPlain[] =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; Vx3M; .NET CLR 2.0.50727; "
    ".NET CLR 3.0.04506.648; .NET CLR 3.5.21022)";
const char kAgentEx[] =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; K7WQZ; .NET CLR 2.0.50727; "
    ".NET CLR 3.0.04506.648; .NET CLR 3.5.21022)";
const char kFormType[] = "Content-Type: application/x-www-form-urlencoded";
const Text kUnfilled(5000, ' ');  // the raw header buffer the platform did not fill

// A host name the resolver refuses at once: a label longer than 63 bytes is
// rejected before any query leaves the machine.
const std::string kUnreachableHost = std::string(70, 'x') + ".invalid";

using Routine = std::function<Bytes(std::string_view, RequestArgs&)>;
const struct {
  const char* name;
  Routine call;
} kBytesRoutines[] = {
    {"WebRequest", [](std::string_view a, RequestArgs& r) { return WebRequest(a, r); }},
    {"WebRequestEx", [](std::string_view a, RequestArgs& r) { return WebRequestEx(a, r); }},
};

std::string AsString(const Bytes& b) { return std::string(b.begin(), b.end()); }
Bytes AsBytes(std::string_view s) { return Bytes(s.begin(), s.end()); }

// The lines of a header text, as the wire carries them (empty lines dropped).
std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) lines.emplace_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// The header lines a request carried apart from those the internet client
// adds on its own (Host, User-Agent, lengths, connection handling).
std::vector<std::string> RoutineLines(const RecordedRequest& r) {
  static const char* const kClientOwned[] = {"host", "user-agent", "content-length",
                                             "connection"};
  std::vector<std::string> lines;
  for (const std::string& line : r.header_lines) {
    std::string name = line.substr(0, line.find(':'));
    for (char& c : name) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    bool owned = false;
    for (const char* n : kClientOwned) owned = owned || name == n;
    if (!owned) lines.push_back(line);
  }
  return lines;
}

// The one request the server recorded for path.
RecordedRequest OnlyRequest(std::string_view path) {
  std::vector<RecordedRequest> all = StandinRequests(path);
  EXPECT_EQ(all.size(), 1u) << "requests for " << path;
  return all.empty() ? RecordedRequest{} : all.front();
}

// Lowers one time limit for a slow case, keeps the others far away, and
// restores the shipped ones.
class ShortTimeouts {
 public:
  explicit ShortTimeouts(const platform::InternetTimeouts& limits) {
    platform::SetInternetTimeouts(limits);
  }
  ~ShortTimeouts() { platform::SetInternetTimeouts({}); }
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class WebRequestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(test::StandinPort(), 0) << "run beside tools/standin/with-standin";
    ASSERT_TRUE(test::StandinReset());
  }
};

// ---- the parts that need no network

TEST(WebRequestPartsTest, FlagWord) {
  const std::uint32_t base = platform::kFlagReload | platform::kFlagNeedFile;
  const std::uint32_t plain = platform::kFlagIgnoreRedirectToHttps;
  const std::uint32_t tls = platform::kFlagSecure;
  const struct {
    const char* address;
    bool no_cookies, no_redirect;
    std::uint32_t flags;
  } cases[] = {
      {"http://a.example/", false, false, base | plain},
      {"http://a.example/", true, false, base | platform::kFlagNoCookies | plain},
      {"http://a.example/", false, true, base | platform::kFlagNoAutoRedirect | plain},
      {"https://a.example/", true, true,
       base | platform::kFlagNoCookies | platform::kFlagNoAutoRedirect | tls},
      {"HTTPS://a.example/", false, false, base | tls},
      {"hTtPs://a.example/", false, false, base | tls},
      {"a.example/path", false, false, base | plain},
      {"http", false, false, base | plain},
      {"", false, false, base | plain},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    EXPECT_EQ(RequestFlags(c.address, c.no_cookies, c.no_redirect), c.flags);
  }
}

TEST(WebRequestPartsTest, CompletesHeaderText) {
  const std::string tail = std::string("\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n") + kFormType;
  const struct {
    const char* headers;
    const char* cookies;
    std::string completed;
  } cases[] = {
      {"", "", "Referer: http://h/p" + tail},
      {"", "a=1", "Referer: http://h/p" + tail + "\r\nCookie: a=1"},
      {"X: 1", "", "X: 1\r\nReferer: http://h/p" + tail},
      // Never trimmed or re-joined: a closing CR LF leaves an empty line.
      {"X: 1\r\n", "", "X: 1\r\n\r\nReferer: http://h/p" + tail},
      // Searches are case-sensitive and look anywhere in the text.
      {"Accept: text/html", "",
       std::string("Accept: text/html\r\nReferer: http://h/p\r\nAccept-Language: zh-cn\r\n") +
           kFormType},
      {"accept: text/html", "", "accept: text/html\r\nReferer: http://h/p" + tail},
      {"X-Note: Referer: elsewhere", "", "X-Note: Referer: elsewhere" + tail},
      {"Referer: r\r\nAccept: a\r\nAccept-Language: l\r\nContent-Type: c", "",
       "Referer: r\r\nAccept: a\r\nAccept-Language: l\r\nContent-Type: c"},
      // The Cookie line is added without looking for one.
      {"Cookie: old=1", "new=2", "Cookie: old=1\r\nReferer: http://h/p" + tail + "\r\nCookie: new=2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.headers);
    Text headers = c.headers;
    CompleteHeaders(headers, "http://h/p", c.cookies);
    EXPECT_EQ(headers, c.completed);
  }
}

TEST(WebRequestPartsTest, ChoosesAgent) {
  const struct {
    const char* headers;
    const char* agent;
  } cases[] = {
      {"", "default"},
      {"Accept: */*", "default"},
      {"User-Agent: Caller/1.0\r\nAccept: */*", "Caller/1.0"},
      {"X: 1\r\nuser-agent:   Spaced/2  \r\n", "Spaced/2"},
      {"USER-AGENT: Upper\r\n", "Upper"},
      // A lone line: the text after the first colon of the whole text.
      {"User-Agent: Solo/3", "Solo/3"},
      {"X-Id: 7\r\nUser-Agent: Last", "7\r\nUser-Agent: Last"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.headers);
    EXPECT_EQ(RequestAgent(c.headers, "default"), c.agent);
  }
}

TEST(WebRequestPartsTest, ScansAnswerHeaders) {
  const struct {
    const char* raw;
    const char* location_in;
    const char* location;
    const char* new_cookies;
  } cases[] = {
      {"HTTP/1.1 302 Found\r\nLocation: http://a.example/next?x=1\r\n\r\n", "", "http://a.example/next?x=1",
       ""},
      {"HTTP/1.1 302 Found\r\nLocation: /first\r\nLocation: /second\r\n\r\n", "", "/second", ""},
      // No Location line: location is left as it came.
      {"HTTP/1.1 200 OK\r\nX: 1\r\n\r\n", "kept", "kept", ""},
      // The search is case-sensitive and looks anywhere in the line.
      {"HTTP/1.1 200 OK\r\nlocation: /lower\r\nContent-Location: /cl\r\n\r\n", "", "/cl", ""},
      {"HTTP/1.1 200 OK\r\nSet-Cookie: sid=42; path=/\r\nSet-Cookie: lang=cn; HttpOnly\r\n\r\n", "",
       "", "sid=42; lang=cn"},
      // A Set-Cookie line without ';' gives an empty item.
      {"HTTP/1.1 200 OK\r\nSet-Cookie: a=1; p\r\nSet-Cookie: flag\r\nSet-Cookie: b=2;\r\n\r\n", "",
       "", "a=1; ; b=2"},
      {"", "", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.raw);
    Text location = c.location_in, new_cookies = "stale";
    ScanAnswerHeaders(c.raw, location, new_cookies);
    EXPECT_EQ(location, c.location);
    EXPECT_EQ(new_cookies, c.new_cookies);
  }
}

// ---- the request as it goes over the wire

TEST_F(WebRequestTest, SendsTheCompletedHeaderBlock) {
  ASSERT_TRUE(StandinScript("/shape", R"({"body": "ok"})"));
  const std::string address = StandinUrl("/shape?x=1&y=%20");
  for (const auto& routine : kBytesRoutines) {
    SCOPED_TRACE(routine.name);
    ASSERT_TRUE(test::StandinReset());
    ASSERT_TRUE(StandinScript("/shape", R"({"body": "ok"})"));
    RequestArgs args;
    EXPECT_EQ(AsString(routine.call(address, args)), "ok");
    const std::string expected = "Referer: " + address +
                                 "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n" + kFormType;
    EXPECT_EQ(args.headers, expected);

    RecordedRequest r = OnlyRequest("/shape");
    EXPECT_EQ(r.request_line, "GET /shape?x=1&y=%20 HTTP/1.1");
    EXPECT_EQ(RoutineLines(r), Lines(expected));
    EXPECT_EQ(r.Header("User-Agent"),
              std::string(routine.name) == "WebRequest" ? kAgentPlain : kAgentEx);
    EXPECT_TRUE(r.body.empty());
  }
}

TEST_F(WebRequestTest, KeepsCallerLinesAndAddsTheCookieLine) {
  ASSERT_TRUE(StandinScript("/given", R"({"body": "ok"})"));
  RequestArgs args;
  args.headers = "X-One: 1\r\nReferer: http://elsewhere.example/\r\n";
  args.cookies = "sid=1; a=2";
  WebRequest(StandinUrl("/given"), args);
  const std::string expected = std::string("X-One: 1\r\nReferer: http://elsewhere.example/\r\n") +
                               "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n" + kFormType +
                               "\r\nCookie: sid=1; a=2";
  EXPECT_EQ(args.headers, expected);
  // The empty line in the text is not sent: it would end the header block.
  EXPECT_EQ(RoutineLines(OnlyRequest("/given")), Lines(expected));
}

TEST_F(WebRequestTest, SendsTheCallersUserAgent) {
  ASSERT_TRUE(StandinScript("/agent", R"({"body": "ok"})"));
  const struct {
    const char* headers;
    const char* agent;
  } cases[] = {{"user-agent: Caller/2.0\r\n", "Caller/2.0"}, {"User-Agent: Solo/1", "Solo/1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.headers);
    ASSERT_TRUE(test::StandinReset());
    ASSERT_TRUE(StandinScript("/agent", R"({"body": "ok"})"));
    RequestArgs args;
    args.headers = c.headers;
    WebRequestEx(StandinUrl("/agent"), args);
    RecordedRequest r = OnlyRequest("/agent");
    EXPECT_EQ(r.HeaderCount("User-Agent"), 1);
    EXPECT_EQ(r.Header("User-Agent"), c.agent);
  }
}

TEST_F(WebRequestTest, VerbAndBodyFollowTheMethod) {
  const Bytes binary = {'b', 0, 'y', 0xFF, 't', 'e'};
  const struct {
    int method;
    const char* post_text;
    Bytes post_bytes;
    const char* verb;
    Bytes sent;
    Bytes post_bytes_after;
  } cases[] = {
      {0, "a=1", {}, "GET", {}, {}},
      {1, "a=1&b=2", {}, "POST", AsBytes("a=1&b=2"), AsBytes("a=1&b=2")},
      {1, "ignored", binary, "POST", binary, binary},
      {1, "", {}, "POST", {}, {}},
      {2, "q=get", {}, "GET", AsBytes("q=get"), AsBytes("q=get")},
      {7, "q=7", {}, "GET", AsBytes("q=7"), AsBytes("q=7")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "method " << c.method << " " << c.post_text);
    ASSERT_TRUE(test::StandinReset());
    ASSERT_TRUE(StandinScript("/method", R"({"body": "done"})"));
    RequestArgs args;
    args.method = c.method;
    args.post_text = c.post_text;
    args.post_bytes = c.post_bytes;
    EXPECT_EQ(AsString(WebRequest(StandinUrl("/method"), args)), "done");
    RecordedRequest r = OnlyRequest("/method");
    EXPECT_EQ(r.method, c.verb);
    EXPECT_EQ(r.body, c.sent);
    EXPECT_EQ(args.post_bytes, c.post_bytes_after);
    if (!c.sent.empty()) {
      EXPECT_EQ(r.Header("Content-Length"), std::to_string(c.sent.size()));
    }
  }
}

// ---- the answer

TEST_F(WebRequestTest, ReturnsTheBodyByteForByte) {
  Bytes body;
  for (int i = 0; i < 3000; ++i) body.push_back(static_cast<std::uint8_t>(i * 7));  // zeros inside
  ASSERT_TRUE(StandinScript("/bytes", R"({"body_base64": ")" + test::Base64(body) + R"("})"));
  ASSERT_TRUE(StandinScript("/chunked", R"({"length": "chunked", "body_base64": ")" +
                                            test::Base64(body) + R"("})"));
  for (const auto& routine : kBytesRoutines) {
    SCOPED_TRACE(routine.name);
    for (const char* path : {"/bytes", "/chunked"}) {
      SCOPED_TRACE(path);
      RequestArgs args;
      EXPECT_EQ(routine.call(StandinUrl(path), args), body);
    }
  }
}

TEST_F(WebRequestTest, FetchTextDecodesUtf8) {
  ASSERT_TRUE(StandinScript("/text", R"({"body": "\u4e2d\u6587 ok"})"));
  EXPECT_EQ(FetchText(StandinUrl("/text")), test::Gbk("中文 ok"));
  // The text ends at a zero byte of the body.
  ASSERT_TRUE(StandinScript("/zero", R"({"body_base64": ")" + test::Base64(std::string("ab\0cd", 5)) + R"("})"));
  EXPECT_EQ(FetchText(StandinUrl("/zero")), "ab");
  // An error page is a body like any other.
  ASSERT_TRUE(StandinScript("/missing", R"({"status": 404, "body": "gone"})"));
  EXPECT_EQ(FetchText(StandinUrl("/missing")), "gone");
}

TEST_F(WebRequestTest, HandsBackAndMergesTheAnswersCookies) {
  ASSERT_TRUE(StandinScript("/cookies", R"({"body": "ok", "headers": [
      ["Set-Cookie", "sid=42; path=/"], ["Set-Cookie", "lang=cn; HttpOnly"]]})"));
  const struct {
    bool ex;
    std::optional<Text> cookies;
    const char* new_cookies;
    std::optional<Text> cookies_after;
  } cases[] = {
      {false, Text("a=1; sid=1"), "sid=42;lang=cn", Text("sid=42; lang=cn; a=1")},
      {false, std::nullopt, "sid=42;lang=cn", std::nullopt},
      {true, Text("a=1; sid=1"), "sid=42;lang=cn", Text("sid=42; lang=cn; a=1")},
      // Given even when empty: the merge runs.
      {true, Text(""), "sid=42;lang=cn", Text("sid=42; lang=cn")},
      // Left out: no merge, so the separators stay.
      {true, std::nullopt, "sid=42; lang=cn", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.ex ? "WebRequestEx " : "WebRequest ")
                                    << c.cookies.value_or("(left out)"));
    RequestArgs args;
    args.cookies = c.cookies;
    Bytes body = c.ex ? WebRequestEx(StandinUrl("/cookies"), args) : WebRequest(StandinUrl("/cookies"), args);
    EXPECT_EQ(AsString(body), "ok");
    EXPECT_EQ(args.new_cookies, c.new_cookies);
    EXPECT_EQ(args.cookies, c.cookies_after);
  }
}

TEST_F(WebRequestTest, OnlyWebRequestExWithoutCookiesUsesThePlatformStore) {
  // Paths unique to this run: the store may outlive the process under wine.
  const std::string run = std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
  const std::string kept = "/store" + run, unkept = "/nostore" + run;
  ASSERT_TRUE(StandinScript(kept + "/set", R"({"headers": [["Set-Cookie", "st=1; Path=)" + kept + R"("]]})"));
  ASSERT_TRUE(StandinScript(unkept + "/set", R"({"headers": [["Set-Cookie", "nw=1; Path=)" + unkept + R"("]]})"));

  WebRequestEx(StandinUrl(kept + "/set"));
  WebRequestEx(StandinUrl(kept + "/check"));
  EXPECT_NE(OnlyRequest(kept + "/check").Header("Cookie").value_or("").find("st=1"), std::string::npos);

  RequestArgs with_cookies;
  with_cookies.cookies = "";
  WebRequestEx(StandinUrl(kept + "/given"), with_cookies);
  EXPECT_EQ(OnlyRequest(kept + "/given").HeaderCount("Cookie"), 0);
  RequestArgs plain;
  WebRequest(StandinUrl(kept + "/plain"), plain);
  EXPECT_EQ(OnlyRequest(kept + "/plain").HeaderCount("Cookie"), 0);

  // Received with the store switched off: not stored either.
  RequestArgs off;
  off.cookies = "";
  WebRequestEx(StandinUrl(unkept + "/set"), off);
  EXPECT_EQ(off.cookies, "nw=1");
  WebRequestEx(StandinUrl(unkept + "/check"));
  EXPECT_EQ(OnlyRequest(unkept + "/check").Header("Cookie").value_or("").find("nw=1"), std::string::npos);
}

TEST_F(WebRequestTest, LocationFromTheLocationLineWithoutRedirect) {
  ASSERT_TRUE(StandinScript("/moved", R"({"status": 302, "redirect": "/target?a=1", "body": "moved"})"));
  RequestArgs args;
  args.no_redirect = true;
  args.location = "caller's";
  EXPECT_EQ(AsString(WebRequest(StandinUrl("/moved"), args)), "moved");
  EXPECT_EQ(args.location, "/target?a=1");
  EXPECT_EQ(args.raw_headers.rfind("HTTP/1.1 302", 0), 0u) << args.raw_headers;
  EXPECT_TRUE(StandinRequests("/target").empty());
}

TEST_F(WebRequestTest, LocationFallsBackToTheRawHeaderBlock) {
  ASSERT_TRUE(StandinScript("/plain", R"({"body": "x", "headers": [["X-Mark", "1"]]})"));
  RequestArgs args;
  WebRequest(StandinUrl("/plain"), args);
  EXPECT_EQ(args.raw_headers.rfind("HTTP/1.1 200", 0), 0u) << args.raw_headers;
  EXPECT_NE(args.raw_headers.find("\r\nX-Mark: 1\r\n"), std::string::npos) << args.raw_headers;
  ASSERT_GE(args.raw_headers.size(), 4u);
  EXPECT_EQ(args.raw_headers.substr(args.raw_headers.size() - 4), "\r\n\r\n");
  EXPECT_EQ(args.location, args.raw_headers);

  RequestArgs given;
  given.location = "kept";
  WebRequest(StandinUrl("/plain"), given);
  EXPECT_EQ(given.location, "kept");
}

TEST_F(WebRequestTest, FollowsRedirects) {
  ASSERT_TRUE(StandinScript("/hop1", R"({"status": 302, "redirect": "/hop2", "body": "one"})"));
  ASSERT_TRUE(StandinScript("/hop2", R"({"status": 301, "redirect": "hop3?n=3"})"));
  ASSERT_TRUE(StandinScript("/hop3", R"({"body": "arrived", "headers": [["Set-Cookie", "end=1; Path=/"]]})"));
  RequestArgs args;
  args.method = 1;
  args.post_text = "form=1";
  EXPECT_EQ(AsString(WebRequest(StandinUrl("/hop1"), args)), "arrived");
  EXPECT_EQ(args.raw_headers.rfind("HTTP/1.1 200", 0), 0u) << args.raw_headers;
  EXPECT_EQ(args.new_cookies, "end=1");
  EXPECT_EQ(OnlyRequest("/hop1").method, "POST");
  // 301 and 302 turn a POST into a GET without body.
  RecordedRequest second = OnlyRequest("/hop2");
  EXPECT_EQ(second.method, "GET");
  EXPECT_TRUE(second.body.empty());
  EXPECT_EQ(OnlyRequest("/hop3").target, "/hop3?n=3");

  // 307 keeps the verb and the body.
  ASSERT_TRUE(StandinScript("/keep1", R"({"status": 307, "redirect": "/keep2"})"));
  ASSERT_TRUE(StandinScript("/keep2", R"({"body": "kept"})"));
  RequestArgs post;
  post.method = 1;
  post.post_text = "form=2";
  EXPECT_EQ(AsString(WebRequest(StandinUrl("/keep1"), post)), "kept");
  RecordedRequest kept = OnlyRequest("/keep2");
  EXPECT_EQ(kept.method, "POST");
  EXPECT_EQ(AsString(kept.body), "form=2");
}

TEST_F(WebRequestTest, RedirectsStopAfterTenAndAtOtherSchemes) {
  ASSERT_TRUE(StandinScript("/loop", R"({"status": 302, "redirect": "/loop", "body": "again"})"));
  RequestArgs args;
  WebRequest(StandinUrl("/loop"), args);
  EXPECT_EQ(StandinRequests("/loop").size(), 11u);  // the request and ten redirects
  EXPECT_EQ(args.location, "/loop");

  ASSERT_TRUE(StandinScript("/ftp", R"({"status": 302, "redirect": "ftp://127.0.0.1/file", "body": "not followed"})"));
  RequestArgs ftp;
  EXPECT_EQ(AsString(WebRequest(StandinUrl("/ftp"), ftp)), "not followed");
  EXPECT_EQ(ftp.location, "ftp://127.0.0.1/file");
}

TEST_F(WebRequestTest, ProxyModeWithAndWithoutAServer) {
  ASSERT_TRUE(StandinScript("/via", R"({"body": "proxied answer"})"));
  const std::string far = "http://" + kUnreachableHost + ":81/via?x=1";
  RequestArgs through;
  through.proxy = "127.0.0.1:" + std::to_string(test::StandinPort());
  EXPECT_EQ(AsString(WebRequest(far, through)), "proxied answer");
  RecordedRequest r = OnlyRequest("/via");
  EXPECT_EQ(r.target, far);

  // Given but empty, and FetchText's "http=": a direct connection.
  ASSERT_TRUE(StandinScript("/direct", R"({"body": "direct answer"})"));
  RequestArgs empty;
  empty.proxy = "";
  EXPECT_EQ(AsString(WebRequestEx(StandinUrl("/direct?n=1"), empty)), "direct answer");
  EXPECT_EQ(FetchText(StandinUrl("/direct?n=2")), "direct answer");
  for (const RecordedRequest& d : StandinRequests("/direct")) EXPECT_EQ(d.target.rfind("/direct?n=", 0), 0u);
}

TEST_F(WebRequestTest, HttpsGoesOverTlsAndNeverThroughTheHttpProxy) {
  const std::string port = std::to_string(test::StandinPort());
  RequestArgs args;
  args.proxy = "127.0.0.1:" + port;
  EXPECT_TRUE(WebRequest("HTTPS://127.0.0.1:" + port + "/secure", args).empty());
  // TLS handshakes straight to the address (a client may try more than once).
  std::vector<RecordedRequest> all = StandinRequests();
  ASSERT_FALSE(all.empty());
  for (const RecordedRequest& r : all) EXPECT_TRUE(r.tls) << r.request_line;
}

TEST_F(WebRequestTest, FailedConnectionsGiveEmptyResults) {
  const std::string addresses[] = {
      "http://" + kUnreachableHost + "/x",
      "http://127.0.0.1:" + std::to_string(test::UnusedLoopbackPort()) + "/refused",
  };
  for (const std::string& address : addresses) {
    SCOPED_TRACE(address);
    RequestArgs args;
    args.cookies = "a=1;b=2";
    EXPECT_TRUE(WebRequest(address, args).empty());
    EXPECT_EQ(args.raw_headers, kUnfilled);
    EXPECT_EQ(args.location, kUnfilled);
    EXPECT_EQ(args.new_cookies, "");
    EXPECT_EQ(args.cookies, "a=1; b=2");
    EXPECT_EQ(FetchText(address), "");
  }
}

TEST_F(WebRequestTest, ConnectionThatNeverOpensIsGivenUp) {
  const int port = test::StalledLoopbackPort();
  ASSERT_NE(port, 0);
  ShortTimeouts limits({1000, 30000, 30000});
  auto start = std::chrono::steady_clock::now();
  RequestArgs args;
  EXPECT_TRUE(WebRequest("http://127.0.0.1:" + std::to_string(port) + "/", args).empty());
  EXPECT_LT(SecondsSince(start), 8.0);
  EXPECT_EQ(args.raw_headers, kUnfilled);
}

TEST_F(WebRequestTest, ServerThatNeverAnswersIsLeftInTime) {
  ShortTimeouts limits({30000, 1000, 30000});
  ASSERT_TRUE(StandinScript("/silent", R"({"hang": 60})"));
  auto start = std::chrono::steady_clock::now();
  RequestArgs args;
  EXPECT_TRUE(WebRequest(StandinUrl("/silent"), args).empty());
  EXPECT_LT(SecondsSince(start), 8.0);
  EXPECT_EQ(args.location, kUnfilled);
}

TEST_F(WebRequestTest, BodyThatTricklesForeverEndsAtTheTimeLimit) {
  ShortTimeouts limits({30000, 30000, 2500});
  ASSERT_TRUE(StandinScript("/trickle", R"({"body": "abc", "endless": true,
      "trickle": {"chunk": 1, "interval": 0.2}})"));
  auto start = std::chrono::steady_clock::now();
  RequestArgs args;
  Bytes body = WebRequest(StandinUrl("/trickle"), args);
  EXPECT_LT(SecondsSince(start), 8.0);
  EXPECT_FALSE(body.empty());
  EXPECT_EQ(AsString(body).substr(0, 3), "abc");
  EXPECT_EQ(args.raw_headers.rfind("HTTP/1.1 200", 0), 0u);
}

TEST_F(WebRequestTest, BodyStopsGrowingAt16MiB) {
  ASSERT_TRUE(StandinScript("/endless", R"({"body_fill": {"byte": 65, "length": 65536}, "endless": true})"));
  ASSERT_TRUE(StandinScript("/large", R"({"body_fill": {"byte": 66, "length": 17825792}})"));
  for (const char* path : {"/endless", "/large"}) {
    SCOPED_TRACE(path);
    RequestArgs args;
    Bytes body = WebRequest(StandinUrl(path), args);
    ASSERT_EQ(body.size(), kBodyLimit);
    EXPECT_EQ(body.front(), body.back());
  }
}

TEST_F(WebRequestTest, BrokenBodyKeepsWhatArrived) {
  ASSERT_TRUE(StandinScript("/broken", R"({"body_fill": {"byte": 67, "length": 4000}, "drop_after": 1500})"));
  RequestArgs args;
  EXPECT_EQ(WebRequest(StandinUrl("/broken"), args), Bytes(1500, 67));
}

TEST_F(WebRequestTest, HeaderBlockBeyondTheBufferIsNotRead) {
  ASSERT_TRUE(StandinScript("/bulky", R"({"body": "body", "redirect": "/never", "status": 200,
      "headers": [["Set-Cookie", "big=1"], ["X-Bulk", ")" + std::string(3000, 'b') +
                                R"("], ["X-Bulk", ")" + std::string(3000, 'c') + R"("]]})"));
  RequestArgs args;
  EXPECT_EQ(AsString(WebRequest(StandinUrl("/bulky"), args)), "body");
  EXPECT_EQ(args.raw_headers, kUnfilled);
  EXPECT_EQ(args.location, kUnfilled);
  EXPECT_EQ(args.new_cookies, "");
}

}  // namespace
}  // namespace orvanta
