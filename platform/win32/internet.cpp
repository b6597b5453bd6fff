// The internet client on WinInet, loaded by name from wininet.dll at the
// first use. WinInet's own redirect handling has no bound on the number of
// hops under every version, so every request is opened without it and the
// redirects are followed here by the rules both layers share. Each hop opens
// its own WinInet connection, on a direct session when it goes to an https
// address: wine's WinInet would send those through an "http=" proxy too.
//
// WinInet's connect time-out option is not honoured everywhere (wine ignores
// it, and so did some Windows versions): a host that never completes the
// handshake would hold the caller for minutes. So before each hop a plain
// socket (ws2_32, also loaded by name) tries the same address, or the proxy,
// within the connect limit, and a hop that cannot connect is not sent.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <memory>
#include <string>

#include "platform/internet.h"
#include "platform/internet_rules.h"

namespace orvanta::platform {
namespace {

namespace rules = internet_rules;
using Clock = std::chrono::steady_clock;

struct WinInet {
  decltype(&::InternetOpenA) open = nullptr;
  decltype(&::InternetConnectA) connect = nullptr;
  decltype(&::HttpOpenRequestA) open_request = nullptr;
  decltype(&::HttpSendRequestA) send = nullptr;
  decltype(&::InternetQueryDataAvailable) available = nullptr;
  decltype(&::InternetReadFile) read = nullptr;
  decltype(&::HttpQueryInfoA) query = nullptr;
  decltype(&::InternetSetOptionA) set_option = nullptr;
  decltype(&::InternetCloseHandle) close = nullptr;
  decltype(&::InternetCrackUrlA) crack = nullptr;
  bool ready = false;
};

template <typename Fn>
bool Bind(HMODULE dll, const char* name, Fn& fn) {
  fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
  return fn != nullptr;
}

const WinInet& Api() {
  static const WinInet api = [] {
    WinInet w;
    HMODULE dll = LoadLibraryA("wininet.dll");
    if (!dll) return w;
    w.ready = Bind(dll, "InternetOpenA", w.open) && Bind(dll, "InternetConnectA", w.connect) &&
              Bind(dll, "HttpOpenRequestA", w.open_request) &&
              Bind(dll, "HttpSendRequestA", w.send) &&
              Bind(dll, "InternetQueryDataAvailable", w.available) &&
              Bind(dll, "InternetReadFile", w.read) && Bind(dll, "HttpQueryInfoA", w.query) &&
              Bind(dll, "InternetSetOptionA", w.set_option) &&
              Bind(dll, "InternetCloseHandle", w.close) && Bind(dll, "InternetCrackUrlA", w.crack);
    return w;
  }();
  return api;
}

struct Winsock {
  decltype(&::WSAStartup) startup = nullptr;
  decltype(&::getaddrinfo) resolve = nullptr;
  decltype(&::freeaddrinfo) free_info = nullptr;
  decltype(&::socket) open = nullptr;
  decltype(&::ioctlsocket) control = nullptr;
  decltype(&::connect) connect = nullptr;
  decltype(&::select) wait = nullptr;
  decltype(&::getsockopt) option = nullptr;
  decltype(&::closesocket) close = nullptr;
  bool ready = false;
};

const Winsock& Sockets() {
  static const Winsock api = [] {
    Winsock w;
    HMODULE dll = LoadLibraryA("ws2_32.dll");
    WSADATA data;
    w.ready = dll && Bind(dll, "WSAStartup", w.startup) && Bind(dll, "getaddrinfo", w.resolve) &&
              Bind(dll, "freeaddrinfo", w.free_info) && Bind(dll, "socket", w.open) &&
              Bind(dll, "ioctlsocket", w.control) && Bind(dll, "connect", w.connect) &&
              Bind(dll, "select", w.wait) && Bind(dll, "getsockopt", w.option) &&
              Bind(dll, "closesocket", w.close) && w.startup(MAKEWORD(2, 2), &data) == 0;
    return w;
  }();
  return api;
}

// Whether host:port accepts a connection within the connect limit. Without
// Winsock the answer is yes and WinInet is left to itself.
bool Connectable(const std::string& host, int port) {
  const Winsock& ws = Sockets();
  if (!ws.ready) return true;
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (ws.resolve(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || !found)
    return false;
  bool connected = false;
  SOCKET s = ws.open(found->ai_family, SOCK_STREAM, IPPROTO_TCP);
  u_long non_blocking = 1;
  if (s != INVALID_SOCKET && ws.control(s, FIONBIO, &non_blocking) == 0) {
    if (ws.connect(s, found->ai_addr, static_cast<int>(found->ai_addrlen)) == 0) {
      connected = true;
    } else {
      int ms = GetInternetTimeouts().connect_ms;
      timeval limit{ms / 1000, (ms % 1000) * 1000};
      fd_set writable, failed;
      FD_ZERO(&writable);
      FD_ZERO(&failed);
      FD_SET(s, &writable);
      FD_SET(s, &failed);
      int error = 0, size = sizeof error;
      connected = ws.wait(0, nullptr, &writable, &failed, &limit) == 1 && FD_ISSET(s, &writable) &&
                  ws.option(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) == 0 &&
                  error == 0;
    }
  }
  if (s != INVALID_SOCKET) ws.close(s);
  ws.free_info(found);
  return connected;
}

// Applies the current limits to a handle; WinInet's children take them over.
void ApplyTimeouts(HINTERNET handle) {
  InternetTimeouts limits = GetInternetTimeouts();
  DWORD connect = static_cast<DWORD>(limits.connect_ms);
  DWORD silence = static_cast<DWORD>(limits.silence_ms);
  Api().set_option(handle, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect);
  Api().set_option(handle, INTERNET_OPTION_SEND_TIMEOUT, &silence, sizeof silence);
  Api().set_option(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &silence, sizeof silence);
}

}  // namespace

struct InternetSession {
  HINTERNET handle;
  HINTERNET direct;  // for https addresses; the same handle unless proxied
  std::string proxy_host;  // empty for a direct session
  int proxy_port = 80;
};

struct InternetConnection {
  InternetSession* session;
  std::string host;
  int port;
};

struct InternetRequest {
  InternetConnection* connection = nullptr;
  HINTERNET handle = nullptr;
  HINTERNET hop_connection = nullptr;
  std::string version;
  std::optional<std::string> accept;
  std::uint32_t flags = 0;
  rules::Target target;
  std::string hop_verb;
  int hops = 0;
  bool answered = false;
  Clock::time_point started;

