// The internet client on libcurl. Each request runs on a multi handle of its
// own that the calls pump, so that the body arrives in blocks as the reader
// asks for it (a body that never ends cannot fill the memory) and every wait
// is cut short by the time limits. Redirects are followed here, hop by hop,
// by the rules both layers share.
#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/internet.h"
#include "platform/internet_rules.h"

namespace orvanta::platform {
namespace {

namespace rules = internet_rules;
using Clock = std::chrono::steady_clock;

// More body than this waiting for the reader pauses the transfer.
constexpr std::size_t kPendingLimit = 256 * 1024;

// The process-wide cookie store of requests without kFlagNoCookies.
class CookieStore {
 public:
  CookieStore() {
    share_ = curl_share_init();
    if (!share_) return;
    curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &CookieStore::Lock);
    curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &CookieStore::Unlock);
    curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
    curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
  }
  ~CookieStore() {
    if (share_) curl_share_cleanup(share_);
  }
  CookieStore(const CookieStore&) = delete;
  CookieStore& operator=(const CookieStore&) = delete;
  CURLSH* share() const { return share_; }

 private:
  static void Lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
    static_cast<CookieStore*>(self)->mutexes_[data % kLocks].lock();
  }
  static void Unlock(CURL*, curl_lock_data data, void* self) {
    static_cast<CookieStore*>(self)->mutexes_[data % kLocks].unlock();
  }
  static constexpr int kLocks = CURL_LOCK_DATA_LAST;
  CURLSH* share_ = nullptr;
  std::mutex mutexes_[kLocks];
};

bool CurlReady() {
  static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return ready;
}

CookieStore& Cookies() {
  static CookieStore store;
  return store;
}

}  // namespace

struct InternetSession {
  std::string agent;
  std::optional<std::string> http_proxy;
};

struct InternetConnection {
  InternetSession* session;
  std::string host;
  int port;
};

struct InternetRequest {
  InternetConnection* connection = nullptr;
  std::string verb;
  bool http10 = false;
  std::optional<std::string> accept;
  std::uint32_t flags = 0;

  // What is sent, kept for every hop.
  curl_slist* header_list = nullptr;
  std::vector<std::uint8_t> body;
  bool with_body = false;

  // The hop in flight.
  rules::Target target;
  std::string hop_verb;
  bool hop_body = false;
  int hops = 0;
  CURLM* multi = nullptr;
  CURL* easy = nullptr;

  // The answer of the hop in flight.
  std::string block;
  int status = 0;
  std::string location;
  bool headers_done = false;
  std::optional<rules::Hop> next_hop;
  std::vector<std::uint8_t> pending;
  std::size_t pending_pos = 0;
  bool paused = false;
  bool finished = false;

  Clock::time_point started;
  Clock::time_point last_heard;

  ~InternetRequest() {
    DropTransfer();
    if (multi) curl_multi_cleanup(multi);
    curl_slist_free_all(header_list);
  }

  void DropTransfer() {
    if (!easy) return;
    curl_multi_remove_handle(multi, easy);
    curl_easy_cleanup(easy);
    easy = nullptr;
  }

  bool final_headers() const { return headers_done && !next_hop; }
  std::size_t pending_size() const { return pending.size() - pending_pos; }
};

namespace {

std::string Url(const rules::Target& target) {
  return std::string(target.secure ? "https://" : "http://") + target.host + ":" +
         std::to_string(target.port) + rules::EscapeObject(target.object);
}

int ParseStatus(std::string_view status_line) {
  std::size_t space = status_line.find(' ');
  int code = 0;
  for (std::size_t i = space + 1; space != std::string_view::npos && i < status_line.size(); ++i) {
    if (!rules::IsDigit(status_line[i])) break;
    code = code * 10 + (status_line[i] - '0');
  }
  return code;
}

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  auto* r = static_cast<InternetRequest*>(user);
  std::string_view line(data, size * count);
  r->last_heard = Clock::now();
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  if (line.substr(0, 5) == "HTTP/") {
    r->block.assign(line.data(), line.size());
    r->block += "\r\n";
    r->status = ParseStatus(line);
    r->location.clear();
    r->headers_done = false;
  } else if (line.empty()) {
    r->block += "\r\n";
    if (r->status >= 200) {
      r->headers_done = true;
      r->next_hop = rules::NextHop(r->target, r->status, r->location, r->hop_verb, r->flags, r->hops);
    }
  } else {
    r->block.append(line.data(), line.size());
    r->block += "\r\n";
    std::size_t colon = line.find(':');
    if (colon != std::string_view::npos &&
        rules::EqualsIgnoreCase(rules::TrimSpaces(line.substr(0, colon)), "Location"))
      r->location = std::string(rules::TrimSpaces(line.substr(colon + 1)));
  }
  return size * count;
}

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto* r = static_cast<InternetRequest*>(user);
  r->last_heard = Clock::now();
  if (r->next_hop) return size * count;  // a redirect's own body is not wanted
  if (r->pending_size() >= kPendingLimit) {
    r->paused = true;
    return CURL_WRITEFUNC_PAUSE;
  }
  if (r->pending_pos == r->pending.size()) {
    r->pending.clear();
    r->pending_pos = 0;
  }
  r->pending.insert(r->pending.end(), data, data + size * count);
  return size * count;
}