  void CloseHop() {
    if (handle) Api().close(handle);
    if (hop_connection) Api().close(hop_connection);
    handle = hop_connection = nullptr;
  }
};

namespace {

bool OpenHop(InternetRequest& r) {
  const InternetSession& session = *r.connection->session;
  r.hop_connection = Api().connect(r.target.secure ? session.direct : session.handle,
                                   r.target.host.c_str(), static_cast<INTERNET_PORT>(r.target.port),
                                   "", "", INTERNET_SERVICE_HTTP, 0, 0);
  if (!r.hop_connection) return false;
  std::uint32_t flags = r.flags | kFlagNoAutoRedirect;
  flags = r.target.secure ? (flags | kFlagSecure) : (flags & ~kFlagSecure);
  const char* accept[] = {r.accept ? r.accept->c_str() : nullptr, nullptr};
  std::string object = rules::EscapeObject(r.target.object);
  r.handle = Api().open_request(r.hop_connection, r.hop_verb.c_str(), object.c_str(), r.version.c_str(),
                                nullptr, r.accept ? accept : nullptr, flags, 0);
  if (r.handle) ApplyTimeouts(r.handle);
  return r.handle != nullptr;
}

// Sends the hop in flight once its first connection is known to open.
bool SendHop(InternetRequest& r, const std::string& headers, void* body, DWORD body_size) {
  const InternetSession& session = *r.connection->session;
  bool proxied = !session.proxy_host.empty() && !r.target.secure;
  if (!Connectable(proxied ? session.proxy_host : r.target.host,
                   proxied ? session.proxy_port : r.target.port))
    return false;
  return Api().send(r.handle, headers.empty() ? nullptr : headers.c_str(),
                    static_cast<DWORD>(headers.size()), body, body_size);
}

int StatusCode(HINTERNET request) {
  DWORD status = 0, size = sizeof status;
  if (!Api().query(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
    return 0;
  return static_cast<int>(status);
}

std::string LocationOf(HINTERNET request) {
  std::string value(2048, '\0');
  DWORD size = static_cast<DWORD>(value.size());
  if (!Api().query(request, HTTP_QUERY_LOCATION, value.data(), &size, nullptr)) return {};
  value.resize(size);
  return value;
}

bool TimeIsUp(const InternetRequest& r) {
  return Clock::now() - r.started >= std::chrono::milliseconds(GetInternetTimeouts().total_ms);
}

}  // namespace

InternetSession* OpenInternet(std::string_view agent, int access_type, std::string_view proxy_list) {
  if (!Api().ready) return nullptr;
  std::string name(rules::FirstLine(agent));
  std::optional<std::string> server;
  if (access_type == kInternetOpenProxy) server = rules::HttpProxyServer(proxy_list);
  HINTERNET direct = Api().open(name.c_str(), INTERNET_OPEN_TYPE_DIRECT, "", "", 0);
  if (!direct) return nullptr;
  ApplyTimeouts(direct);
  HINTERNET handle = direct;
  if (server) {
    std::string list = "http=" + *server;
    handle = Api().open(name.c_str(), INTERNET_OPEN_TYPE_PROXY, list.c_str(), "", 0);
    if (!handle) {
      Api().close(direct);
      return nullptr;
    }
    ApplyTimeouts(handle);
  }
  auto* session = new InternetSession{handle, direct, {}, 80};
  if (server) {
    // "host:port" or "scheme://host:port"; WinInet's default proxy port is 80.
    std::string_view name = *server;
    if (std::size_t scheme = name.find("://"); scheme != std::string_view::npos)
      name.remove_prefix(scheme + 3);
    name = name.substr(0, name.find('/'));
    std::size_t colon = name.rfind(':');
    if (colon != std::string_view::npos) {
      session->proxy_port = std::atoi(std::string(name.substr(colon + 1)).c_str());
      name = name.substr(0, colon);
    }
    session->proxy_host = std::string(name);
  }
  return session;
}

InternetConnection* ConnectInternet(InternetSession* session, std::string_view host, int port) {
  // WinInet's connection handle opens no connection either; each hop opens
  // its own, on the session that suits its address.
  if (!session || host.empty() || port < 0 || port > 65535) return nullptr;
  return new InternetConnection{session, std::string(host), port};
}

InternetRequest* OpenHttpRequest(InternetConnection* connection, std::string_view verb,
                                 std::string_view object, std::string_view version,
                                 std::optional<std::string_view> accept_type, std::uint32_t flags) {
  if (!connection) return nullptr;
  auto r = std::make_unique<InternetRequest>();
  r->connection = connection;
  r->hop_verb = verb.empty() ? "GET" : std::string(rules::FirstLine(verb));
  r->version = std::string(version);
  if (accept_type) r->accept = std::string(*accept_type);
  r->flags = flags;
  r->target = rules::FirstTarget(connection->host, connection->port, object, flags);
  if (!OpenHop(*r)) {
    r->CloseHop();
    return nullptr;
  }
  return r.release();
}

bool SendHttpRequest(InternetRequest* r, std::string_view headers, const std::uint8_t* body,
                     std::size_t body_size) {
  if (!r || !r->handle) return false;
  std::string text;
  rules::ForEachLine(headers, [&text](std::string_view line) {
    if (!text.empty()) text += "\r\n";
    text.append(line.data(), line.size());
  });
  r->started = Clock::now();
  // A host that cannot be one would only reach the name resolver.
  if (!rules::IsValidHost(r->target.host)) return false;
  void* data = body_size ? const_cast<std::uint8_t*>(body) : nullptr;
  bool ok = SendHop(*r, text, data, static_cast<DWORD>(body_size));
  while (ok && !TimeIsUp(*r)) {
    std::optional<rules::Hop> hop = rules::NextHop(r->target, StatusCode(r->handle),
                                                   LocationOf(r->handle), r->hop_verb, r->flags,
                                                   r->hops);
    if (!hop) break;
    r->CloseHop();
    r->target = std::move(hop->target);
    r->hop_verb = std::move(hop->verb);
    if (!hop->keep_body) data = nullptr, body_size = 0;
    ++r->hops;
    ok = OpenHop(*r) && SendHop(*r, text, data, static_cast<DWORD>(body_size));
  }
  r->answered = ok;
  return ok;
}

int ReadInternetData(InternetRequest* r, std::uint8_t* buffer, int size) {
  if (!r || !r->answered || !buffer || size <= 0 || TimeIsUp(*r)) return 0;
  // A synchronous InternetReadFile waits until the whole block is filled; a
  // body that trickles would hold it far beyond the time limit. Asking what
  // has arrived first makes every read return as soon as some bytes are in.
  DWORD available = 0;
  if (!Api().available(r->handle, &available, 0, 0) || available == 0) return 0;
  DWORD got = 0;
  DWORD want = std::min<DWORD>(available, static_cast<DWORD>(size));
  if (!Api().read(r->handle, buffer, want, &got)) return 0;
  return static_cast<int>(got);
}

bool QueryRawHeaders(InternetRequest* r, char* buffer, std::uint32_t* length) {
  if (!r || !r->answered || !length) return false;
  DWORD size = *length;
  bool ok = Api().query(r->handle, HTTP_QUERY_RAW_HEADERS_CRLF, buffer, &size, nullptr);
  *length = size;
  return ok;
}

void CloseInternet(InternetRequest* request) {
  if (!request) return;
  request->CloseHop();
  delete request;
}

void CloseInternet(InternetConnection* connection) { delete connection; }

void ReleaseKeptSession(InternetSession*) {}

void CloseInternet(InternetSession* session) {
  if (!session) return;
  if (session->handle != session->direct) Api().close(session->handle);
  Api().close(session->direct);
  delete session;
}

std::optional<UrlParts> CrackUrl(std::string_view address) {
  if (!Api().ready || address.empty()) return std::nullopt;
  std::string url(address);
  URL_COMPONENTSA uc{};
  uc.dwStructSize = sizeof uc;
  uc.dwSchemeLength = uc.dwHostNameLength = uc.dwUserNameLength = uc.dwPasswordLength = 1;
  uc.dwUrlPathLength = uc.dwExtraInfoLength = 1;
  if (!Api().crack(url.c_str(), static_cast<DWORD>(url.size()), 0, &uc)) return std::nullopt;
  auto part = [](const char* p, DWORD n) { return p ? std::string(p, n) : std::string(); };
  UrlParts parts;
  parts.scheme = part(uc.lpszScheme, uc.dwSchemeLength);
  parts.host = part(uc.lpszHostName, uc.dwHostNameLength);
  parts.port = uc.nPort;
  parts.user = part(uc.lpszUserName, uc.dwUserNameLength);
  parts.password = part(uc.lpszPassword, uc.dwPasswordLength);
  parts.path = part(uc.lpszUrlPath, uc.dwUrlPathLength) + part(uc.lpszExtraInfo, uc.dwExtraInfoLength);
  parts.secure = uc.nScheme == INTERNET_SCHEME_HTTPS;
  parts.http = parts.secure || uc.nScheme == INTERNET_SCHEME_HTTP;
  if (parts.host.empty()) return std::nullopt;
  return parts;
}

}  // namespace orvanta::platform