bool StartHop(InternetRequest& r) {
  r.DropTransfer();
  r.block.clear();
  r.status = 0;
  r.location.clear();
  r.headers_done = false;
  r.next_hop.reset();
  if (!rules::IsValidHost(r.target.host)) return false;

  CURL* easy = curl_easy_init();
  if (!easy) return false;
  const InternetSession& session = *r.connection->session;
  std::string url = Url(r.target);
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(easy, CURLOPT_HTTP_VERSION,
                   r.http10 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS,
                   static_cast<long>(GetInternetTimeouts().connect_ms));
  if (!session.agent.empty()) curl_easy_setopt(easy, CURLOPT_USERAGENT, session.agent.c_str());
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, r.header_list);
  // An empty proxy also keeps curl from reading proxies from the environment.
  std::string proxy;
  if (session.http_proxy && !r.target.secure) {
    proxy = session.http_proxy->find("://") == std::string::npos ? "http://" + *session.http_proxy
                                                                 : *session.http_proxy;
  }
  curl_easy_setopt(easy, CURLOPT_PROXY, proxy.c_str());
  if (!(r.flags & kFlagNoCookies) && Cookies().share()) {
    curl_easy_setopt(easy, CURLOPT_SHARE, Cookies().share());
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
  }

  if (r.hop_body) {
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(r.body.size()));
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS,
                     r.body.empty() ? "" : reinterpret_cast<const char*>(r.body.data()));
    if (r.hop_verb != "POST") curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, r.hop_verb.c_str());
  } else if (r.hop_verb == "POST") {
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(0));
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, "");
  } else if (r.hop_verb == "HEAD") {
    curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
  } else {
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    if (r.hop_verb != "GET") curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, r.hop_verb.c_str());
  }

  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &OnHeader);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, &r);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &OnBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &r);
  if (curl_multi_add_handle(r.multi, easy) != CURLM_OK) {
    curl_easy_cleanup(easy);
    return false;
  }
  r.easy = easy;
  return true;
}

void Finish(InternetRequest& r) {
  r.DropTransfer();
  r.finished = true;
}

// One round of the transfer: send and receive what the sockets allow, follow
// a redirect, or wait a little. Ends the request once a time limit is passed.
void Pump(InternetRequest& r) {
  if (r.finished) return;
  InternetTimeouts limits = GetInternetTimeouts();
  Clock::time_point now = Clock::now();
  if (now - r.started >= std::chrono::milliseconds(limits.total_ms) ||
      now - r.last_heard >= std::chrono::milliseconds(limits.silence_ms)) {
    Finish(r);
    return;
  }
  if (r.paused && r.pending_size() < kPendingLimit) {
    r.paused = false;
    curl_easy_pause(r.easy, CURLPAUSE_CONT);
  }
  const std::size_t pending_before = r.pending_size();
  const bool headers_before = r.headers_done;
  int running = 0;
  curl_multi_perform(r.multi, &running);
  bool done = false;
  int queued = 0;
  while (CURLMsg* msg = curl_multi_info_read(r.multi, &queued))
    if (msg->msg == CURLMSG_DONE) done = true;

  if (r.next_hop) {
    rules::Hop hop = std::move(*r.next_hop);
    r.target = std::move(hop.target);
    r.hop_verb = std::move(hop.verb);
    r.hop_body = r.hop_body && hop.keep_body;
    ++r.hops;
    if (!StartHop(r)) Finish(r);
    return;
  }
  if (done) {
    Finish(r);
    return;
  }
  // Wait for the sockets only when this round brought nothing.
  if (r.pending_size() == pending_before && r.headers_done == headers_before)
    curl_multi_poll(r.multi, nullptr, 0, 50, nullptr);
}

}  // namespace

InternetSession* OpenInternet(std::string_view agent, int access_type, std::string_view proxy_list) {
  if (!CurlReady()) return nullptr;
  auto* session = new InternetSession;
  session->agent = std::string(rules::FirstLine(agent));
  if (access_type == kInternetOpenProxy) session->http_proxy = rules::HttpProxyServer(proxy_list);
  return session;
}

InternetConnection* ConnectInternet(InternetSession* session, std::string_view host, int port) {
  if (!session || host.empty() || port < 0 || port > 65535) return nullptr;
  return new InternetConnection{session, std::string(host), port};
}

InternetRequest* OpenHttpRequest(InternetConnection* connection, std::string_view verb,
                                 std::string_view object, std::string_view version,
                                 std::optional<std::string_view> accept_type, std::uint32_t flags) {
  if (!connection) return nullptr;
  auto request = std::make_unique<InternetRequest>();
  request->connection = connection;
  request->verb = verb.empty() ? "GET" : std::string(rules::FirstLine(verb));
  request->http10 = version == "HTTP/1.0";
  if (accept_type) request->accept = std::string(rules::TrimSpaces(rules::FirstLine(*accept_type)));
  request->flags = flags;
  request->multi = curl_multi_init();
  if (!request->multi) return nullptr;
  request->target = rules::FirstTarget(connection->host, connection->port, object, flags);
  return request.release();
}

bool SendHttpRequest(InternetRequest* r, std::string_view headers, const std::uint8_t* body,
                     std::size_t body_size) {
  if (!r || r->easy || r->finished) return false;
  // The accept type is one more header line, unless the text gives its own.
  auto add = [r](std::string_view line) {
    r->header_list = curl_slist_append(r->header_list, std::string(line).c_str());
  };
  bool own_accept = rules::HasHeaderLine(headers, "Accept");
  if (r->accept && !own_accept) add("Accept: " + *r->accept);
  rules::ForEachLine(headers, add);
  // curl's own defaults that WinInet would not send.
  if (!r->accept && !own_accept) add("Accept:");
  if (!rules::HasHeaderLine(headers, "Content-Type")) add("Content-Type:");
  add("Expect:");

  if (body && body_size) r->body.assign(body, body + body_size);
  r->with_body = body_size > 0 || r->verb == "POST";
  r->hop_verb = r->verb;
  r->hop_body = r->with_body;
  r->started = r->last_heard = Clock::now();
  if (!StartHop(*r)) {
    Finish(*r);
    return false;
  }
  while (!r->finished && !r->final_headers() && r->pending_size() == 0) Pump(*r);
  return r->headers_done;
}

int ReadInternetData(InternetRequest* r, std::uint8_t* buffer, int size) {
  if (!r || !buffer || size <= 0) return 0;
  if (Clock::now() - r->started >= std::chrono::milliseconds(GetInternetTimeouts().total_ms)) {
    Finish(*r);
    return 0;
  }
  while (r->pending_size() == 0 && !r->finished) Pump(*r);
  std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(size), r->pending_size());
  if (n == 0) return 0;
  std::memcpy(buffer, r->pending.data() + r->pending_pos, n);
  r->pending_pos += n;
  return static_cast<int>(n);
}

bool QueryRawHeaders(InternetRequest* r, char* buffer, std::uint32_t* length) {
  if (!r || !length) return false;
  while (!r->finished && !r->final_headers()) Pump(*r);
  if (!r->headers_done) return false;
  if (!buffer || r->block.size() + 1 > *length) {
    *length = static_cast<std::uint32_t>(r->block.size() + 1);
    return false;
  }
  std::memcpy(buffer, r->block.data(), r->block.size());
  buffer[r->block.size()] = '\0';
  *length = static_cast<std::uint32_t>(r->block.size());
  return true;
}

void CloseInternet(InternetRequest* request) { delete request; }
void CloseInternet(InternetConnection* connection) { delete connection; }
void CloseInternet(InternetSession* session) { delete session; }
void ReleaseKeptSession(InternetSession* session) { delete session; }

std::optional<UrlParts> CrackUrl(std::string_view address) {
  std::size_t colon = address.find(':');
  if (colon == std::string_view::npos || colon == 0 || !rules::IsAlpha(address[0])) return std::nullopt;
  for (char c : address.substr(0, colon))
    if (!rules::IsAlpha(c) && !rules::IsDigit(c) && c != '+' && c != '-' && c != '.') return std::nullopt;
  UrlParts parts;
  parts.scheme = std::string(address.substr(0, colon));
  std::string lower;
  for (char c : parts.scheme) lower += rules::Lower(c);
  parts.secure = lower == "https";
  parts.http = parts.secure || lower == "http";
  std::string_view rest = address.substr(colon + 1);
  if (rest.substr(0, 2) != "//") return std::nullopt;
  rest.remove_prefix(2);
  std::size_t end = rest.find_first_of("/?");
  std::string_view authority = rest.substr(0, end);
  parts.path = end == std::string_view::npos ? "" : std::string(rest.substr(end));
  std::size_t at = authority.rfind('@');
  if (at != std::string_view::npos) {
    std::string_view userinfo = authority.substr(0, at);
    std::size_t sep = userinfo.find(':');
    parts.user = std::string(userinfo.substr(0, sep));
    if (sep != std::string_view::npos) parts.password = std::string(userinfo.substr(sep + 1));
    authority.remove_prefix(at + 1);
  }
  std::size_t port_mark = authority.rfind(':');
  parts.port = parts.secure ? 443 : parts.http ? 80 : 0;
  if (port_mark != std::string_view::npos) {
    std::string_view digits = authority.substr(port_mark + 1);
    if (digits.size() > 5) return std::nullopt;
    int port = 0;
    for (char c : digits) {
      if (!rules::IsDigit(c)) return std::nullopt;
      port = port * 10 + (c - '0');
    }
    if (port > 65535) return std::nullopt;
    if (!digits.empty()) parts.port = port;
    authority = authority.substr(0, port_mark);
  }
  if (authority.empty()) return std::nullopt;
  parts.host = std::string(authority);
  return parts;
}

}  // namespace orvanta::platform
